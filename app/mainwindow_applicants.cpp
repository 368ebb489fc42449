// The applicant files of the searched name.
#include "mainwindow.h"
#include "mainwindow_p.h"
#include "ui_mainwindow.h"

#include "applicants/applicantitem.h"
#include "applicants/applicantscollector.h"
#include "applicants/applicantssortfiltermodel.h"
#include "catalogue/iconexamination.h"
#include "catalogue/iconsizetext.h"
#include "catalogue/scaniconnamesthread.h"

#include <KLocalizedString>

#include <QDeadlineTimer>
#include <QProcess>
#include <QStandardItemModel>

void MainWindowPrivate::startApplicantsWalk()
{
    applicantsWalkStarted = true;
    // No file with an empty base name is ever met: such names are hidden.
    if (searchIconName.isEmpty()) {
        applicantsCollector->requestInterruption();
    } else {
        applicantsCollector->collect(QIcon::themeSearchPaths() + QIcon::fallbackSearchPaths(), scanIconNamesThread->searchIconSuffixes(), searchIconName);
    }
}

void MainWindow::updateApplicantsIconPaths()
{
    d->applicantsIconPathsModel->clear();
    d->applicantsPending = false;
    d->applicantsTruncated = false;
    if (!d->applicantsWalkStarted) {
        d->startApplicantsWalk();
    }
    d->applicantsWalkStarted = false;
    if (!d->searchIconName.isEmpty()) {
        if (d->applicantsCollector->wait(QDeadlineTimer(MainWindowPrivate::applicantsWaitMilliseconds))) {
            d->takeApplicants();
        } else {
            d->applicantsPending = true;
        }
    }
    if (ui->checkBoxApplicantsExactMatchBySearchIconName->isChecked()) {
        d->applicantsSortFilterModel->setIconNameFilter(d->searchIconName);
    }
}

void MainWindow::applicantsCollected(quint64 request)
{
    if (!d->applicantsPending || request != d->applicantsCollector->request()) {
        return;
    }
    // The worker has sent its answer and is only winding down.
    d->applicantsCollector->wait();
    d->applicantsPending = false;
    d->takeApplicants();
    if (d->findAwaitsApplicants) {
        d->findAwaitsApplicants = false;
        finishFind();
    }
}

void MainWindow::scanApplicantsIconByDirPath(const QString &dirPath)
{
    QStringList paths;
    ApplicantsIndex::collectByWalk(dirPath, d->scanIconNamesThread->searchIconSuffixes(), ApplicantsIndex::applicantBaseNames(d->searchIconName), paths);
    d->appendApplicants(paths);
}

void MainWindowPrivate::takeApplicants()
{
    applicantsTruncated = applicantsCollector->isTruncated();
    appendApplicants(applicantsCollector->takePaths());
}

// One insertion for all rows: the sorted proxy places each run of new rows with a
// pass over all of its rows, so rows added one by one cost it quadratic time.
void MainWindowPrivate::appendApplicants(const QStringList &paths)
{
    // The files the toolkit takes for the found name stand out, with the sizes each serves.
    const IconExamination examined = IconExamination::of(searchIconName);
    QHash<QString, QStringList> used;
    for (int i = 0; i < examined.files.size(); ++i) {
        used[examined.files.at(i)].append(IconSizeText::toString(examined.sizes.at(i)));
    }
    QList<QStandardItem *> items;
    items.reserve(paths.size());
    for (const QString &path : paths) {
        auto *item = new ApplicantItem(path);
        const auto sizes = used.constFind(path);
        if (sizes != used.cend()) {
            QFont font = item->font();
            font.setBold(true);
            item->setFont(font);
            item->setToolTip(i18nd("zel-find-qicon", "The toolkit uses this file for %1.", sizes->join(QStringLiteral(", "))));
        }
        items.append(item);
    }
    applicantsIconPathsModel->invisibleRootItem()->appendRows(items);
}

void MainWindow::openFileByApplicantsIconIndex(const QModelIndex &index)
{
    if (!index.isValid()) {
        return;
    }
    const QModelIndex source = d->applicantsSortFilterModel->mapToSource(index);
    if (source.isValid()) {
        openFileByPath(d->applicantsIconPathsModel->data(source, Qt::DisplayRole).toString());
    }
}

void MainWindow::openFileByPath(const QString &path)
{
    QProcess::startDetached(QStringLiteral("xdg-open"), {path});
}

// The applicant files of the searched name.
#include "mainwindow.h"
#include "mainwindow_p.h"
#include "ui_mainwindow.h"

#include "applicants/applicantitem.h"
#include "applicants/applicantscollector.h"
#include "applicants/applicantssortfiltermodel.h"
#include "catalogue/scaniconnamesthread.h"

#include <QGuiApplication>
#include <QProcess>
#include <QStandardItemModel>

// The rows come when the walk ends; until then a busy cursor says so, and the window
// answers and closes as ever.
void MainWindow::updateApplicantsIconPaths()
{
    d->applicantsIconPathsModel->clear();
    // The empty name has no applicants worth waiting for.
    if (!d->collectingApplicants && !d->searchIconName.isEmpty()) {
        d->collectingApplicants = true;
        QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    }
    d->applicantsCollector->collect(QIcon::themeSearchPaths() + QIcon::fallbackSearchPaths(), d->scanIconNamesThread->searchIconSuffixes(), d->searchIconName);
    if (ui->checkBoxApplicantsExactMatchBySearchIconName->isChecked()) {
        d->applicantsSortFilterModel->setIconNameFilter(d->searchIconName);
    }
}

void MainWindow::applicantsCollected(quint64 request, const QStringList &paths)
{
    if (request != d->applicantsCollector->request()) {
        return;
    }
    d->appendApplicants(paths);
    if (d->collectingApplicants) {
        d->collectingApplicants = false;
        QGuiApplication::restoreOverrideCursor();
    }
}

void MainWindow::scanApplicantsIconByDirPath(const QString &dirPath)
{
    QStringList paths;
    ApplicantsIndex::collectByWalk(dirPath, d->scanIconNamesThread->searchIconSuffixes(), ApplicantsIndex::applicantBaseNames(d->searchIconName), paths);
    d->appendApplicants(paths);
}

// One insertion for all rows: the sorted proxy places each run of new rows with a
// pass over all of its rows, so rows added one by one cost it quadratic time.
void MainWindowPrivate::appendApplicants(const QStringList &paths)
{
    QList<QStandardItem *> items;
    items.reserve(paths.size());
    for (const QString &path : paths) {
        items.append(new ApplicantItem(path));
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

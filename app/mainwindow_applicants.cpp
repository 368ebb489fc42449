// The applicant files of the searched name.
#include "mainwindow.h"
#include "mainwindow_p.h"
#include "ui_mainwindow.h"

#include "applicants/applicantitem.h"
#include "applicants/applicantssortfiltermodel.h"
#include "catalogue/scaniconnamesthread.h"

#include <QProcess>
#include <QStandardItemModel>

void MainWindow::updateApplicantsIconPaths()
{
    d->applicantsIconPathsModel->clear();
    QStringList paths;
    const QStringList dirPaths = QIcon::themeSearchPaths() + QIcon::fallbackSearchPaths();
    for (const QString &dirPath : dirPaths) {
        d->collectApplicants(dirPath, paths);
    }
    d->appendApplicants(paths);
    if (ui->checkBoxApplicantsExactMatchBySearchIconName->isChecked()) {
        d->applicantsSortFilterModel->setIconNameFilter(d->searchIconName);
    }
}

void MainWindow::scanApplicantsIconByDirPath(const QString &dirPath)
{
    QStringList paths;
    d->collectApplicants(dirPath, paths);
    d->appendApplicants(paths);
}

void MainWindowPrivate::collectApplicants(const QString &dirPath, QStringList &paths)
{
    applicantsIndex.collect(dirPath, scanIconNamesThread->searchIconSuffixes(), ApplicantsIndex::applicantBaseNames(searchIconName), paths);
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

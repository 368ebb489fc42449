// The applicant files of the searched name.
#include "mainwindow.h"
#include "mainwindow_p.h"
#include "ui_mainwindow.h"

#include "applicants/applicantssortfiltermodel.h"
#include "catalogue/scaniconnamesthread.h"

#include <QProcess>
#include <QStandardItemModel>

void MainWindow::updateApplicantsIconPaths()
{
    d->applicantsIconPathsModel->clear();
    const QStringList dirPaths = QIcon::themeSearchPaths() + QIcon::fallbackSearchPaths();
    for (const QString &dirPath : dirPaths) {
        scanApplicantsIconByDirPath(dirPath);
    }
    if (ui->checkBoxApplicantsExactMatchBySearchIconName->isChecked()) {
        d->applicantsSortFilterModel->setIconNameFilter(d->searchIconName);
    }
}

void MainWindow::scanApplicantsIconByDirPath(const QString &dirPath)
{
    QStringList paths;
    d->applicantsIndex.collect(dirPath, d->scanIconNamesThread->searchIconSuffixes(), ApplicantsIndex::applicantBaseNames(d->searchIconName), paths);
    for (const QString &path : qAsConst(paths)) {
        auto *item = new QStandardItem(QIcon(path), path);
        item->setToolTip(path);
        d->applicantsIconPathsModel->appendRow(item);
    }
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

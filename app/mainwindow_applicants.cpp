// The applicant files of the searched name.
#include "mainwindow.h"
#include "mainwindow_p.h"
#include "ui_mainwindow.h"

#include "applicants/applicantssortfiltermodel.h"
#include "catalogue/scaniconnamesthread.h"

#include <QDirIterator>
#include <QFileInfo>
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
    const QStringList suffixes = d->scanIconNamesThread->searchIconSuffixes();
    const QStringList parts = d->searchIconName.split(QLatin1Char('-'));

    QDirIterator it(dirPath, QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot, QDirIterator::NoIteratorFlags);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        if (info.isDir()) {
            scanApplicantsIconByDirPath(path);
            continue;
        }
        if (!suffixes.contains(info.suffix())) {
            continue;
        }
        const QString baseName = info.baseName();
        QString candidate;
        for (int k = 0; k < parts.size(); ++k) {
            if (k > 0) {
                candidate += QLatin1Char('-');
            }
            candidate += parts.at(k);
            if (candidate == baseName) {
                auto *item = new QStandardItem(QIcon(path), path);
                item->setToolTip(path);
                d->applicantsIconPathsModel->appendRow(item);
                break;
            }
        }
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

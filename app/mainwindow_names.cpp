// The icon-name list: scanning, filling, opening.
#include "mainwindow.h"
#include "mainwindow_p.h"
#include "ui_mainwindow.h"

#include "catalogue/iconsmodel.h"
#include "catalogue/scaniconnamesthread.h"

#include <KLocalizedString>

#include <QEventLoop>
#include <QGuiApplication>
#include <QSortFilterProxyModel>

void MainWindow::scanIconNamesStart()
{
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    ui->statusbar->showMessage(i18nd("zel-find-qicon", "Scanning icon names..."));
    d->iconsModel->clear();
    d->scanIconNamesThread->setDirPaths(QIcon::themeSearchPaths() + QIcon::fallbackSearchPaths());
    // A sorting proxy places each new row on its own and then rebuilds its whole mapping,
    // once per row: quadratic in a very large folder. Appended in the order found,
    // the rows of a batch are one insertion, and the list is sorted once, at the end.
    d->iconsProxyModel->setDynamicSortFilter(false);
    d->scanIconNamesThread->start(QThread::InheritPriority);
    ui->pushButtonScanIconNamesStart->hide();
    ui->pushButtonScanIconNamesStop->show();
    updateCurrentIconOptions();
}

void MainWindow::addFindedIconNames(const QStringList &iconNames)
{
    d->iconsModel->addIcons(iconNames);
    ui->statusbar->showMessage(i18nd("zel-find-qicon", "Scaning icon names(count: %1). Wait icon names load...", QString::number(d->iconsModel->rowCount())));
}

void MainWindow::scanIconNamesStop()
{
    d->scanIconNamesThread->stop();
    d->scanIconNamesThread->wait();
}

void MainWindowPrivate::layOutUpTo(QListView *list, const QModelIndex &index)
{
    if (list->visualRect(index).isValid()) {
        return;
    }
    list->setLayoutMode(QListView::SinglePass);
    list->doItemsLayout();
    list->setLayoutMode(QListView::Batched);
}

void MainWindow::scanIconNamesFinished()
{
    d->iconsProxyModel->setDynamicSortFilter(true);
    ui->pushButtonScanIconNamesStop->hide();
    QGuiApplication::restoreOverrideCursor();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    ui->statusbar->showMessage(i18nd("zel-find-qicon", "Loading icons by names(count: %1). Wait icons load...", QString::number(d->iconsModel->rowCount())));
    QCoreApplication::processEvents();

    d->iconsModel->loadAllIcons();

    // Let everything already queued (repaints above all) run before the closing message.
    QEventLoop loop;
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    loop.exec();

    if (d->scanIconNamesThread->isNeedStop()) {
        ui->statusbar->showMessage(i18nd("zel-find-qicon", "Scan icon names stoped(count: %1).", QString::number(d->iconsModel->rowCount())));
    } else {
        ui->statusbar->showMessage(i18nd("zel-find-qicon", "Scan icon names done(count: %1).", QString::number(d->iconsModel->rowCount())));
    }
    ui->pushButtonScanIconNamesStart->show();
    QGuiApplication::restoreOverrideCursor();
}

void MainWindow::openIconNameByIndex(const QModelIndex &index)
{
    if (!index.isValid()) {
        return;
    }
    const QString name = d->iconsModel->iconName(d->iconsProxyModel->mapToSource(index));
    if (!name.isEmpty()) {
        openIconName(name);
    }
}

void MainWindow::openIconName(const QString &iconName)
{
    ui->lineEditIconName->setText(iconName);
    ui->pushButtonFindIcon->click();
}

void MainWindow::openIconNames(const QStringList &iconNames, const QString &currentIconName)
{
    clear();
    if (iconNames.isEmpty()) {
        return;
    }
    for (const QString &name : iconNames) {
        d->iconsModel->addIcon(name);
    }
    openIconName(currentIconName.isEmpty() ? iconNames.first() : currentIconName);
}

void MainWindow::openArguments(const QStringList &arguments)
{
    if (arguments.size() == 2) {
        openIconName(arguments.at(1));
    } else if (arguments.size() > 2) {
        openIconNames(arguments.mid(1), QString());
    } else {
        postArgumets();
    }
}

void MainWindow::postArgumets()
{
    if (d->scanIconNamesOnStart) {
        ui->pushButtonScanIconNamesStart->animateClick(100);
    }
}

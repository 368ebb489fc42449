// The find and the panels it fills.
#include "mainwindow.h"
#include "mainwindow_p.h"
#include "ui_mainwindow.h"

#include "applicants/applicantscollector.h"
#include "catalogue/iconexamination.h"
#include "catalogue/iconfileguard.h"
#include "catalogue/iconsizetext.h"
#include "catalogue/iconsmodel.h"
#include "integration/zelicon.h"

#include <KLocalizedString>

#include <QGuiApplication>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>

QString MainWindowPrivate::convertQSizeToString(const QSize &size)
{
    return IconSizeText::toString(size);
}

QSize MainWindowPrivate::convertStringToQSize(const QString &text)
{
    return IconSizeText::fromString(text);
}

void MainWindow::findIconByCurrentName()
{
    // A find still waiting for its applicants gives way to this one: its rows, its
    // outcome and its cursor go with it.
    if (d->findAwaitsApplicants) {
        d->findAwaitsApplicants = false;
        QGuiApplication::restoreOverrideCursor();
    }
    d->searchIconName = ui->lineEditIconName->text();
    // The applicant walk reads only files: it runs on its worker while the panels are filled.
    d->startApplicantsWalk();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    ui->statusbar->showMessage(i18nd("zel-find-qicon", "Finding icon by name \"%1\"...", d->searchIconName));
    d->findedIcon = QIcon::fromTheme(d->searchIconName);
    d->emblems = QMap<Qt::Corner, QString>();
    ui->comboBoxFindedIconSize->setCurrentIndex(-1);

    updateCurrentIconOptions();
    updateFindedIconInfo();
    updateApplicantsIconPaths();
    updateWorkbench();

    if (d->searchIconName.isEmpty()) {
        QGuiApplication::restoreOverrideCursor();
        ui->statusbar->clearMessage();
        return;
    }

    const QModelIndex source = d->iconsModel->findIcon(d->searchIconName);
    if (source.isValid()) {
        const QModelIndex proxy = d->iconsProxyModel->mapFromSource(source);
        if (proxy.isValid()) {
            MainWindowPrivate::layOutUpTo(ui->listViewIconNames, proxy);
            ui->listViewIconNames->setCurrentIndex(proxy);
        }
    }

    if (d->applicantsPending) {
        d->findAwaitsApplicants = true;
        return;
    }
    QMetaObject::invokeMethod(this, &MainWindow::finishFind, Qt::QueuedConnection);
}

void MainWindow::finishFind()
{
    QGuiApplication::restoreOverrideCursor();
    QString message;
    if (d->findedIcon.isNull()) {
        message = i18nd("zel-find-qicon", "Failed find icon by name \"%1\", on current icon theme!", d->searchIconName);
    } else if (d->findedIcon.name() == d->searchIconName) {
        message = i18nd("zel-find-qicon", "Find icon by name \"%1\" done.", d->searchIconName);
    } else {
        message = i18nd("zel-find-qicon", "Find icon by name \"%1\" done. Finded applicant icon by name: \"%2\".", d->searchIconName, d->findedIcon.name());
    }
    if (d->applicantsTruncated) {
        message = i18nd("zel-find-qicon",
                        "%1 Only the first %2 applicant files are listed; there are more.",
                        message,
                        QString::number(ApplicantsCollector::maximumPaths));
    }
    ui->statusbar->showMessage(message);
}

void MainWindow::updateFindedIconInfo()
{
    // A find is how a theme author checks a fix on disk, so it never reuses an examination.
    const IconExamination examined = IconExamination::of(d->searchIconName, true);
    ui->labelSearchIconName->setText(d->searchIconName);
    ui->labelHasThemeIcon->setText(examined.hasThemeIcon ? i18nd("zel-find-qicon", "Exist") : i18nd("zel-find-qicon", "Absent"));
    ui->labelFindedIconName->setText(d->findedIcon.name());
    ui->labelFindedIconCacheKey->setText(QString::number(d->findedIcon.cacheKey()));
    ui->labelFindedIconIsMask->setText(d->findedIcon.isMask() ? i18nd("zel-find-qicon", "Mask") : i18nd("zel-find-qicon", "Not mask"));

    d->findedIconRemarksModel->setRowCount(examined.remarks.size());
    d->findedIconRemarksModel->setColumnCount(1);
    for (int row = 0; row < examined.remarks.size(); ++row) {
        const IconRemark &remark = examined.remarks.at(row);
        d->findedIconRemarksModel->setItem(row, 0, new QStandardItem(IconsModel::getRemarkDialogIcon(remark.first), remark.second));
    }

    QComboBox *combo = ui->comboBoxFindedIconSize;
    const QString remembered = combo->currentText();
    QSignalBlocker blocker(combo);
    combo->clear();

    QStringList texts;
    for (const QSize &size : examined.distinctSizes()) {
        texts.append(MainWindowPrivate::convertQSizeToString(size));
    }
    combo->addItems(texts);

    int current = -1;
    bool chosen = false;
    if (d->previewIconSizeEnable && !texts.isEmpty()) {
        for (int i = 0; i < texts.size(); ++i) {
            if (MainWindowPrivate::convertStringToQSize(texts.at(i)).width() >= d->previewIconSize) {
                current = i;
                chosen = true;
                break;
            }
        }
    }
    if (!chosen) {
        current = texts.indexOf(remembered);
        if (current < 0) {
            current = texts.size() - 1;
        }
    }
    combo->setCurrentIndex(current);

    blocker.unblock();
    updateFindedIconCurrentSize();
}

void MainWindow::updateFindedIconCurrentSize()
{
    const QString text = ui->comboBoxFindedIconSize->currentText();
    if (text.isEmpty()) {
        ui->labelFindedIconPreview->setPixmap(QPixmap());
        return;
    }
    const QSize size = MainWindowPrivate::convertStringToQSize(text);
    const QString file = IconExamination::of(d->searchIconName).fileFor(size);
    if (!file.isEmpty() && !IconFileGuard::isDecodable(file)) {
        ui->labelFindedIconPreview->setPixmap(QPixmap());
        return;
    }
    // An emblem is drawn from its own files, which the guard looks at as it does the icon's.
    QMap<Qt::Corner, QString> emblems;
    for (auto it = d->emblems.cbegin(); it != d->emblems.cend(); ++it) {
        if (!IconExamination::of(it.value()).refused) {
            emblems.insert(it.key(), it.value());
        }
    }
    const QIcon icon = ZelIcon::withEmblems(d->findedIcon, emblems);
    ui->labelFindedIconPreview->setPixmap(icon.pixmap(size, QIcon::Normal, QIcon::Off));
}

void MainWindow::updateCurrentIconOptions()
{
    ui->labelThemeSearchPaths->setText(QIcon::themeSearchPaths().join(QLatin1Char(':')));
    ui->labelFallbackSearchPaths->setText(QIcon::fallbackSearchPaths().join(QLatin1Char(':')));
    ui->labelThemeName->setText(QIcon::themeName());
    ui->labelFallbackThemeName->setText(QIcon::fallbackThemeName());
    ui->groupBoxIconsOptions->setTitle(d->usingSystemIconsTheme ? i18nd("zel-find-qicon", "Current system options:")
                                                                : i18nd("zel-find-qicon", "Current custom options:"));
}

// Filling and applying the settings dialog.
#include "mainwindow.h"
#include "mainwindow_p.h"
#include "ui_mainwindow.h"

#include "applicants/applicantssortfiltermodel.h"
#include "catalogue/scaniconnamesthread.h"
#include "settings/settings.h"
#include "settings/settingsdialog.h"

#include <KLocalizedString>

#include <QMessageBox>
#include <QProcess>

#include <memory>

void MainWindow::execSettings()
{
    execSettingsByTab(SettingsDialog::TabGeneral);
}

void MainWindow::execSettingsByTab(SettingsDialog::Tab tab)
{
    auto dialog = std::make_unique<SettingsDialog>();
    fillSettingsDialog(dialog.get());
    dialog->setCurrentTab(tab);
    if (dialog->exec() != QDialog::Accepted) {
        return;
    }
    applySettingsDialog(*dialog);
    offerRestartForHighDpi(*dialog);
}

void MainWindow::fillSettingsDialog(SettingsDialog *dialog) const
{
    // Filled from what the running program uses, never from the file: a value stored
    // for the next start (the high-DPI scaling pair) is not yet in effect.
    dialog->setScanIconNamesOnStart(d->scanIconNamesOnStart);
    dialog->setScanIconNamesIconSize(ui->listViewIconNames->iconSize().width());
    dialog->setApplicantsIconPathsIconSize(ui->listViewApplicantsIconPaths->iconSize().width());
    dialog->setPreviewIconSizeEnable(d->previewIconSizeEnable);
    dialog->setPreviewIconSize(d->previewIconSize);
    dialog->setSearchIconSuffixes(d->scanIconNamesThread->searchIconSuffixes());
    dialog->setUsingSystemIconsTheme(d->usingSystemIconsTheme);
    dialog->setThemeSearchPaths(QIcon::themeSearchPaths());
    dialog->setFallbackSearchPaths(QIcon::fallbackSearchPaths());
    dialog->setThemeName(QIcon::themeName());
    dialog->setFallbackThemeName(QIcon::fallbackThemeName());
    dialog->setApplicantsSortSectionsPolicy(d->applicantsSortFilterModel->sortSectionsPolicy());
    dialog->setUse96Dpi(QCoreApplication::testAttribute(Qt::AA_Use96Dpi));
    dialog->setUseHighDpiPixmaps(QCoreApplication::testAttribute(Qt::AA_UseHighDpiPixmaps));
    dialog->setEnableHighDpiScaling(QCoreApplication::testAttribute(Qt::AA_EnableHighDpiScaling));
    dialog->setDisableHighDpiScaling(QCoreApplication::testAttribute(Qt::AA_DisableHighDpiScaling));
}

// Each choice goes to the file and into effect together.
void MainWindow::applySettingsDialog(const SettingsDialog &dialog)
{
    auto settings = std::make_unique<Settings>(nullptr);

    settings->setScanIconNamesOnStart(dialog.isScanIconNamesOnStart());
    d->scanIconNamesOnStart = dialog.isScanIconNamesOnStart();

    settings->setScanIconNamesIconSize(dialog.scanIconNamesIconSize());
    setIconSize(ui->listViewIconNames, dialog.scanIconNamesIconSize());

    settings->setApplicantsIconPathsIconSize(dialog.applicantsIconPathsIconSize());
    setIconSize(ui->listViewApplicantsIconPaths, dialog.applicantsIconPathsIconSize());

    settings->setPreviewIconSizeEnable(dialog.isPreviewIconSizeEnable());
    d->previewIconSizeEnable = dialog.isPreviewIconSizeEnable();

    settings->setPreviewIconSize(dialog.previewIconSize());
    d->previewIconSize = dialog.previewIconSize();

    settings->setSearchIconSuffixes(dialog.searchIconSuffixes());
    d->scanIconNamesThread->setSearchIconSuffixes(dialog.searchIconSuffixes());

    settings->setUsingSystemIconsTheme(dialog.isUsingSystemIconsTheme());
    d->usingSystemIconsTheme = dialog.isUsingSystemIconsTheme();

    settings->setIconThemeSearchPaths(dialog.themeSearchPaths());
    QIcon::setThemeSearchPaths(dialog.themeSearchPaths());

    settings->setIconFallbackSearchPaths(dialog.fallbackSearchPaths());
    QIcon::setFallbackSearchPaths(dialog.fallbackSearchPaths());

    settings->setIconThemeName(dialog.themeName());
    QIcon::setThemeName(dialog.themeName());

    settings->setIconFallbackThemeName(dialog.fallbackThemeName());
    QIcon::setFallbackThemeName(dialog.fallbackThemeName());

    QCoreApplication::setAttribute(Qt::AA_Use96Dpi, dialog.use96Dpi());
    settings->setApplicationAttributeUse96Dpi(dialog.use96Dpi());

    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps, dialog.useHighDpiPixmaps());
    settings->setApplicationAttributeUseHighDpiPixmaps(dialog.useHighDpiPixmaps());

    updateCurrentIconOptions();

    settings->setApplicantsSortSectionsPolicy(dialog.applicantsSortSectionsPolicy());
    d->applicantsSortFilterModel->setSortSectionsPolicy(dialog.applicantsSortSectionsPolicy());

    // The toolkit reads these two only at start-up; they wait in the file for the next one.
    Settings::setApplicationAttributeEnableHighDpiScaling(dialog.enableHighDpiScaling());
    Settings::setApplicationAttributeDisableHighDpiScaling(dialog.disableHighDpiScaling());
}

void MainWindow::offerRestartForHighDpi(const SettingsDialog &dialog)
{
    if (dialog.enableHighDpiScaling() != QCoreApplication::testAttribute(Qt::AA_EnableHighDpiScaling)
        || dialog.disableHighDpiScaling() != QCoreApplication::testAttribute(Qt::AA_DisableHighDpiScaling)) {
        const QMessageBox::StandardButton answer = QMessageBox::information(this,
                                                                            i18nd("zel-find-qicon", "Information"),
                                                                            i18nd("zel-find-qicon",
                                                                                  "High-dpi scaling attributes will be changed after application restart\n"
                                                                                  "Restart now?"),
                                                                            QMessageBox::Ok | QMessageBox::Cancel,
                                                                            QMessageBox::NoButton);
        if (answer == QMessageBox::Ok) {
            QCoreApplication::quit();
            QStringList arguments = QCoreApplication::arguments();
            const QString program = arguments.takeFirst();
            QProcess::startDetached(program, arguments);
        }
    }
}

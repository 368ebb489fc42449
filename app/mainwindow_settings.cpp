// Filling and applying the settings dialog.
#include "mainwindow.h"
#include "mainwindow_p.h"
#include "ui_mainwindow.h"

void MainWindow::execSettings()
{
    execSettingsByTab(SettingsDialog::TabGeneral);
}

void MainWindow::execSettingsByTab(SettingsDialog::Tab tab)
{
    Q_UNUSED(tab);
}

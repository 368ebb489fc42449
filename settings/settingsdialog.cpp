#include "settingsdialog.h"

SettingsDialog::SettingsDialog(QWidget *parent)
    : QDialog(parent)
{
}

SettingsDialog::~SettingsDialog() = default;

#ifndef SETTINGSDIALOG_H
#define SETTINGSDIALOG_H

#include <QDialog>

class SettingsDialog : public QDialog
{
    Q_OBJECT
public:
    enum Tab : int {
        TabGeneral = 0,
        TabIconsOptions = 1,
        TabApplicantsSortPolicy = 2,
    };

    explicit SettingsDialog(QWidget *parent = nullptr);
    ~SettingsDialog() override;
};

#endif

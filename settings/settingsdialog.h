#ifndef SETTINGSDIALOG_H
#define SETTINGSDIALOG_H

#include "applicants/iconpathsection.h"

#include <QDialog>
#include <QList>
#include <QStringList>

class QLabel;
class QSlider;
class Ui_SettingsDialog;

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

    void setScanIconNamesOnStart(bool scan);
    bool isScanIconNamesOnStart() const;

    void setScanIconNamesIconSize(int size);
    int scanIconNamesIconSize() const;

    void setApplicantsIconPathsIconSize(int size);
    int applicantsIconPathsIconSize() const;

    void setPreviewIconSizeEnable(bool enable);
    bool isPreviewIconSizeEnable() const;

    void setPreviewIconSize(int size);
    int previewIconSize() const;

    void setSearchIconSuffixes(const QStringList &suffixes);
    QStringList searchIconSuffixes() const;

    void setUsingSystemIconsTheme(bool use);
    bool isUsingSystemIconsTheme() const;

    void setThemeSearchPaths(const QStringList &paths);
    QStringList themeSearchPaths() const;

    void setFallbackSearchPaths(const QStringList &paths);
    QStringList fallbackSearchPaths() const;

    void setThemeName(const QString &name);
    QString themeName() const;

    void setFallbackThemeName(const QString &name);
    QString fallbackThemeName() const;

    void setUse96Dpi(bool use);
    bool use96Dpi() const;

    void setUseHighDpiPixmaps(bool use);
    bool useHighDpiPixmaps() const;

    void setEnableHighDpiScaling(bool enable);
    bool enableHighDpiScaling() const;

    void setDisableHighDpiScaling(bool disable);
    bool disableHighDpiScaling() const;

    void setApplicantsSortSectionsPolicy(const QList<IconPathSection> &policy);
    QList<IconPathSection> applicantsSortSectionsPolicy() const;

    void setCurrentTab(SettingsDialog::Tab tab);
    SettingsDialog::Tab currentTab() const;

    void setAllToDefault();

    static int getStandartIconSize(int index);
    static int getStandartIconSizeIndex(int size);
    static QString getStandartIconSizeText(int index);
    static QString iconPathSectionName(IconPathSection section);
    static IconPathSection iconPathSection(const QString &text);

    void connectSliderAndLabel(QSlider *slider, QLabel *label);

private:
    Ui_SettingsDialog *ui = nullptr;
};

#endif

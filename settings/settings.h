#ifndef SETTINGS_H
#define SETTINGS_H

#include "applicants/iconpathsection.h"

#include <QByteArray>
#include <QList>
#include <QSettings>
#include <QStringList>

class Settings : public QSettings
{
    Q_OBJECT
public:
    enum Splitters : int {
        SplitterMain = 0,
        SplitterSecond = 1,
        SplitterFindedIcon = 2,
        SplitterApplicantsRemarks = 3,
    };

    static const QSettings::Format format;
    static const QSettings::Scope scope;
    static const QString organization;
    static const QString application;

    explicit Settings(QObject *parent = nullptr);
    ~Settings() override;

    bool isScanIconNamesOnStart() const;
    void setScanIconNamesOnStart(bool scan);
    static bool defaultScanIconNamesOnStart();

    int scanIconNamesIconSize() const;
    void setScanIconNamesIconSize(int size);
    static int defaultScanIconNamesIconSize();

    int applicantsIconPathsIconSize() const;
    void setApplicantsIconPathsIconSize(int size);
    static int defaultApplicantsIconPathsIconSize();

    bool isPreviewIconSizeEnable() const;
    void setPreviewIconSizeEnable(bool enable);
    static bool defaultPreviewIconSizeEnable();

    int previewIconSize() const;
    void setPreviewIconSize(int size);
    static int defaultPreviewIconSize();

    QStringList searchIconSuffixes() const;
    void setSearchIconSuffixes(const QStringList &suffixes);
    static QStringList defaultSearchIconSuffixes();

    bool isUsingSystemIconsTheme() const;
    void setUsingSystemIconsTheme(bool use);
    static bool defaultUsingSystemIconsTheme();

    QStringList iconThemeSearchPaths() const;
    void setIconThemeSearchPaths(const QStringList &paths);
    static QStringList systemIconThemeSearchPaths();

    QStringList iconFallbackSearchPaths() const;
    void setIconFallbackSearchPaths(const QStringList &paths);
    static QStringList systemIconFallbackSearchPaths();

    QString iconThemeName() const;
    void setIconThemeName(const QString &name);
    static QString systemIconThemeName();

    QString iconFallbackThemeName() const;
    void setIconFallbackThemeName(const QString &name);
    static QString systemIconFallbackThemeName();

    bool applicantsExactMatchBySearchIconName() const;
    void setApplicantsExactMatchBySearchIconName(bool exact);
    static bool defaultApplicantsExactMatchBySearchIconName();

    // The backdrop of the preview and the sizes view: window, light, dark or checkerboard.
    QString workbenchBackground() const;
    void setWorkbenchBackground(const QString &background);
    static QString defaultWorkbenchBackground();

    // The object names of the views beside the find that are shown.
    QStringList shownViews() const;
    void setShownViews(const QStringList &views);

    // Whether a find runs again when the found name's files or the theme's index change.
    bool isLiveReload() const;
    void setLiveReload(bool reload);
    static bool defaultLiveReload();

    bool showRemarksInIconNames() const;
    void setShowRemarksInIconNames(bool show);
    static bool defaultShowRemarksInIconNames();

    bool showRemarksInFindedIcon() const;
    void setShowRemarksInFindedIcon(bool show);
    static bool defaultShowRemarksInFindedIcon();

    bool applicationAttributeUse96Dpi() const;
    void setApplicationAttributeUse96Dpi(bool use);
    static bool defaultApplicationAttributeUse96Dpi();

    bool applicationAttributeUseHighDpiPixmaps() const;
    void setApplicationAttributeUseHighDpiPixmaps(bool use);
    static bool defaultApplicationAttributeUseHighDpiPixmaps();

    // Static: the toolkit reads these two before the application object exists.
    static bool applicationAttributeEnableHighDpiScaling();
    static void setApplicationAttributeEnableHighDpiScaling(bool enable);
    static bool defaultApplicationAttributeEnableHighDpiScaling();

    static bool applicationAttributeDisableHighDpiScaling();
    static void setApplicationAttributeDisableHighDpiScaling(bool disable);
    static bool defaultApplicationAttributeDisableHighDpiScaling();

    QByteArray restoreMainWindowGeometry() const;
    void saveMainWindowGeometry(const QByteArray &geometry);

    QByteArray restoreSplitterState(Settings::Splitters splitter) const;
    void saveSplitterState(Settings::Splitters splitter, const QByteArray &state);

    QList<IconPathSection> applicantsSortSectionsPolicy() const;
    void setApplicantsSortSectionsPolicy(const QList<IconPathSection> &policy);
    static QList<IconPathSection> defaultApplicantsSortSectionsPolicy();

    static QString splitterStateKey(Settings::Splitters splitter);
    static QString iconPathSectionName(IconPathSection section);
    static IconPathSection iconPathSection(const QString &name);

private:
    void put(const QString &key, const QVariant &value);
};

#endif

#include "settings.h"

#include "app/constants.h"
#include "catalogue/directorylisting.h"
#include "settings/settingsfileguard.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QFile>
#include <QHash>
#include <QIcon>
#include <QStandardPaths>

namespace
{
QStringList s_systemIconThemeSearchPaths;
QStringList s_systemIconFallbackSearchPaths;
QString s_systemIconThemeName;
QString s_systemIconFallbackThemeName;
bool s_systemValuesCaptured = false;

const QString keyScanIconNamesOnStart = QStringLiteral("ScanIconNamesOnStart");
const QString keyScanIconNamesIconSize = QStringLiteral("ScanIconNamesIconSize");
const QString keyApplicantsIconPathsIconSize = QStringLiteral("ApplicantsIconPathsIconSize");
const QString keyPreviewIconSizeEnable = QStringLiteral("PreviewIconSizeEnable");
const QString keyPreviewIconSize = QStringLiteral("PreviewIconSize");
const QString keySearchIconSuffixes = QStringLiteral("SearchIconSuffixes");
const QString keyUsingSystemIconsTheme = QStringLiteral("UsingSystemIconsTheme");
const QString keyIconThemeSearchPaths = QStringLiteral("IconThemeSearchPaths");
const QString keyIconFallbackSearchPaths = QStringLiteral("IconFallbackSearchPaths");
const QString keyIconThemeName = QStringLiteral("IconThemeName");
const QString keyIconFallbackThemeName = QStringLiteral("IconFallbackThemeName");
const QString keyApplicantsExactMatch = QStringLiteral("ApplicantsExactMatchBySearchIconName");
const QString keyShowRemarksInIconNames = QStringLiteral("ShowRemarksInIconNames");
const QString keyShowRemarksInFindedIcon = QStringLiteral("ShowRemarksInFindedIcon");
const QString keyUse96Dpi = QStringLiteral("ApplicationAttributeUse96Dpi");
const QString keyUseHighDpiPixmaps = QStringLiteral("ApplicationAttributeUseHighDpiPixmaps");
const QString keyEnableHighDpiScaling = QStringLiteral("ApplicationAttributeEnableHighDpiScaling");
const QString keyDisableHighDpiScaling = QStringLiteral("ApplicationAttributeDisableHighDpiScaling");
const QString keyMainWindowGeometry = QStringLiteral("MainWindowGeometry");
const QString keyIconPathSortSectionsPolicy = QStringLiteral("IconPathSortSectionsPolicy");

// Where QSettings keeps this user's file for the format and scope of the store.
QString userFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') + Settings::organization + QLatin1Char('/')
        + Settings::application + QStringLiteral(".ini");
}

// A pipe or device at the file's place would block or never end, and a file the guard
// cannot clean would be parsed with what it takes out: the store then works on a private
// copy for the rest of the process, and the user's file stays as it is.
bool s_onPrivateCopy = false;

void usePrivateCopy(const QByteArray &contents, const char *why)
{
    static QTemporaryDir folder;
    QFile copy(folder.filePath(Settings::organization + QLatin1Char('/') + Settings::application + QStringLiteral(".ini")));
    QDir().mkpath(QFileInfo(copy).path());
    if (copy.open(QIODevice::WriteOnly)) {
        copy.write(contents);
    }
    QSettings::setPath(Settings::format, Settings::scope, folder.path());
    s_onPrivateCopy = true;
    qWarning("zel-find-qicon: the settings file %s %s; settings changed now are not saved.", qPrintable(userFilePath()), why);
}

// Called before any QSettings object opens the file, so that none ever parses what
// the guard takes out; a file nobody changed since the guard was over it is not read again.
QSettings::Format guardedFormat()
{
    if (s_onPrivateCopy) {
        return Settings::format;
    }
    const QFileInfo info(userFilePath());
    if (info.exists() && !info.isFile()) {
        usePrivateCopy(QByteArray(), "is not a regular file");
        return Settings::format;
    }
    // Only a file whose times are older than the file system's clock tick can be told
    // unchanged by them.
    static QHash<QString, DirectoryListing::Identity> settled;
    const QString path = userFilePath();
    const QByteArray encoded = QFile::encodeName(path);
    if (!settled.contains(path) || settled.value(path) != DirectoryListing::identityOf(encoded)) {
        QByteArray safe;
        if (!SettingsFileGuard::dropUnsafeValues(path, &safe)) {
            usePrivateCopy(safe, "holds values the program cannot read safely and cannot be cleaned");
            return Settings::format;
        }
        const DirectoryListing::Identity looked = DirectoryListing::identityOf(encoded);
        const qint64 tick = (QDateTime::currentMSecsSinceEpoch() - 2000) * 1000000;
        if (looked.exists && looked.modified < tick && looked.changed < tick) {
            settled.insert(path, looked);
        } else {
            settled.remove(path);
        }
    }
    return Settings::format;
}

bool readStaticBool(const QString &key)
{
    QSettings settings(guardedFormat(), Settings::scope, Settings::organization, Settings::application, nullptr);
    return settings.value(key).toBool();
}

void writeStaticBool(const QString &key, bool value)
{
    QSettings settings(guardedFormat(), Settings::scope, Settings::organization, Settings::application, nullptr);
    settings.setValue(key, QVariant(value));
}
}

const QSettings::Format Settings::format = QSettings::IniFormat;
const QSettings::Scope Settings::scope = QSettings::UserScope;
const QString Settings::organization = QStringLiteral("zel-find-qicon");
const QString Settings::application = QStringLiteral("application");

Settings::Settings(QObject *parent)
    : QSettings(guardedFormat(), scope, organization, application, parent)
{
    if (!s_systemValuesCaptured) {
        s_systemValuesCaptured = true;
        s_systemIconThemeSearchPaths = QIcon::themeSearchPaths();
        s_systemIconFallbackSearchPaths = QIcon::fallbackSearchPaths();
        s_systemIconThemeName = QIcon::themeName();
        s_systemIconFallbackThemeName = QIcon::fallbackThemeName();
    }
}

Settings::~Settings() = default;

bool Settings::isScanIconNamesOnStart() const
{
    return value(keyScanIconNamesOnStart, defaultScanIconNamesOnStart()).toBool();
}

void Settings::setScanIconNamesOnStart(bool scan)
{
    setValue(keyScanIconNamesOnStart, QVariant(scan));
}

bool Settings::defaultScanIconNamesOnStart()
{
    return false;
}

int Settings::scanIconNamesIconSize() const
{
    return value(keyScanIconNamesIconSize, defaultScanIconNamesIconSize()).toInt();
}

void Settings::setScanIconNamesIconSize(int size)
{
    setValue(keyScanIconNamesIconSize, QVariant(size));
}

int Settings::defaultScanIconNamesIconSize()
{
    return standartIconSizes.first();
}

int Settings::applicantsIconPathsIconSize() const
{
    return value(keyApplicantsIconPathsIconSize, defaultApplicantsIconPathsIconSize()).toInt();
}

void Settings::setApplicantsIconPathsIconSize(int size)
{
    setValue(keyApplicantsIconPathsIconSize, QVariant(size));
}

int Settings::defaultApplicantsIconPathsIconSize()
{
    return defaultScanIconNamesIconSize();
}

bool Settings::isPreviewIconSizeEnable() const
{
    return value(keyPreviewIconSizeEnable, defaultPreviewIconSizeEnable()).toBool();
}

void Settings::setPreviewIconSizeEnable(bool enable)
{
    setValue(keyPreviewIconSizeEnable, QVariant(enable));
}

bool Settings::defaultPreviewIconSizeEnable()
{
    return false;
}

int Settings::previewIconSize() const
{
    return value(keyPreviewIconSize, defaultPreviewIconSize()).toInt();
}

void Settings::setPreviewIconSize(int size)
{
    setValue(keyPreviewIconSize, QVariant(size));
}

int Settings::defaultPreviewIconSize()
{
    return standartIconSizes.last();
}

QStringList Settings::searchIconSuffixes() const
{
    return value(keySearchIconSuffixes, defaultSearchIconSuffixes()).toStringList();
}

void Settings::setSearchIconSuffixes(const QStringList &suffixes)
{
    setValue(keySearchIconSuffixes, QVariant(suffixes));
}

QStringList Settings::defaultSearchIconSuffixes()
{
    return iconFileSuffixes;
}

bool Settings::isUsingSystemIconsTheme() const
{
    return value(keyUsingSystemIconsTheme, defaultUsingSystemIconsTheme()).toBool();
}

void Settings::setUsingSystemIconsTheme(bool use)
{
    setValue(keyUsingSystemIconsTheme, QVariant(use));
}

bool Settings::defaultUsingSystemIconsTheme()
{
    return true;
}

QStringList Settings::iconThemeSearchPaths() const
{
    return value(keyIconThemeSearchPaths, systemIconThemeSearchPaths()).toStringList();
}

void Settings::setIconThemeSearchPaths(const QStringList &paths)
{
    setValue(keyIconThemeSearchPaths, QVariant(paths));
}

QStringList Settings::systemIconThemeSearchPaths()
{
    return s_systemIconThemeSearchPaths;
}

QStringList Settings::iconFallbackSearchPaths() const
{
    return value(keyIconFallbackSearchPaths, systemIconFallbackSearchPaths()).toStringList();
}

void Settings::setIconFallbackSearchPaths(const QStringList &paths)
{
    setValue(keyIconFallbackSearchPaths, QVariant(paths));
}

QStringList Settings::systemIconFallbackSearchPaths()
{
    return s_systemIconFallbackSearchPaths;
}

QString Settings::iconThemeName() const
{
    return value(keyIconThemeName, systemIconThemeName()).toString();
}

void Settings::setIconThemeName(const QString &name)
{
    setValue(keyIconThemeName, QVariant(name));
}

QString Settings::systemIconThemeName()
{
    return s_systemIconThemeName;
}

QString Settings::iconFallbackThemeName() const
{
    return value(keyIconFallbackThemeName, systemIconFallbackThemeName()).toString();
}

void Settings::setIconFallbackThemeName(const QString &name)
{
    setValue(keyIconFallbackThemeName, QVariant(name));
}

QString Settings::systemIconFallbackThemeName()
{
    return s_systemIconFallbackThemeName;
}

bool Settings::applicantsExactMatchBySearchIconName() const
{
    return value(keyApplicantsExactMatch).toBool();
}

void Settings::setApplicantsExactMatchBySearchIconName(bool exact)
{
    setValue(keyApplicantsExactMatch, QVariant(exact));
}

bool Settings::defaultApplicantsExactMatchBySearchIconName()
{
    return false;
}

bool Settings::showRemarksInIconNames() const
{
    return value(keyShowRemarksInIconNames, defaultShowRemarksInIconNames()).toBool();
}

void Settings::setShowRemarksInIconNames(bool show)
{
    setValue(keyShowRemarksInIconNames, QVariant(show));
}

bool Settings::defaultShowRemarksInIconNames()
{
    return false;
}

bool Settings::showRemarksInFindedIcon() const
{
    return value(keyShowRemarksInFindedIcon, defaultShowRemarksInFindedIcon()).toBool();
}

void Settings::setShowRemarksInFindedIcon(bool show)
{
    setValue(keyShowRemarksInFindedIcon, QVariant(show));
}

bool Settings::defaultShowRemarksInFindedIcon()
{
    return false;
}

bool Settings::applicationAttributeUse96Dpi() const
{
    return value(keyUse96Dpi).toBool();
}

void Settings::setApplicationAttributeUse96Dpi(bool use)
{
    setValue(keyUse96Dpi, QVariant(use));
}

bool Settings::defaultApplicationAttributeUse96Dpi()
{
    return false;
}

bool Settings::applicationAttributeUseHighDpiPixmaps() const
{
    return value(keyUseHighDpiPixmaps).toBool();
}

void Settings::setApplicationAttributeUseHighDpiPixmaps(bool use)
{
    setValue(keyUseHighDpiPixmaps, QVariant(use));
}

bool Settings::defaultApplicationAttributeUseHighDpiPixmaps()
{
    return false;
}

bool Settings::applicationAttributeEnableHighDpiScaling()
{
    return readStaticBool(keyEnableHighDpiScaling);
}

void Settings::setApplicationAttributeEnableHighDpiScaling(bool enable)
{
    writeStaticBool(keyEnableHighDpiScaling, enable);
}

bool Settings::defaultApplicationAttributeEnableHighDpiScaling()
{
    return false;
}

bool Settings::applicationAttributeDisableHighDpiScaling()
{
    return readStaticBool(keyDisableHighDpiScaling);
}

void Settings::setApplicationAttributeDisableHighDpiScaling(bool disable)
{
    writeStaticBool(keyDisableHighDpiScaling, disable);
}

bool Settings::defaultApplicationAttributeDisableHighDpiScaling()
{
    return false;
}

QByteArray Settings::restoreMainWindowGeometry() const
{
    return value(keyMainWindowGeometry).toByteArray();
}

void Settings::saveMainWindowGeometry(const QByteArray &geometry)
{
    setValue(keyMainWindowGeometry, QVariant(geometry));
}

QByteArray Settings::restoreSplitterState(Settings::Splitters splitter) const
{
    const QString key = splitterStateKey(splitter);
    if (key.isEmpty()) {
        return QByteArray();
    }
    return value(key).toByteArray();
}

void Settings::saveSplitterState(Settings::Splitters splitter, const QByteArray &state)
{
    const QString key = splitterStateKey(splitter);
    if (key.isEmpty()) {
        return;
    }
    setValue(key, QVariant(state));
}

QList<IconPathSection> Settings::applicantsSortSectionsPolicy() const
{
    const QStringList names = value(keyIconPathSortSectionsPolicy).toStringList();
    if (names.isEmpty()) {
        return defaultApplicantsSortSectionsPolicy();
    }
    QList<IconPathSection> policy;
    policy.reserve(names.size());
    for (const QString &name : names) {
        policy.append(iconPathSection(name));
    }
    return policy;
}

void Settings::setApplicantsSortSectionsPolicy(const QList<IconPathSection> &policy)
{
    QStringList names;
    names.reserve(policy.size());
    for (IconPathSection section : policy) {
        names.append(iconPathSectionName(section));
    }
    setValue(keyIconPathSortSectionsPolicy, QVariant(names));
}

QList<IconPathSection> Settings::defaultApplicantsSortSectionsPolicy()
{
    return allIconPathSections;
}

QString Settings::splitterStateKey(Settings::Splitters splitter)
{
    switch (splitter) {
    case SplitterMain:
        return QStringLiteral("SplitterMainState");
    case SplitterSecond:
        return QStringLiteral("SplitterSecondState");
    case SplitterFindedIcon:
        return QStringLiteral("SplitterFindedIconState");
    case SplitterApplicantsRemarks:
        return QStringLiteral("SplitterApplicantsRemarksState");
    }
    return QString();
}

QString Settings::iconPathSectionName(IconPathSection section)
{
    switch (section) {
    case MainPath:
        return QStringLiteral("MainPath");
    case Theme:
        return QStringLiteral("Theme");
    case Size:
        return QStringLiteral("Size");
    case Category:
        return QStringLiteral("Category");
    case Name:
        return QStringLiteral("Name");
    }
    return QString();
}

IconPathSection Settings::iconPathSection(const QString &name)
{
    for (IconPathSection section : allIconPathSections) {
        if (name == iconPathSectionName(section)) {
            return section;
        }
    }
    return MainPath;
}

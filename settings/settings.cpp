#include "settings.h"

#include "app/constants.h"
#include "settings/settingsfileguard.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QFile>
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

// The file as Qt's own INI format parses and writes it, with the guard's lines taken out
// in memory first: the user's file is only ever written by a save, never by the guard.
bool readGuarded(QIODevice &device, QSettings::SettingsMap &map)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("read.ini"));
    QFile plain(path);
    if (!folder.isValid() || !plain.open(QIODevice::WriteOnly) || plain.write(SettingsFileGuard::withoutUnsafeValues(device.readAll())) < 0) {
        return false;
    }
    plain.close();
    const QSettings parsed(path, QSettings::IniFormat);
    const QStringList keys = parsed.allKeys();
    for (const QString &key : keys) {
        map.insert(key, parsed.value(key));
    }
    // Qt keeps what it could parse of a garbled file; so does the store.
    return true;
}

bool writeGuarded(QIODevice &device, const QSettings::SettingsMap &map)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("write.ini"));
    {
        QSettings written(path, QSettings::IniFormat);
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            written.setValue(it.key(), it.value());
        }
        written.sync();
        if (written.status() != QSettings::NoError) {
            return false;
        }
    }
    QFile plain(path);
    if (!plain.open(QIODevice::ReadOnly)) {
        return map.isEmpty();
    }
    const QByteArray bytes = plain.readAll();
    // QSaveFile buffers what it is given and, in Qt 5, commits even when the flush at
    // its close runs out of disk space: the file would be replaced by its first blocks.
    // A failed flush here keeps the old file, and the store reports an access error.
    auto *file = qobject_cast<QFileDevice *>(&device);
    return device.write(bytes) == bytes.size() && (!file || file->flush());
}

// A pipe or device at the file's place would block or never end: the store then works
// on a private file for the rest of the process, and the user's path stays as it is.
bool s_onPrivateCopy = false;

void usePrivateCopy()
{
    static QTemporaryDir folder;
    QSettings::setPath(Settings::format, Settings::scope, folder.path());
    s_onPrivateCopy = true;
    qWarning("zel-find-qicon: the settings file %s is not a regular file; settings changed now are not saved.", qPrintable(userFilePath()));
}

// Called before any QSettings object opens the file.
QSettings::Format guardedFormat()
{
    if (!s_onPrivateCopy) {
        const QFileInfo info(userFilePath());
        if (info.exists() && !info.isFile()) {
            usePrivateCopy();
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

const QSettings::Format Settings::format = QSettings::registerFormat(QStringLiteral("ini"), readGuarded, writeGuarded);
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

Settings::~Settings()
{
    sync();
    if (status() == QSettings::AccessError && !s_onPrivateCopy) {
        qWarning("zel-find-qicon: the settings could not be saved to %s; the file keeps what it held before.", qPrintable(userFilePath()));
    }
}

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

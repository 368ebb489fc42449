#include "settings.h"

#include "app/constants.h"
#include "settings/inicodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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
const QString keyWorkbenchBackground = QStringLiteral("WorkbenchBackground");
const QString keyLiveReload = QStringLiteral("LiveReload");
const QString keyShownViews = QStringLiteral("ShownViews");
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

// Why the last save did not reach the disk, for the word the store says about it.
QString s_saveError;

bool readIni(QIODevice &device, QSettings::SettingsMap &map)
{
    map = IniCodec::read(device.readAll());
    // Qt keeps what it could parse of a garbled file; so does the store.
    return true;
}

// The device is Qt's own QSaveFile beside the user's file: it replaces the file only once
// this returns true. In Qt 5 it would commit even when the flush at its close ran out of
// disk space, so the flush happens here, where a failure still keeps the old file.
bool writeIni(QIODevice &device, const QSettings::SettingsMap &map)
{
    const QByteArray bytes = IniCodec::write(map);
    auto *file = qobject_cast<QFileDevice *>(&device);
    if (device.write(bytes) != bytes.size() || (file && !file->flush())) {
        s_saveError = device.errorString();
        return false;
    }
    return true;
}

// Paths the store must not hand to QSettings: a pipe or device at the file's place would
// block or never end, and a lock path that is no regular file would have QSettings wait
// for the lock for ever.
enum class Mode { Saving, ReadOnly, Nowhere };
Mode s_mode = Mode::Saving;

void warnOnce(Mode mode, const char *why)
{
    if (s_mode == Mode::Saving || (mode == Mode::Nowhere && s_mode != Mode::Nowhere)) {
        qWarning("zel-find-qicon: %s; settings changed now are not saved.", why);
    }
}

// Called before any QSettings object opens the file.
QSettings::Format guardedFormat()
{
    if (s_mode != Mode::Nowhere) {
        const QFileInfo file(userFilePath());
        const QFileInfo lock(userFilePath() + QStringLiteral(".lock"));
        if (file.exists() && !file.isFile()) {
            warnOnce(Mode::Nowhere, qPrintable(QStringLiteral("the settings file %1 is not a regular file").arg(file.filePath())));
            s_mode = Mode::Nowhere;
            // A folder that cannot be made: nothing is read, and no save is even tried.
            QSettings::setPath(Settings::format, Settings::scope, QStringLiteral("/dev/null"));
        } else if ((lock.exists() || lock.isSymLink()) && !lock.isFile()) {
            warnOnce(Mode::ReadOnly, qPrintable(QStringLiteral("the lock path %1 is not a regular file").arg(lock.filePath())));
            s_mode = Mode::ReadOnly;
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
    if (s_mode != Mode::ReadOnly) {
        settings.setValue(key, QVariant(value));
    }
}
}

const QSettings::Format Settings::format = QSettings::registerFormat(QStringLiteral("ini"), readIni, writeIni);
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
    if (status() == QSettings::AccessError && s_mode == Mode::Saving) {
        qWarning("zel-find-qicon: the settings could not be saved to %s (%s); the file keeps what it held before.",
                 qPrintable(userFilePath()),
                 qPrintable(s_saveError.isEmpty() ? QStringLiteral("it cannot be written") : s_saveError));
    }
}

// While the store cannot save, nothing it is given is kept for a save: a pending change
// would have QSettings take the lock.
void Settings::put(const QString &key, const QVariant &value)
{
    if (s_mode != Mode::ReadOnly) {
        setValue(key, value);
    }
}

bool Settings::isScanIconNamesOnStart() const
{
    return value(keyScanIconNamesOnStart, defaultScanIconNamesOnStart()).toBool();
}

void Settings::setScanIconNamesOnStart(bool scan)
{
    put(keyScanIconNamesOnStart, QVariant(scan));
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
    put(keyScanIconNamesIconSize, QVariant(size));
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
    put(keyApplicantsIconPathsIconSize, QVariant(size));
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
    put(keyPreviewIconSizeEnable, QVariant(enable));
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
    put(keyPreviewIconSize, QVariant(size));
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
    put(keySearchIconSuffixes, QVariant(suffixes));
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
    put(keyUsingSystemIconsTheme, QVariant(use));
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
    put(keyIconThemeSearchPaths, QVariant(paths));
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
    put(keyIconFallbackSearchPaths, QVariant(paths));
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
    put(keyIconThemeName, QVariant(name));
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
    put(keyIconFallbackThemeName, QVariant(name));
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
    put(keyApplicantsExactMatch, QVariant(exact));
}

bool Settings::defaultApplicantsExactMatchBySearchIconName()
{
    return false;
}

QString Settings::workbenchBackground() const
{
    const QString background = value(keyWorkbenchBackground, defaultWorkbenchBackground()).toString();
    const QStringList known = {QStringLiteral("window"), QStringLiteral("light"), QStringLiteral("dark"), QStringLiteral("checkerboard")};
    return known.contains(background) ? background : defaultWorkbenchBackground();
}

void Settings::setWorkbenchBackground(const QString &background)
{
    put(keyWorkbenchBackground, QVariant(background));
}

QString Settings::defaultWorkbenchBackground()
{
    return QStringLiteral("window");
}

QStringList Settings::shownViews() const
{
    return value(keyShownViews).toStringList();
}

void Settings::setShownViews(const QStringList &views)
{
    put(keyShownViews, QVariant(views));
}

bool Settings::isLiveReload() const
{
    return value(keyLiveReload, defaultLiveReload()).toBool();
}

void Settings::setLiveReload(bool reload)
{
    put(keyLiveReload, QVariant(reload));
}

bool Settings::defaultLiveReload()
{
    return true;
}

bool Settings::showRemarksInIconNames() const
{
    return value(keyShowRemarksInIconNames, defaultShowRemarksInIconNames()).toBool();
}

void Settings::setShowRemarksInIconNames(bool show)
{
    put(keyShowRemarksInIconNames, QVariant(show));
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
    put(keyShowRemarksInFindedIcon, QVariant(show));
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
    put(keyUse96Dpi, QVariant(use));
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
    put(keyUseHighDpiPixmaps, QVariant(use));
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
    put(keyMainWindowGeometry, QVariant(geometry));
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
    put(key, QVariant(state));
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
    put(keyIconPathSortSectionsPolicy, QVariant(names));
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

// Every getter of the settings store over a settings file the fuzzer writes: wrong types,
// huge numbers, broken lines and bytes that are not UTF-8 must give values, not crashes;
// and whatever the store reads, it writes so that it reads the same again.
#include "settings/inicodec.h"
#include "settings/settings.h"

#include "fuzzerenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>

namespace
{
QString settingsPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/zel-find-qicon/application.ini");
}

// QSettings trusts size and time to tell a changed file; inputs of one size written in
// the same instant must still be read afresh.
void stampUniquely(const QString &path)
{
    static long long counter = 0;
    ++counter;
    struct timespec times[2];
    times[0].tv_sec = times[1].tv_sec = 1000000000 + counter;
    times[0].tv_nsec = times[1].tv_nsec = 0;
    utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzerEnvironment::instance();
    const QSettings::SettingsMap read = IniCodec::read(QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size)));
    if (IniCodec::read(IniCodec::write(read)) != read) {
        std::abort();
    }
    const QString path = settingsPath();
    QDir().mkpath(QFileInfo(path).path());
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            std::abort();
        }
        file.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    }
    stampUniquely(path);

    Settings settings;
    settings.isScanIconNamesOnStart();
    settings.scanIconNamesIconSize();
    settings.applicantsIconPathsIconSize();
    settings.isPreviewIconSizeEnable();
    settings.previewIconSize();
    settings.searchIconSuffixes();
    settings.isUsingSystemIconsTheme();
    settings.iconThemeSearchPaths();
    settings.iconFallbackSearchPaths();
    settings.iconThemeName();
    settings.iconFallbackThemeName();
    settings.applicantsExactMatchBySearchIconName();
    settings.showRemarksInIconNames();
    settings.showRemarksInFindedIcon();
    settings.applicationAttributeUse96Dpi();
    settings.applicationAttributeUseHighDpiPixmaps();
    Settings::applicationAttributeEnableHighDpiScaling();
    Settings::applicationAttributeDisableHighDpiScaling();
    settings.restoreMainWindowGeometry();
    for (Settings::Splitters splitter : {Settings::SplitterMain, Settings::SplitterSecond, Settings::SplitterFindedIcon, Settings::SplitterApplicantsRemarks}) {
        settings.restoreSplitterState(splitter);
    }
    const QList<IconPathSection> policy = settings.applicantsSortSectionsPolicy();
    for (IconPathSection section : policy) {
        if (static_cast<int>(section) < MainPath || static_cast<int>(section) > Name) {
            std::abort();
        }
    }
    return 0;
}

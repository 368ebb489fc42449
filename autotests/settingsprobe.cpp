// A fresh process that reads the settings file, so read-backs never come from the
// in-process cache of the test that wrote them.
#include "settings/settings.h"

#include <QGuiApplication>
#include <QIcon>
#include <QStandardPaths>
#include <QTextStream>

int main(int argc, char **argv)
{
    QStandardPaths::setTestModeEnabled(true);
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    QTextStream out(stdout);
    if (mode == QLatin1String("highdpi")) {
        // Before any application object, as main() reads them.
        out << "enable=" << Settings::applicationAttributeEnableHighDpiScaling() << "\ndisable=" << Settings::applicationAttributeDisableHighDpiScaling()
            << "\napp=" << (QCoreApplication::instance() != nullptr) << '\n';
        return 0;
    }
    QGuiApplication app(argc, argv);
    if (mode == QLatin1String("capture")) {
        QIcon::setThemeName(QStringLiteral("before"));
        delete new Settings;
        QIcon::setThemeName(QStringLiteral("after"));
        out << "stored=" << Settings().iconThemeName() << '\n';
        return 0;
    }
    if (mode == QLatin1String("save")) {
        Settings().setPreviewIconSize(48);
        return 0;
    }
    Settings s;
    const auto list = [](const QStringList &values) -> QString {
        return QLatin1Char('[') + values.join(QLatin1Char('|')) + QLatin1Char(']');
    };
    QStringList policy;
    for (IconPathSection section : s.applicantsSortSectionsPolicy()) {
        policy.append(QString::number(section));
    }
    out << "ScanIconNamesOnStart=" << s.isScanIconNamesOnStart() << "\nScanIconNamesIconSize=" << s.scanIconNamesIconSize()
        << "\nApplicantsIconPathsIconSize=" << s.applicantsIconPathsIconSize() << "\nPreviewIconSizeEnable=" << s.isPreviewIconSizeEnable()
        << "\nPreviewIconSize=" << s.previewIconSize() << "\nSearchIconSuffixes=" << list(s.searchIconSuffixes())
        << "\nUsingSystemIconsTheme=" << s.isUsingSystemIconsTheme() << "\nIconThemeSearchPaths=" << list(s.iconThemeSearchPaths())
        << "\nIconFallbackSearchPaths=" << list(s.iconFallbackSearchPaths()) << "\nIconThemeName=" << s.iconThemeName()
        << "\nIconFallbackThemeName=" << s.iconFallbackThemeName() << "\nApplicantsExactMatchBySearchIconName=" << s.applicantsExactMatchBySearchIconName()
        << "\nShowRemarksInIconNames=" << s.showRemarksInIconNames() << "\nShowRemarksInFindedIcon=" << s.showRemarksInFindedIcon()
        << "\nApplicationAttributeUse96Dpi=" << s.applicationAttributeUse96Dpi()
        << "\nApplicationAttributeUseHighDpiPixmaps=" << s.applicationAttributeUseHighDpiPixmaps()
        << "\nApplicationAttributeEnableHighDpiScaling=" << Settings::applicationAttributeEnableHighDpiScaling()
        << "\nMainWindowGeometry=" << s.restoreMainWindowGeometry().size() << "\nIconPathSortSectionsPolicy=" << policy.join(QLatin1Char(',')) << '\n';
    for (int splitter = 0; splitter < 4; ++splitter) {
        const auto which = static_cast<Settings::Splitters>(splitter);
        out << Settings::splitterStateKey(which) << '=' << s.restoreSplitterState(which).size() << '\n';
    }
    return 0;
}

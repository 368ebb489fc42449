// A fresh process that reads the settings file, so read-backs never come from the
// in-process QSettings cache of the test that wrote them.
#include "settings/settings.h"

#include <QGuiApplication>
#include <QIcon>
#include <QStandardPaths>
#include <QTextStream>

static QString join(const QStringList &list)
{
    return QLatin1Char('[') + list.join(QLatin1Char('|')) + QLatin1Char(']');
}

int main(int argc, char **argv)
{
    QStandardPaths::setTestModeEnabled(true);
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    QTextStream out(stdout);

    if (mode == QLatin1String("highdpi")) {
        // Before any application object, as main() does.
        out << "enable=" << Settings::applicationAttributeEnableHighDpiScaling() << '\n';
        out << "disable=" << Settings::applicationAttributeDisableHighDpiScaling() << '\n';
        out << "app=" << (QCoreApplication::instance() != nullptr) << '\n';
        return 0;
    }

    QGuiApplication app(argc, argv);
    if (mode == QLatin1String("capture")) {
        QIcon::setThemeName(QStringLiteral("before"));
        {
            Settings first;
        }
        QIcon::setThemeName(QStringLiteral("after"));
        Settings second;
        out << "system=" << Settings::systemIconThemeName() << '\n';
        out << "stored=" << second.iconThemeName() << '\n';
        return 0;
    }

    Settings s;
    QStringList policy;
    for (IconPathSection section : s.applicantsSortSectionsPolicy()) {
        policy.append(QString::number(section));
    }
    out << "ScanIconNamesOnStart=" << s.isScanIconNamesOnStart() << '\n';
    out << "ScanIconNamesIconSize=" << s.scanIconNamesIconSize() << '\n';
    out << "ApplicantsIconPathsIconSize=" << s.applicantsIconPathsIconSize() << '\n';
    out << "PreviewIconSizeEnable=" << s.isPreviewIconSizeEnable() << '\n';
    out << "PreviewIconSize=" << s.previewIconSize() << '\n';
    out << "SearchIconSuffixes=" << join(s.searchIconSuffixes()) << '\n';
    out << "UsingSystemIconsTheme=" << s.isUsingSystemIconsTheme() << '\n';
    out << "IconThemeSearchPaths=" << join(s.iconThemeSearchPaths()) << '\n';
    out << "IconFallbackSearchPaths=" << join(s.iconFallbackSearchPaths()) << '\n';
    out << "IconThemeName=" << s.iconThemeName() << '\n';
    out << "IconFallbackThemeName=" << s.iconFallbackThemeName() << '\n';
    out << "ApplicantsExactMatchBySearchIconName=" << s.applicantsExactMatchBySearchIconName() << '\n';
    out << "ShowRemarksInIconNames=" << s.showRemarksInIconNames() << '\n';
    out << "ShowRemarksInFindedIcon=" << s.showRemarksInFindedIcon() << '\n';
    out << "ApplicationAttributeUse96Dpi=" << s.applicationAttributeUse96Dpi() << '\n';
    out << "ApplicationAttributeUseHighDpiPixmaps=" << s.applicationAttributeUseHighDpiPixmaps() << '\n';
    out << "ApplicationAttributeEnableHighDpiScaling=" << Settings::applicationAttributeEnableHighDpiScaling() << '\n';
    out << "ApplicationAttributeDisableHighDpiScaling=" << Settings::applicationAttributeDisableHighDpiScaling() << '\n';
    out << "MainWindowGeometry=" << s.restoreMainWindowGeometry().size() << '\n';
    out << "SplitterMainState=" << s.restoreSplitterState(Settings::SplitterMain).size() << '\n';
    out << "SplitterSecondState=" << s.restoreSplitterState(Settings::SplitterSecond).size() << '\n';
    out << "SplitterFindedIconState=" << s.restoreSplitterState(Settings::SplitterFindedIcon).size() << '\n';
    out << "SplitterApplicantsRemarksState=" << s.restoreSplitterState(Settings::SplitterApplicantsRemarks).size() << '\n';
    out << "IconPathSortSectionsPolicy=" << policy.join(QLatin1Char(',')) << '\n';
    return 0;
}

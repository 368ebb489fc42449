#include "settings/settings.h"

#include "settingsprobeclient.h"
#include "testenvironment.h"

#include "app/constants.h"

#include <QDir>
#include <QFile>
#include <QIcon>

class SettingsTest : public QObject
{
    Q_OBJECT

private:
    static void writeRawFile(const QByteArray &text)
    {
        const QString path = TestEnvironment::settingsFilePath();
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }

    static void removeFile()
    {
        QFile::remove(TestEnvironment::settingsFilePath());
    }

private Q_SLOTS:
    void init()
    {
        removeFile();
    }

    void defaultsWithoutFile()
    {
        const auto values = runSettingsProbe();
        QVERIFY2(!values.contains(QStringLiteral("error")), qPrintable(values.value(QStringLiteral("error"))));
        QCOMPARE(values.value(QStringLiteral("ScanIconNamesOnStart")), QStringLiteral("0"));
        QCOMPARE(values.value(QStringLiteral("ScanIconNamesIconSize")), QStringLiteral("16"));
        QCOMPARE(values.value(QStringLiteral("ApplicantsIconPathsIconSize")), QStringLiteral("16"));
        QCOMPARE(values.value(QStringLiteral("PreviewIconSizeEnable")), QStringLiteral("0"));
        QCOMPARE(values.value(QStringLiteral("PreviewIconSize")), QStringLiteral("256"));
        QCOMPARE(values.value(QStringLiteral("SearchIconSuffixes")), QStringLiteral("[png|jpg|jpeg|svg|svgz|xcf|xpm]"));
        QCOMPARE(values.value(QStringLiteral("UsingSystemIconsTheme")), QStringLiteral("1"));
        for (const char *key : {"ApplicantsExactMatchBySearchIconName",
                                "ShowRemarksInIconNames",
                                "ShowRemarksInFindedIcon",
                                "ApplicationAttributeUse96Dpi",
                                "ApplicationAttributeUseHighDpiPixmaps",
                                "ApplicationAttributeEnableHighDpiScaling",
                                "ApplicationAttributeDisableHighDpiScaling"}) {
            QCOMPARE(values.value(QLatin1String(key)), QStringLiteral("0"));
        }
        for (const char *key :
             {"MainWindowGeometry", "SplitterMainState", "SplitterSecondState", "SplitterFindedIconState", "SplitterApplicantsRemarksState"}) {
            QCOMPARE(values.value(QLatin1String(key)), QStringLiteral("0"));
        }
        QCOMPARE(values.value(QStringLiteral("IconPathSortSectionsPolicy")), QStringLiteral("0,1,2,3,4"));
        // Nothing was written by merely reading.
        QVERIFY(!QFile::exists(TestEnvironment::settingsFilePath()));
    }

    void themeKeysDefaultToCapturedSystemValues()
    {
        const auto values = runSettingsProbe(QStringLiteral("capture"));
        QCOMPARE(values.value(QStringLiteral("system")), QStringLiteral("before"));
        QCOMPARE(values.value(QStringLiteral("stored")), QStringLiteral("before"));
    }

    void storedSortOrder_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("expected");
        QTest::newRow("two names") << QByteArray("IconPathSortSectionsPolicy=Size, Theme") << QStringLiteral("2,1");
        QTest::newRow("repeated and unknown") << QByteArray("IconPathSortSectionsPolicy=Name, Name, Foo") << QStringLiteral("4,4,0");
        QTest::newRow("wrong case") << QByteArray("IconPathSortSectionsPolicy=name") << QStringLiteral("0");
        QTest::newRow("empty list") << QByteArray("IconPathSortSectionsPolicy=@Invalid()") << QStringLiteral("0,1,2,3,4");
        // One empty name is not an empty list: it reads as MainPath alone.
        QTest::newRow("empty text") << QByteArray("IconPathSortSectionsPolicy=") << QStringLiteral("0");
        QTest::newRow("longer than five") << QByteArray("IconPathSortSectionsPolicy=Name, Size, Theme, Category, MainPath, Name")
                                          << QStringLiteral("4,2,1,3,0,4");
    }

    void storedSortOrder()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, expected);
        writeRawFile("[General]\n" + stored + "\n");
        QCOMPARE(runSettingsProbe().value(QStringLiteral("IconPathSortSectionsPolicy")), expected);
    }

    void writtenValuesReadBackInAnotherProcess()
    {
        {
            Settings settings;
            settings.setApplicantsSortSectionsPolicy({Size, Name, static_cast<IconPathSection>(9)});
            settings.setIconThemeSearchPaths(QStringList());
            settings.setIconFallbackSearchPaths({QStringLiteral("/a"), QStringLiteral("/a")});
            settings.setScanIconNamesIconSize(123456);
            settings.setSearchIconSuffixes({QString(), QStringLiteral("PNG")});
            Settings::setApplicationAttributeEnableHighDpiScaling(true);
        }
        const auto values = runSettingsProbe();
        // An out-of-range section is written as an empty name and reads back as MainPath.
        QCOMPARE(values.value(QStringLiteral("IconPathSortSectionsPolicy")), QStringLiteral("2,4,0"));
        // A stored empty list wins over the system paths.
        QCOMPARE(values.value(QStringLiteral("IconThemeSearchPaths")), QStringLiteral("[]"));
        QCOMPARE(values.value(QStringLiteral("IconFallbackSearchPaths")), QStringLiteral("[/a|/a]"));
        QCOMPARE(values.value(QStringLiteral("ScanIconNamesIconSize")), QStringLiteral("123456"));
        QCOMPARE(values.value(QStringLiteral("SearchIconSuffixes")), QStringLiteral("[|PNG]"));
        QCOMPARE(values.value(QStringLiteral("ApplicationAttributeEnableHighDpiScaling")), QStringLiteral("1"));
    }

    void emptyOrderRoundTrip()
    {
        {
            Settings settings;
            settings.setApplicantsSortSectionsPolicy({});
        }
        QCOMPARE(runSettingsProbe().value(QStringLiteral("IconPathSortSectionsPolicy")), QStringLiteral("0,1,2,3,4"));
    }

    void splitterKeys_data()
    {
        QTest::addColumn<int>("splitter");
        QTest::addColumn<QString>("key");
        QTest::newRow("main") << 0 << QStringLiteral("SplitterMainState");
        QTest::newRow("second") << 1 << QStringLiteral("SplitterSecondState");
        QTest::newRow("finded") << 2 << QStringLiteral("SplitterFindedIconState");
        QTest::newRow("applicants") << 3 << QStringLiteral("SplitterApplicantsRemarksState");
        QTest::newRow("negative") << -1 << QString();
        QTest::newRow("past the end") << 4 << QString();
    }

    void splitterKeys()
    {
        QFETCH(int, splitter);
        QFETCH(QString, key);
        const auto value = static_cast<Settings::Splitters>(splitter);
        QCOMPARE(Settings::splitterStateKey(value), key);
        QCOMPARE(Settings::splitterStateKey(value).isNull(), key.isNull());
        {
            Settings settings;
            settings.saveSplitterState(value, QByteArrayLiteral("state"));
            QCOMPARE(settings.restoreSplitterState(value), key.isEmpty() ? QByteArray() : QByteArrayLiteral("state"));
        }
        if (key.isEmpty()) {
            // Nothing at all reached the file.
            QFile file(TestEnvironment::settingsFilePath());
            QVERIFY(!file.exists() || (file.open(QIODevice::ReadOnly) && !file.readAll().contains("state")));
        }
    }

    void sectionNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("section");
        QTest::newRow("MainPath") << QStringLiteral("MainPath") << 0;
        QTest::newRow("Theme") << QStringLiteral("Theme") << 1;
        QTest::newRow("Size") << QStringLiteral("Size") << 2;
        QTest::newRow("Category") << QStringLiteral("Category") << 3;
        QTest::newRow("Name") << QStringLiteral("Name") << 4;
        QTest::newRow("empty") << QString() << 0;
        QTest::newRow("blank around") << QStringLiteral(" Name") << 0;
    }

    void sectionNames()
    {
        QFETCH(QString, name);
        QFETCH(int, section);
        QCOMPARE(int(Settings::iconPathSection(name)), section);
        if (Settings::iconPathSection(name) != MainPath || name == QLatin1String("MainPath")) {
            QCOMPARE(Settings::iconPathSectionName(static_cast<IconPathSection>(section)), name);
        }
        QVERIFY(Settings::iconPathSectionName(static_cast<IconPathSection>(5)).isNull());
    }

    void highDpiGettersBeforeApplication()
    {
        Settings::setApplicationAttributeEnableHighDpiScaling(true);
        Settings::setApplicationAttributeDisableHighDpiScaling(false);
        auto values = runSettingsProbe(QStringLiteral("highdpi"));
        QCOMPARE(values.value(QStringLiteral("app")), QStringLiteral("0"));
        QCOMPARE(values.value(QStringLiteral("enable")), QStringLiteral("1"));
        QCOMPARE(values.value(QStringLiteral("disable")), QStringLiteral("0"));
        Settings::setApplicationAttributeDisableHighDpiScaling(true);
        values = runSettingsProbe(QStringLiteral("highdpi"));
        QCOMPARE(values.value(QStringLiteral("disable")), QStringLiteral("1"));
    }

    void garbledFileFallsBack()
    {
        writeRawFile(
            QByteArray("[General]\nScanIconNamesIconSize=banana\nPreviewIconSize=99999999999999999999\n"
                       "ScanIconNamesOnStart=maybe\nSearchIconSuffixes=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\0)\n"
                       "this line is garbage\n\xff\xfe=\xc3\x28\nMainWindowGeometry=@ByteArray(\n"
                       "[Other]\nIconThemeName=elsewhere\n"));
        const auto values = runSettingsProbe();
        QVERIFY2(!values.contains(QStringLiteral("error")), qPrintable(values.value(QStringLiteral("error"))));
        QCOMPARE(values.value(QStringLiteral("ScanIconNamesIconSize")), QStringLiteral("0"));
        QCOMPARE(values.value(QStringLiteral("PreviewIconSize")), QStringLiteral("0"));
        // Any text but empty, 0 or false converts to true.
        QCOMPARE(values.value(QStringLiteral("ScanIconNamesOnStart")), QStringLiteral("1"));
        // A key in another group is not ours: the theme name still comes from the system.
        QVERIFY(values.value(QStringLiteral("IconThemeName")) != QLatin1String("elsewhere"));
    }
};

ZEL_TEST_MAIN(SettingsTest)

#include "settingstest.moc"

#include "settings/settingsfileguard.h"
#include "settings/settings.h"

#include "testenvironment.h"

#include <QDir>
#include <QFileInfo>

class SettingsFileGuardTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void values_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("safe");
        QTest::newRow("plain text") << QByteArray("breeze") << true;
        QTest::newRow("list") << QByteArray("png, svg, \"a,b\"") << true;
        QTest::newRow("byte array") << QByteArray("@ByteArray(\\x1\\0\\xff)") << true;
        QTest::newRow("fixed-size variant") << QByteArray("@Variant(\\0\\0\\0\\x15\\0\\0\\0\\0\\x10)") << false;
        QTest::newRow("marker written as escapes") << QByteArray("\\x40Variant\\50\\0\\0\\0\\t)") << false;
        QTest::newRow("quote inside the marker") << QByteArray("@Var\"iant(\\0\\0\\0\\t\\0)") << false;
        QTest::newRow("escaped line end inside the marker") << QByteArray("@Variant(\\\r\n\\0\\0\\0\\t)") << false;
        QTest::newRow("second element of a list") << QByteArray("a, @Variant(\\0\\0\\0\\v\\0)") << false;
        QTest::newRow("the word alone") << QByteArray("Variant(1)") << true;
    }

    void values()
    {
        QFETCH(QByteArray, value);
        QFETCH(bool, safe);
        QCOMPARE(SettingsFileGuard::isSafeValue(value), safe);
    }

    void onlyUnsafeLinesGo()
    {
        const QByteArray before(
            "[General]\r\nIconThemeName=breeze\nBad=@Variant(\\0\\0\\0\\t\\0\\\n\\xff\\xff)\n; comment\nSize=@Variant(\\0\\0\\0\\x15\\0)\n"
            "Other=x\n[Other]\nBad=a,\\\n @Variant(\\0\\0\\0\\t)\nKept=1");
        const QByteArray after("[General]\r\nIconThemeName=breeze\n; comment\nOther=x\n[Other]\nKept=1");
        QCOMPARE(SettingsFileGuard::withoutUnsafeValues(before), after);
        QCOMPARE(SettingsFileGuard::withoutUnsafeValues(after), after);
    }

    // The store opens the user's file only after the guard has been over it.
    void storeReadsAndWritesThroughTheGuard()
    {
        Settings probe;
        const QString path = probe.fileName();
        QCOMPARE(path, TestEnvironment::settingsFilePath());
        QDir().mkpath(QFileInfo(path).path());
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write("[General]\nIconThemeName=kept\nScanIconNamesIconSize=@Variant(\\0\\0\\0\\t\\0\\xff\\xff\\xff\\xff)\n");
        }
        {
            Settings settings;
            QCOMPARE(settings.iconThemeName(), QStringLiteral("kept"));
            QCOMPARE(settings.scanIconNamesIconSize(), Settings::defaultScanIconNamesIconSize());
            settings.setPreviewIconSize(48);
        }
        QCOMPARE(Settings::applicationAttributeEnableHighDpiScaling(), false);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray contents = file.readAll();
        QVERIFY(contents.contains("IconThemeName=kept"));
        QVERIFY(contents.contains("PreviewIconSize=48"));
        QVERIFY(!contents.contains("@Variant"));
    }
};

ZEL_TEST_MAIN(SettingsFileGuardTest)

#include "settingsfileguardtest.moc"

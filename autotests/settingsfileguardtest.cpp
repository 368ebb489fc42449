#include "settings/settings.h"
#include "settings/settingsfileguard.h"

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
        QTest::newRow("size") << QByteArray("@Variant(\\0\\0\\0\\x15\\0\\0\\0\\0\\x10\\0\\0\\0\\x10)") << true;
        QTest::newRow("size in octal") << QByteArray("@Variant(\\0\\0\\0\\25\\0)") << true;
        QTest::newRow("too short to name a type") << QByteArray("@Variant(\\0\\0)") << true;
        QTest::newRow("variant list") << QByteArray("@Variant(\\0\\0\\0\\t\\0\\xff\\xff\\xff\\xff)") << false;
        QTest::newRow("string") << QByteArray("@Variant(\\0\\0\\0\\n\\0\\xff\\xff\\xff\\xf0)") << false;
        QTest::newRow("user type") << QByteArray("@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\0\\x5zzzzz)") << false;
        QTest::newRow("image, shifted id") << QByteArray("@Variant(\\0\\0\\0\\x46\\0)") << false;
        QTest::newRow("quote inside the marker") << QByteArray("@Var\"iant(\\0\\0\\0\\t\\0)") << false;
        QTest::newRow("escaped line end inside the marker") << QByteArray("@Variant(\\\r\n\\0\\0\\0\\t)") << false;
        QTest::newRow("hex escape with many digits") << QByteArray("@Variant(\\x10000\\0\\0\\t)") << false;
        QTest::newRow("raw high byte") << QByteArray("@Variant(\\0\\0\\0\x89)") << false;
        QTest::newRow("second element of a list") << QByteArray("a, @Variant(\\0\\0\\0\\v\\0)") << false;
        QTest::newRow("found by fuzzing") << QByteArray("@Variant(\\0\\0\\0\\e1x7f\\o(cy=Se18)") << false;
    }

    void values()
    {
        QFETCH(QByteArray, value);
        QFETCH(bool, safe);
        QCOMPARE(SettingsFileGuard::isSafeValue(value), safe);
    }

    void onlyUnsafeLinesGo()
    {
        const QByteArray before("[General]\r\nIconThemeName=breeze\nBad=@Variant(\\0\\0\\0\\t\\0\\\n\\xff\\xff)\n; comment\nSize=@Variant(\\0\\0\\0\\x15\\0)\n"
                                "Other=x\n[Other]\nBad=a,\\\n @Variant(\\0\\0\\0\\t)\nKept=1");
        const QByteArray after("[General]\r\nIconThemeName=breeze\n; comment\nSize=@Variant(\\0\\0\\0\\x15\\0)\nOther=x\n[Other]\nKept=1");
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

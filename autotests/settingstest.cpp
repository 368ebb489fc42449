#include "settings/settings.h"
#include "settings/settingsfileguard.h"

#include "testhelpers.h"

#include <sys/stat.h>
#include <unistd.h>

class SettingsTest : public ZelTestCase
{
    Q_OBJECT

    static void writeSettingsFile(const QByteArray &text)
    {
        QFile::remove(settingsFilePath());
        writeFile(settingsFilePath(), text);
    }

private Q_SLOTS:
    void init()
    {
        QFile::setPermissions(settingsFilePath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QFile::remove(settingsFilePath());
    }

    // A file written by hand, or none, read in a fresh process: "Key=value" pairs as read back.
    void storedValues_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no file") << QByteArray() << "ScanIconNamesOnStart=0 ScanIconNamesIconSize=16 ApplicantsIconPathsIconSize=16 PreviewIconSizeEnable=0 "
                                                    "PreviewIconSize=256 SearchIconSuffixes=[png|jpg|jpeg|svg|svgz|xcf|xpm] UsingSystemIconsTheme=1 "
                                                    "ApplicantsExactMatchBySearchIconName=0 ShowRemarksInIconNames=0 ShowRemarksInFindedIcon=0 "
                                                    "ApplicationAttributeUse96Dpi=0 ApplicationAttributeUseHighDpiPixmaps=0 ApplicationAttributeEnableHighDpiScaling=0 "
                                                    "MainWindowGeometry=0 SplitterMainState=0 SplitterApplicantsRemarksState=0 IconPathSortSectionsPolicy=0,1,2,3,4";
        QTest::newRow("two sections") << QByteArray("IconPathSortSectionsPolicy=Size, Theme") << "IconPathSortSectionsPolicy=2,1";
        QTest::newRow("repeated and unknown") << QByteArray("IconPathSortSectionsPolicy=Name, Name, Foo") << "IconPathSortSectionsPolicy=4,4,0";
        QTest::newRow("wrong case") << QByteArray("IconPathSortSectionsPolicy=name") << "IconPathSortSectionsPolicy=0";
        QTest::newRow("empty list") << QByteArray("IconPathSortSectionsPolicy=@Invalid()") << "IconPathSortSectionsPolicy=0,1,2,3,4";
        QTest::newRow("one empty name") << QByteArray("IconPathSortSectionsPolicy=") << "IconPathSortSectionsPolicy=0";
        QTest::newRow("longer than five") << QByteArray("IconPathSortSectionsPolicy=Name, Size, Theme, Category, MainPath, Name")
                                          << "IconPathSortSectionsPolicy=4,2,1,3,0,4";
        // Any text but empty, 0 or false converts to true; a key of another group is not ours.
        QTest::newRow("garbled") << QByteArray("ScanIconNamesIconSize=banana\nPreviewIconSize=99999999999999999999\nScanIconNamesOnStart=maybe\n"
                                               "this line is garbage\n\xff\xfe=\xc3\x28\nMainWindowGeometry=@ByteArray(\n[Other]\nIconThemeName=elsewhere")
                                 << "ScanIconNamesIconSize=0 PreviewIconSize=0 ScanIconNamesOnStart=1 IconThemeName=" + Settings::systemIconThemeName();
    }

    void storedValues()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, expected);
        if (!stored.isEmpty()) {
            writeSettingsFile("[General]\n" + stored + "\n");
        }
        QCOMPARE(storedMismatches(expected), QStringList());
        QCOMPARE(QFile::exists(settingsFilePath()), !stored.isEmpty());
        // The theme keys default to what the toolkit had when the first store was made.
        QVERIFY(!stored.isEmpty() || runSettingsProbe("capture").value("stored") == QLatin1String("before"));
    }

    void guardedValues_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("safe");
        QTest::newRow("plain text") << QByteArray("breeze") << true;
        QTest::newRow("list") << QByteArray("png, svg, \"a,b\"") << true;
        QTest::newRow("byte array") << QByteArray("@ByteArray(\\x1\\0\\xff)") << true;
        QTest::newRow("variant") << QByteArray("@Variant(\\0\\0\\0\\x15\\0\\0\\0\\0\\x10)") << false;
        QTest::newRow("marker written as escapes") << QByteArray("\\x40Variant\\50\\0\\0\\0\\t)") << false;
        QTest::newRow("quote inside the marker") << QByteArray("@Var\"iant(\\0\\0\\0\\t\\0)") << false;
        QTest::newRow("escaped line end inside") << QByteArray("@Variant(\\\r\n\\0\\0\\0\\t)") << false;
        QTest::newRow("second element of a list") << QByteArray("a, @Variant(\\0\\0\\0\\v\\0)") << false;
        QTest::newRow("the word alone") << QByteArray("Variant(1)") << true;
    }

    void guardedValues()
    {
        QFETCH(QByteArray, value);
        QTEST(SettingsFileGuard::isSafeValue(value), "safe");
    }

    // Unsafe lines go in memory only: the file stays as it was until a save, which keeps
    // every other line. A list of 2^29 entries would make the toolkit throw, and the program end.
    void unsafeValuesDroppedInMemory()
    {
        const QByteArray stored(
            "[General]\r\nIconThemeName=kept\nBad=@Variant(\\0\\0\\0\\t\\0\\\n\\xff\\xff)\n; comment\nScanIconNamesIconSize=@Variant(\\0\\0\\0\\t\\x20\\0\\0\\0)\n"
            "Other=x\\\\\nBad=@Variant(\\0)\n[Other]\nBad=a,\\\n @Variant(\\0\\0\\0\\t)\nKept=1");
        // A line goes on over the next only where it ends in an odd count of backslashes.
        QCOMPARE(SettingsFileGuard::withoutUnsafeValues(stored),
                 QByteArray("[General]\r\nIconThemeName=kept\n; comment\nOther=x\\\\\n[Other]\nKept=1"));
        writeSettingsFile(stored);
        QCOMPARE(Settings().iconThemeName() + ' ' + QString::number(Settings().scanIconNamesIconSize()), "kept " + QString::number(Settings::defaultScanIconNamesIconSize()));
        QCOMPARE(readFile(settingsFilePath()), stored);
        Settings().setPreviewIconSize(48);
        QCOMPARE(storedMismatches("IconThemeName=kept PreviewIconSize=48"), QStringList());
        const QByteArray saved = readFile(settingsFilePath());
        QVERIFY(saved.contains("Kept=1") && saved.contains("Other=x") && !saved.contains("@Variant"));
    }

    // Files that would block or never end are never opened; a read-only one is read, not
    // changed. A child process, so that a hang fails by its time-out.
    void settingsFileNotUsable_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("pipe") << "pipe";
        QTest::newRow("link to /dev/zero") << "zero";
        QTest::newRow("read-only with a variant") << "read-only";
    }

    void settingsFileNotUsable()
    {
        QFETCH(QString, kind);
        const QString path = settingsFilePath();
        const QByteArray stored("[General]\nScanIconNamesIconSize=@Variant(\\0\\0\\0\\t\\0\\xff\\xff\\xff\\xff)\nPreviewIconSize=32\n");
        QDir().mkpath(QFileInfo(path).path());
        if (kind == QLatin1String("pipe")) {
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0644) == 0);
        } else if (kind == QLatin1String("zero")) {
            QVERIFY(QFile::link("/dev/zero", path));
        } else {
            writeSettingsFile(stored);
            QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner));
        }
        const auto values = runSettingsProbe();
        QVERIFY2(!values.contains("error"), qPrintable(values.value("error")));
        QCOMPARE(values.value("ScanIconNamesIconSize"), QString::number(Settings::defaultScanIconNamesIconSize()));
        QCOMPARE(values.value("PreviewIconSize"), kind == QLatin1String("read-only") ? QString("32") : QString("256"));
        QVERIFY(kind == QLatin1String("read-only") ? readFile(path) == stored : !QFileInfo(path).isFile());
    }

    // A real full disk, where this machine lets root mount one: a save that does not
    // fit keeps the old file whole and says so.
    void diskFull()
    {
        QTemporaryDir disk;
        if (geteuid() != 0 || QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", disk.path()}) != 0) {
            QSKIP("needs root and a tmpfs mount");
        }
        const QString path = disk.filePath(".qttest/config/zel-find-qicon/application.ini");
        QByteArray stored("[General]\nIconThemeName=kept\nBad=@Variant(\\0\\0\\0\\t\\0\\0\\0\\0)\n");
        for (int i = 0; i < 400; ++i) {
            stored += QByteArray("UserKey") + QByteArray::number(i) + "=value-padding-padding-padding\n";
        }
        writeFile(path, stored);
        writeFile(disk.filePath("filler"), QByteArray(QStorageInfo(disk.path()).bytesAvailable() - 8192, 'x'));
        const auto probe = runSettingsProbe("save", disk.path());
        const bool said = probe.contains("zel-find-qicon: the settings could not be saved to " + path + "; the file keeps what it held before.");
        const QByteArray after = readFile(path);
        const QStringList left = QDir(QFileInfo(path).path()).entryList(QDir::Files | QDir::Hidden);
        QProcess::execute("umount", {disk.path()});
        QVERIFY2(said, "no word said");
        QCOMPARE(after, stored);
        QCOMPARE(left, QStringList{"application.ini"});
    }
};

QTEST_MAIN(SettingsTest)

#include "settingstest.moc"

#include "settings/settings.h"
#include "settings/inicodec.h"

#include "testhelpers.h"

#include <csignal>
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
        QFile::remove(settingsFilePath() + ".lock");
        QDir().rmdir(settingsFilePath() + ".lock");
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

    // A value as the store's own reader takes it, against QSettings' own INI reader on the
    // same bytes wherever that reader is safe to run.
    void readValues_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QString>("read"); // "absent", or the type and text of the value
        QTest::newRow("plain text") << QByteArray("breeze ; a comment") << "QString:breeze";
        QTest::newRow("list") << QByteArray("png,  svg , \"a,b\" ,\" c\"") << "QStringList:png|svg|a,b| c";
        QTest::newRow("escapes") << QByteArray("a\\tb\\x41\\101\\\"\\q\\x") << "QString:a\tbAA\"";
        QTest::newRow("escaped blank kept") << QByteArray("x\\x20 ") << "QString:x ";
        QTest::newRow("byte array") << QByteArray("@ByteArray(\\x1\\0\\xff)") << "QByteArray:0100ff";
        QTest::newRow("doubled at") << QByteArray("@@at, b") << "QStringList:@at|b";
        QTest::newRow("invalid") << QByteArray("@Invalid()") << "Invalid:";
        QTest::newRow("quote inside") << QByteArray("a\"b;=c\"d") << "QString:ab;=cd";
        QTest::newRow("line going on in quotes") << QByteArray("\"a\nb\"") << "QString:a\nb";
        QTest::newRow("the word alone") << QByteArray("Variant(1)") << "QString:Variant(1)";
        QTest::newRow("variant") << QByteArray("@Variant(\\0\\0\\0\\x15\\0\\0\\0\\0\\x10)") << "absent";
        QTest::newRow("marker written as escapes") << QByteArray("\\x40Variant\\50\\0\\0\\0\\t)") << "absent";
        QTest::newRow("quotes inside the marker") << QByteArray("@Var\"ia\"nt(\\0\\0\\0\\t\\0)") << "absent";
        QTest::newRow("escaped line end inside") << QByteArray("@Variant(\\\r\n\\0\\0\\0\\t)") << "absent";
        QTest::newRow("second element of a list") << QByteArray("a, @Variant(\\0\\0\\0\\v\\0)") << "absent";
        QTest::newRow("date and time") << QByteArray("@DateTime(\\0)") << "absent";
    }

    void readValues()
    {
        QFETCH(QByteArray, value);
        QFETCH(QString, read);
        const QByteArray file = "; head\n[General]\nKey = " + value + "\nNext=1\n";
        const auto describe = [](const QSettings::SettingsMap &map) {
            if (!map.contains("Key")) {
                return QString("absent");
            }
            const QVariant v = map.value("Key");
            const QString text = v.userType() == QMetaType::QStringList ? v.toStringList().join('|')
                : v.userType() == QMetaType::QByteArray                 ? QString(v.toByteArray().toHex())
                                                                        : v.toString();
            return QString(QString(v.isValid() ? v.typeName() : "Invalid") + ':' + text);
        };
        const QSettings::SettingsMap ours = IniCodec::read(file);
        QCOMPARE(describe(ours), read);
        QCOMPARE(ours.value("Next"), QVariant("1"));
        if (read != QLatin1String("absent")) {
            QTemporaryDir dir;
            writeFile(dir.filePath("qt.ini"), file);
            QSettings qt(dir.filePath("qt.ini"), QSettings::IniFormat);
            QCOMPARE(ours.value("Key"), qt.value("Key"));
        }
    }

    // What the store writes, QSettings reads as it was given, and the other way round; the
    // store reads back its own file unchanged.
    void sameAsQSettingsBothWays()
    {
        QByteArray allBytes;
        for (int c = 0; c < 256; ++c) {
            allBytes += char(c);
        }
        const QSettings::SettingsMap map{{"Text", QVariant( " lead, trail ;=\"quoted\"\\ ")},
                                         {"Digits", QString(QString("a") + QChar(0) + "1f" + QChar(0x7f) + "9")},
                                         {"Unicode", QString::fromUtf8("Ä€\xf0\x9f\x98\x80")},
                                         {"At", "@Variant(not one)"},
                                         {"List", QStringList{"png", "a, b", "@at", QString(), " x"}},
                                         {"Empty", QStringList()},
                                         {"One", QStringList{"only"}},
                                         {"Bytes", allBytes},
                                         {"Flag", true},
                                         {"Size", 48},
                                         {"Other/Sub/Key", "deep"},
                                         {"General/Key", "a section of that name"},
                                         {QString::fromUtf8("Odd key ä€"), "x"}};
        // Compared as the store's getters convert them.
        const auto same = [](const QVariant &read, const QVariant &given) {
            const int type = given.userType();
            return type == QMetaType::QByteArray ? read.toByteArray() == given.toByteArray()
                : type == QMetaType::QStringList ? read.toStringList() == given.toStringList()
                                                 : read.toString() == given.toString();
        };
        QTemporaryDir dir;
        writeFile(dir.filePath("ours.ini"), IniCodec::write(map));
        QSettings qt(dir.filePath("ours.ini"), QSettings::IniFormat);
        const QSettings::SettingsMap back = IniCodec::read(readFile(dir.filePath("ours.ini")));
        {
            QSettings written(dir.filePath("qt.ini"), QSettings::IniFormat);
            for (auto it = map.cbegin(); it != map.cend(); ++it) {
                written.setValue(it.key(), it.value());
            }
        }
        const QSettings::SettingsMap fromQt = IniCodec::read(readFile(dir.filePath("qt.ini")));
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            QVERIFY2(same(qt.value(it.key()), it.value()) && same(back.value(it.key()), it.value()) && same(fromQt.value(it.key()), it.value()), qPrintable(it.key()));
        }
        QCOMPARE(qt.allKeys().size(), map.size());
        QCOMPARE(IniCodec::read(IniCodec::write(back)), back);
    }

    // Unsafe values are left out in memory only: the file stays as it was until a save,
    // which keeps every other line. A list of 2^29 entries would make the toolkit throw,
    // and the program end. A line goes on over the next only after an odd count of backslashes.
    void unsafeValuesDroppedInMemory()
    {
        const QByteArray stored(
            "[General]\r\nIconThemeName=kept\nBad=@Variant(\\0\\0\\0\\t\\0\\\n\\xff\\xff)\n; comment\nScanIconNamesIconSize=@Variant(\\0\\0\\0\\t\\x20\\0\\0\\0)\n"
            "Other=x\\\\\nBad2=@Variant(\\0)\n[Other]\nBad=a,\\\n@Variant(\\0\\0\\0\\t)\nKept=1");
        QCOMPARE(QStringList(IniCodec::read(stored).keys()), QStringList({"IconThemeName", "Other", "Other/Kept"}));
        QCOMPARE(IniCodec::read(stored).value("Other"), QVariant("x\\"));
        writeSettingsFile(stored);
        QCOMPARE(Settings().iconThemeName() + ' ' + QString::number(Settings().scanIconNamesIconSize()), "kept " + QString::number(Settings::defaultScanIconNamesIconSize()));
        QCOMPARE(readFile(settingsFilePath()), stored);
        Settings().setPreviewIconSize(48);
        QCOMPARE(storedMismatches("IconThemeName=kept PreviewIconSize=48"), QStringList());
        const QByteArray saved = readFile(settingsFilePath());
        QVERIFY(saved.contains("Kept=1") && saved.contains("Other=x") && !saved.contains("@Variant"));
    }

    // Files that would block or never end are never opened, nor a lock path that is no
    // regular file, which would have the store wait for ever; a read-only file is read,
    // not changed; a save needs no temporary folder. A save, then a read, each in a child
    // process, so that a hang fails by its time-out; "-" where the store says nothing.
    void settingsFileNotUsable_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("preview"); // read back after the save
        QTest::addColumn<QString>("said");
        QTest::newRow("pipe") << "pipe" << "256" << "is not a regular file";
        QTest::newRow("link to /dev/zero") << "zero" << "256" << "is not a regular file";
        QTest::newRow("read-only with a variant") << "read-only" << "32" << "-";
        QTest::newRow("lock path a folder") << "lock folder" << "32" << "lock path";
        QTest::newRow("lock path a pipe") << "lock pipe" << "32" << "lock path";
        QTest::newRow("no temporary folder") << "no temp" << "48" << "-";
    }

    void settingsFileNotUsable()
    {
        QFETCH(QString, kind);
        QFETCH(QString, said);
        const QString path = settingsFilePath();
        QByteArray stored("[General]\nScanIconNamesIconSize=@Variant(\\0\\0\\0\\t\\0\\xff\\xff\\xff\\xff)\nPreviewIconSize=32\n");
        for (int i = 0; i < 300; ++i) {
            stored += "UserKey" + QByteArray::number(i) + "=value\n";
        }
        QDir().mkpath(QFileInfo(path).path());
        if (kind == QLatin1String("pipe")) {
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0644) == 0);
        } else if (kind == QLatin1String("zero")) {
            QVERIFY(QFile::link("/dev/zero", path));
        } else {
            writeSettingsFile(stored);
        }
        QVERIFY(kind != QLatin1String("lock folder") || QDir().mkpath(path + ".lock"));
        QVERIFY(kind != QLatin1String("lock pipe") || ::mkfifo(QFile::encodeName(path + ".lock").constData(), 0644) == 0);
        const QMap<QString, QString> saving =
            kind == QLatin1String("read-only") ? QMap<QString, QString>() : runSettingsProbe("save", QString(), kind == QLatin1String("no temp") ? "TMPDIR=" + path : QString());
        QVERIFY2(!saving.contains("error"), "the save did not end");
        QCOMPARE(saving.keys().filter("zel-find-qicon: ").filter(said).size(), said == QLatin1String("-") ? 0 : 1);
        QVERIFY2(said != QLatin1String("-") || saving.keys().filter("zel-find-qicon: ").isEmpty(), qPrintable(saving.keys().join('\n')));
        const auto values = runSettingsProbe();
        QVERIFY2(!values.contains("error"), qPrintable(values.value("error")));
        QCOMPARE(values.value("ScanIconNamesIconSize"), QString::number(Settings::defaultScanIconNamesIconSize()));
        QTEST(values.value("PreviewIconSize"), "preview");
        // The user's own lines all stay; a file that is none stays what it is.
        QVERIFY(kind.startsWith("p") || kind.startsWith("z") ? !QFileInfo(path).isFile() : readFile(path).contains("UserKey299=value\n"));
        QVERIFY(!kind.startsWith("lock") || readFile(path) == stored);
    }

    // The program ended by signals at any moment, again and again, a save of 10 MB
    // included: its settings file stays whole and nothing is left beside it; a signal
    // closes it as its window does, saving its state.
    void signalsDuringTheSave()
    {
        if (qEnvironmentVariableIsEmpty("ZEL_HOSTILE_LARGE")) {
            QSKIP("only under the hostile label");
        }
        QTemporaryDir home;
        const QString folder = home.filePath(".config/zel-find-qicon");
        QByteArray stored("[General]\n");
        for (int i = 0; i < 200000; ++i) {
            stored.append("UserKey").append(QByteArray::number(i)).append("=value-padding-padding-padding-padding\n");
        }
        for (int run = 0; run < 6; ++run) {
            // The last run, on a small file, waits for the window: ended, it must have
            // saved as it closed.
            writeFile(folder + "/application.ini", run < 5 ? stored : QByteArray("[General]\nUserKey199999=value-padding-padding-padding-padding\n"));
            QProcess program;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert("HOME", home.path());
            environment.insert("XDG_CONFIG_HOME", home.filePath(".config"));
            program.setProcessEnvironment(environment);
            program.start(ZEL_FIND_QICON_BINARY, QStringList());
            QVERIFY(program.waitForStarted(10000));
            QTest::qWait(run < 5 ? run * 150 : 5000);
            QDeadlineTimer limit(60000);
            while (!program.waitForFinished(5) && !limit.hasExpired()) {
                ::kill(pid_t(program.processId()), SIGTERM);
            }
            QVERIFY(program.state() == QProcess::NotRunning);
            QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"application.ini"});
            const QSettings::SettingsMap saved = IniCodec::read(readFile(folder + "/application.ini"));
            QCOMPARE(saved.value("UserKey199999"), QVariant("value-padding-padding-padding-padding"));
            QVERIFY(run < 5 || saved.contains("MainWindowGeometry"));
        }
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
        const bool said = !probe.keys()
                               .filter(QRegularExpression("^zel-find-qicon: the settings could not be saved to " + QRegularExpression::escape(path)
                                                          + " \\(.+\\); the file keeps what it held before.$"))
                               .isEmpty();
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

// Bad input and faults in one place: odd names, broken images, broken theme indexes,
// unreadable and cyclic folders, scans cut short, garbled settings. None of them may
// crash or hang the program, and none may lose what the user stored.
#include "catalogue/iconsmodel.h"
#include "testhelpers.h"
#include "catalogue/scaniconnamesthread.h"
#include "applicants/applicantsindex.h"


#include <QDir>

#include <sys/stat.h>
#include <zlib.h>
#include <unistd.h>

namespace
{
IconRemarkState maximum(const IconRemarks &remarks)
{
    IconRemarkState result = NoRemark;
    for (const IconRemark &remark : remarks) {
        result = qMax(result, remark.first);
    }
    return result;
}

QString outcome(const QString &name, const QString &found, bool nullIcon)
{
    if (nullIcon) {
        return QStringLiteral("Failed find icon by name \"%1\", on current icon theme!").arg(name);
    }
    if (found == name) {
        return QStringLiteral("Find icon by name \"%1\" done.").arg(name);
    }
    return QStringLiteral("Find icon by name \"%1\" done. Finded applicant icon by name: \"%2\".").arg(name, found);
}

// Applies a theme of its own for the length of one test and puts the window's back after.
class ThemeScope
{
public:
    explicit ThemeScope(const FixtureTheme &theme, const QStringList &fallbackPaths = {})
        : m_searchPaths(QIcon::themeSearchPaths())
        , m_fallbackPaths(QIcon::fallbackSearchPaths())
        , m_name(QIcon::themeName())
        , m_fallbackName(QIcon::fallbackThemeName())
    {
        QIcon::setThemeSearchPaths({theme.searchPath()});
        QIcon::setFallbackSearchPaths(fallbackPaths);
        QIcon::setThemeName(theme.name());
        QIcon::setFallbackThemeName(theme.name());
    }
    ~ThemeScope()
    {
        QIcon::setThemeSearchPaths(m_searchPaths);
        QIcon::setFallbackSearchPaths(m_fallbackPaths);
        QIcon::setThemeName(m_name);
        QIcon::setFallbackThemeName(m_fallbackName);
    }

private:
    QStringList m_searchPaths;
    QStringList m_fallbackPaths;
    QString m_name;
    QString m_fallbackName;
};
}

class HostileInputTest : public ZelTestCase
{
    Q_OBJECT

    FixtureTheme m_fixture;

    static void startScan(MainWindow *window)
    {
        windowChild<QPushButton>(window, "pushButtonScanIconNamesStart")->click();
    }

    static void waitForScanEnd(MainWindow *window)
    {
        QTRY_VERIFY_WITH_TIMEOUT(statusText(window).startsWith(QLatin1String("Scan icon names done"))
                                     || statusText(window).startsWith(QLatin1String("Scan icon names stoped")),
                                 30000);
        QTRY_VERIFY(!QGuiApplication::overrideCursor());
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_fixture.addStandardIcons();
        storeThemeSettings(m_fixture);
    }

    void oddNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("found");
        QTest::addColumn<bool>("nullIcon");
        const QString iconFile = m_fixture.themePath() + QStringLiteral("/16x16/apps/four-sizes.png");
        QTest::newRow("empty") << QString() << QString() << true;
        QTest::newRow("5000 characters") << QString(5000, QLatin1Char('a')) << QString() << true;
        QTest::newRow("5000 characters of dashes") << QStringLiteral("four-sizes") + QString(2500, QLatin1Char('-')) + QString(2489, QLatin1Char('b'))
                                                   << QStringLiteral("four-sizes") << false;
        QTest::newRow("cyrillic") << QStringLiteral("значок-папки") << QString() << true;
        QTest::newRow("han and an emoji") << QStringLiteral("图标-\U0001F600") << QString() << true;
        // The toolkit opens an absolute path as a file: an icon, but one without a name.
        QTest::newRow("absolute path") << iconFile << QString() << false;
        QTest::newRow("slash") << QStringLiteral("16x16/apps/four-sizes") << QString() << true;
        QTest::newRow("dot dot") << QStringLiteral("..") << QString() << true;
        QTest::newRow("climbing") << QStringLiteral("../zelfixture/16x16/apps/four-sizes") << QString() << true;
        QTest::newRow("nul") << QStringLiteral("four-sizes") + QChar(0) + QStringLiteral("x") << QString() << true;
        QTest::newRow("placeholder") << QStringLiteral("%1") << QString() << true;
        QTest::newRow("placeholders and a dash") << QStringLiteral("four-sizes-%2%1") << QStringLiteral("four-sizes") << false;
    }

    void oddNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, found);
        QFETCH(bool, nullIcon);
        MainWindow window;
        window.show();
        findByTyping(&window, name);
        QTRY_VERIFY(!QGuiApplication::overrideCursor());
        QCOMPARE(windowChild<QLabel>(&window, "labelFindedIconName")->text(), found);
        if (!name.isEmpty()) {
            QCOMPARE(statusText(&window), outcome(name, found, nullIcon));
        }
        // The name goes into the remark text as it stands: no placeholder in it is filled.
        const IconRemarks remarks = window.findChild<IconsModel *>()->iconRemarks(name);
        QVERIFY(!remarks.isEmpty());
        if (found.isEmpty()) {
            QCOMPARE(remarks.size(), 1);
            QCOMPARE(remarks.first().second, QStringLiteral("Icon with name %1 not found on current theme").replace(QStringLiteral("%1"), name));
        } else {
            QVERIFY(remarks.last().second.contains(name));
        }
    }

    // A PNG of a few bytes whose header, checksum included, claims 100000 by 100000 pixels.
    static QByteArray pngClaiming(quint32 side)
    {
        QByteArray png = FixtureTheme::pngBytes(16, 16, Qt::red);
        for (int at : {16, 20}) {
            for (int i = 0; i < 4; ++i) {
                png[at + i] = char(side >> (24 - 8 * i));
            }
        }
        const quint32 crc = crc32(0, reinterpret_cast<const Bytef *>(png.constData() + 12), 17);
        for (int i = 0; i < 4; ++i) {
            png[29 + i] = char(crc >> (24 - 8 * i));
        }
        return png;
    }

    // An SVG whose gzip stream inflates to 256 MiB.
    static QByteArray svgzBomb()
    {
        z_stream stream{};
        deflateInit2(&stream, 1, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
        QByteArray spaces(1 << 20, ' ');
        QByteArray out;
        QByteArray chunk(1 << 16, Qt::Uninitialized);
        for (int i = 0; i < 256; ++i) {
            stream.next_in = reinterpret_cast<Bytef *>(spaces.data());
            stream.avail_in = uInt(spaces.size());
            do {
                stream.next_out = reinterpret_cast<Bytef *>(chunk.data());
                stream.avail_out = uInt(chunk.size());
                deflate(&stream, i == 255 ? Z_FINISH : Z_NO_FLUSH);
                out.append(chunk.constData(), chunk.size() - int(stream.avail_out));
            } while (stream.avail_out == 0);
        }
        deflateEnd(&stream);
        return out;
    }

    void brokenImages_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("refused"); // never handed to a decoder
        const QByteArray png = FixtureTheme::pngBytes(16, 16, Qt::red);
        const QByteArray svg = FixtureTheme::svgBytes(Qt::red);
        QTest::newRow("empty png") << "16x16/apps/broken.png" << QByteArray() << false;
        QTest::newRow("truncated png") << "16x16/apps/broken.png" << png.left(png.size() / 2) << false;
        QTest::newRow("png header only") << "16x16/apps/broken.png" << png.left(8) << false;
        QTest::newRow("corrupt png") << "16x16/apps/broken.png" << QByteArray(png.size(), '\x55') << false;
        QTest::newRow("empty svg") << "scalable/apps/broken.svg" << QByteArray() << false;
        QTest::newRow("truncated svg") << "scalable/apps/broken.svg" << svg.left(svg.size() / 2) << false;
        QTest::newRow("corrupt svg") << "scalable/apps/broken.svg" << QByteArray("<svg><<<&&&\xff\xfe") << false;
        QTest::newRow("empty xpm") << "16x16/apps/broken.xpm" << QByteArray() << false;
        QTest::newRow("truncated xpm") << "16x16/apps/broken.xpm" << QByteArray("/* XPM */\nstatic char *x[] = {\"99999 99999 1 1\", \". c #ff0000\", \"..") << true;
        QTest::newRow("png claiming 100000x100000") << "16x16/apps/broken.png" << pngClaiming(100000) << true;
        QTest::newRow("svgz inflating to 256 MiB") << "scalable/apps/broken.svgz" << svgzBomb() << true;
        QTest::newRow("pipe") << "16x16/apps/broken.png" << QByteArray("pipe") << true;
    }

    void brokenImages()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, refused);
        QTemporaryDir dir;
        FixtureTheme theme(QStringLiteral("zelbroken"), dir.path());
        theme.addDirectory(QStringLiteral("16x16/apps"), 16);
        theme.addDirectory(QStringLiteral("scalable/apps"), 16, QStringLiteral("Scalable"));
        if (bytes == "pipe") {
            theme.addFile(QStringLiteral("16x16/apps/placeholder"), QByteArray());
            QVERIFY(::mkfifo(QFile::encodeName(theme.themePath() + QLatin1Char('/') + file).constData(), 0644) == 0);
        } else {
            theme.addFile(file, bytes);
        }
        theme.writeIndex();
        ThemeScope scope(theme);
        IconsModel model(nullptr);
        QIcon::setThemeName(theme.name());
        model.addIcon(QStringLiteral("broken"));
        const IconRemarks cold = model.iconRemarks(QStringLiteral("broken"));
        model.loadAllIcons();
        const IconRemarks loaded = model.iconRemarks(QStringLiteral("broken"));
        // The file is listed, so the theme names the icon; no size of it yields an image.
        QCOMPARE(maximum(cold), ErrorRemark);
        QCOMPARE(loaded, cold);
        if (refused) {
            QCOMPARE(model.decorationIcon(QStringLiteral("broken")).cacheKey(), model.decorationIcon(QString()).cacheKey());
        }
        QVERIFY(!model.getMaxRemarkDialogIcon(QStringLiteral("broken")).isNull() || QIcon::fromTheme(QStringLiteral("dialog-error")).isNull());
    }

    void brokenIndexes_data()
    {
        QTest::addColumn<QString>("index");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("found");
        const QString directories = QStringLiteral("[16x16/apps]\nSize=16\nType=Fixed\n");
        QTest::newRow("inherits itself") << QStringLiteral("[Icon Theme]\nName=A\nInherits=zelhostile\nDirectories=16x16/apps\n") + directories << "absent"
                                         << false;
        QTest::newRow("inherits a cycle") << QStringLiteral("[Icon Theme]\nName=A\nInherits=zelother\nDirectories=16x16/apps\n") + directories << "absent"
                                          << false;
        QTest::newRow("missing parent") << QStringLiteral("[Icon Theme]\nName=A\nInherits=nowhere,,\nDirectories=16x16/apps\n") + directories << "hostile"
                                        << true;
        QTest::newRow("undeclared directory") << QStringLiteral("[Icon Theme]\nName=A\nDirectories=\n") << "hostile" << false;
        // A directory without its Size is no directory to the toolkit.
        QTest::newRow("directory declared without a section") << QStringLiteral("[Icon Theme]\nDirectories=16x16/apps,nowhere\n") << "hostile" << false;
        QTest::newRow("garbage lines") << QStringLiteral(
            "\xff\xfegarbage\n[Icon Theme]\n=\nno equals sign\nDirectories=16x16/apps\n[16x16/apps]\nSize=16\nType=Wobbly\n%1%2\n[broken\n")
                                       << "hostile" << true;
        QTest::newRow("huge numbers") << QStringLiteral(
            "[Icon Theme]\nDirectories=16x16/apps\n[16x16/apps]\nSize=99999999999999\nScale=-7\nType=Threshold\nThreshold=-1\n")
                                      << "hostile" << true;
    }

    void brokenIndexes()
    {
        QFETCH(QString, index);
        QFETCH(QString, name);
        QFETCH(bool, found);
        QTemporaryDir dir;
        FixtureTheme theme(QStringLiteral("zelhostile"), dir.path());
        theme.addPng(QStringLiteral("16x16/apps"), QStringLiteral("hostile"), 16);
        theme.addFile(QStringLiteral("index.theme"), index.toUtf8());
        FixtureTheme other(QStringLiteral("zelother"), dir.path());
        other.addFile(QStringLiteral("index.theme"), QByteArray("[Icon Theme]\nName=B\nInherits=zelhostile\nDirectories=\n"));
        ThemeScope scope(theme);

        MainWindow window;
        QIcon::setThemeSearchPaths({theme.searchPath()});
        QIcon::setThemeName(theme.name());
        findByTyping(&window, name);
        QTRY_VERIFY(!QGuiApplication::overrideCursor());
        QCOMPARE(windowChild<QLabel>(&window, "labelFindedIconName")->text(), found ? name : QString());
        const IconRemarks remarks = window.findChild<IconsModel *>()->iconRemarks(name);
        QCOMPARE(remarks.isEmpty(), false);
        QCOMPARE(maximum(remarks) == ErrorRemark, !found);
    }

    void staleCache_data()
    {
        QTest::addColumn<QByteArray>("cache");
        QTest::newRow("garbage") << QByteArray(64, '\x7f');
        QTest::newRow("empty") << QByteArray();
        // Version 1.0 with hash and directory offsets that point past the end.
        QTest::newRow("offsets past the end") << QByteArray::fromHex(
            "00010000"
            "7fffff00"
            "7ffffff0");
        QTest::newRow("header only") << QByteArray::fromHex("00010000");
    }

    void staleCache()
    {
        QFETCH(QByteArray, cache);
        QTemporaryDir dir;
        FixtureTheme theme(QStringLiteral("zelcached"), dir.path());
        theme.addDirectory(QStringLiteral("16x16/apps"), 16);
        theme.addPng(QStringLiteral("16x16/apps"), QStringLiteral("cached"), 16);
        theme.writeIndex();
        // Written last, so that it is newer than every folder and the toolkit trusts it.
        QTest::qWait(20);
        theme.addFile(QStringLiteral("icon-theme.cache"), cache);
        ThemeScope scope(theme);
        IconsModel model(nullptr);
        QIcon::setThemeName(theme.name());
        for (const QString &name : {QStringLiteral("cached"), QStringLiteral("absent")}) {
            const IconRemarks remarks = model.iconRemarks(name);
            QVERIFY(!remarks.isEmpty());
        }
    }

    void unreadableAndCyclicFolders()
    {
        QTemporaryDir dir;
        FixtureTheme theme(QStringLiteral("zelwalk"), dir.path());
        theme.addPng(QStringLiteral("16x16/apps"), QStringLiteral("reachable"), 16);
        theme.addPng(QStringLiteral("locked/apps"), QStringLiteral("locked-away"), 16);
        const QString t = theme.themePath() + '/';
        QVERIFY(QFile::link(theme.themePath(), t + "16x16/apps/loop") && QFile::link(".", t + "16x16/self"));
        QVERIFY(QFile::link(t + "two", t + "one") && QFile::link(t + "one", t + "two"));
        const QString locked = theme.themePath() + QStringLiteral("/locked");
        const bool lockable = geteuid() != 0;
        if (lockable) {
            QVERIFY(QFile::setPermissions(locked, QFileDevice::Permissions()));
        }

        ScanIconNamesThread thread;
        thread.setDirPaths({theme.searchPath()});
        thread.setSearchIconSuffixes({QStringLiteral("png")});
        QStringList names;
        connect(
            &thread,
            &ScanIconNamesThread::iconNameFinded,
            this,
            [&names](const QString &name) {
                names.append(name);
            },
            Qt::DirectConnection);
        thread.start();
        // A walk this small may end before any wait on a signal could begin.
        QVERIFY(thread.wait(30000));
        if (lockable) {
            QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        }
        QVERIFY(names.contains(QStringLiteral("reachable")));
        QCOMPARE(names.contains(QStringLiteral("locked-away")), !lockable);
        if (!lockable) {
            qInfo("running as root: the locked folder was readable, so only the cycles were checked");
        }
    }

    void scanStartedAndStoppedFiftyTimes()
    {
        MainWindow window;
        window.show();
        for (int cycle = 0; cycle < 50; ++cycle) {
            startScan(&window);
            windowChild<QPushButton>(&window, "pushButtonScanIconNamesStop")->click();
            waitForScanEnd(&window);
        }
        QVERIFY(!windowChild<QPushButton>(&window, "pushButtonScanIconNamesStart")->isHidden());
        QVERIFY(windowChild<QPushButton>(&window, "pushButtonScanIconNamesStop")->isHidden());
        // Still able to scan to the end.
        startScan(&window);
        QTRY_VERIFY_WITH_TIMEOUT(statusText(&window).startsWith(QLatin1String("Scan icon names done")), 30000);
    }

    void garbledSettings_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("wrong types") << QByteArray(
            "[General]\nScanIconNamesIconSize=big\nPreviewIconSize=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x18)\nScanIconNamesOnStart=perhaps\n"
            "SearchIconSuffixes=@ByteArray(\\x1\\x2)\nIconPathSortSectionsPolicy=Nonsense, Size\n");
        QTest::newRow("huge numbers") << QByteArray(
            "[General]\nScanIconNamesIconSize=99999999999999999999\nApplicantsIconPathsIconSize=-2147483649\nPreviewIconSize=2147483647\n");
        QTest::newRow("not utf-8") << QByteArray("[General]\nIconThemeName=\xff\xfe\xc3\x28\nSearchIconSuffixes=p\xe9ng, svg\n\xff\xff=\x80\n");
        // A list of 2^29 entries: the toolkit cannot reserve it, throws, and the program would end.
        QTest::newRow("variant list too long to reserve")
            << QByteArray("[General]\nScanIconNamesIconSize=@Variant(\\0\\0\\0\\t\\x20\\0\\0\\0)\nPreviewIconSize=32\n");
        QTest::newRow("broken lines") << QByteArray("[General\n=\nno equals sign\n[]\n[[General]]\nkey\\=x=1\n");
    }

    void garbledSettings()
    {
        QFETCH(QByteArray, file);
        const QString path = settingsFilePath();
        QDir().mkpath(QFileInfo(path).path());
        QFile::remove(path);
        // Before any section, so that a broken section header cannot carry it off.
        FixtureTheme::writeFile(path, "UserNote=kept\n" + file);
        QMap<QString, QVariant> before;
        {
            Settings settings;
            const QStringList keys = settings.allKeys();
            for (const QString &key : keys) {
                before.insert(key, settings.value(key));
            }
        }
        {
            MainWindow window;
            window.show();
            findByTyping(&window, QStringLiteral("four-sizes"));
            QTRY_VERIFY(!QGuiApplication::overrideCursor());
            // The window saves its layout when it goes; the rest of the file must survive that.
        }
        Settings settings;
        QCOMPARE(settings.value(QStringLiteral("UserNote")).toString(), QStringLiteral("kept"));
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            if (it.key().contains(QLatin1String("Geometry")) || it.key().contains(QLatin1String("State"))) {
                continue;
            }
            QCOMPARE(settings.value(it.key()), it.value());
        }
        storeThemeSettings(m_fixture);
    }

    // Trees a hostile theme can build cheaply, run under the hostile label: folders linked
    // as 18 levels of two links each (2^19 - 1 paths to walk), and a link to the root.
    void largeTrees()
    {
        if (qEnvironmentVariableIsEmpty("ZEL_HOSTILE_LARGE")) {
            QSKIP("only under the hostile label");
        }
        QTemporaryDir dir;
        const int levels = 18;
        for (int level = 0; level <= levels; ++level) {
            const QString folder = dir.filePath(QString("l%1").arg(level));
            FixtureTheme::writeFile(folder + "/dag-icon.png", QByteArray());
            for (const char *link : {"/a", "/b"}) {
                QVERIFY(level == levels || QFile::link(QString("../l%1").arg(level + 1), folder + link));
            }
        }
        ApplicantsIndex index;
        QStringList paths;
        index.collect(dir.filePath("l0"), {"png"}, ApplicantsIndex::applicantBaseNames("dag-icon"), paths);
        QVERIFY(index.directoryReads() <= levels + 1);
        QCOMPARE(paths.size(), (2 << levels) - 1);

        QVERIFY(QFile::link("/", dir.filePath("l0/root")));
        ScanIconNamesThread thread;
        thread.setDirPaths({dir.filePath("l0")});
        QStringList names;
        collectBatches(&thread, &names);
        thread.start();
        QTest::qWait(300);
        thread.stop();
        QVERIFY(thread.wait(1000));
        QVERIFY(names.contains("dag-icon"));
    }
};

QTEST_MAIN(HostileInputTest)

#include "hostileinputtest.moc"

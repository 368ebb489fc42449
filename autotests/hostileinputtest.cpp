// Bad input in one place: broken and hostile images, and trees a hostile theme can build
// cheaply. None of them may crash or hang the program.
#include "applicants/applicantscollector.h"
#include "applicants/applicantsindex.h"
#include "catalogue/iconfileguard.h"
#include "catalogue/iconsmodel.h"
#include "catalogue/scaniconnamesthread.h"
#include "testhelpers.h"

#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

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
}

class HostileInputTest : public ZelTestCase
{
    Q_OBJECT

    FixtureTheme m_fixture;

private Q_SLOTS:
    void initTestCase()
    {
        m_fixture.addStandardIcons();
        storeThemeSettings(m_fixture);
    }

    // A test that applies a theme of its own leaves it behind.
    void init()
    {
        m_fixture.apply();
    }

    // A PNG of a few bytes whose header, checksum included, claims 100000 by 100000 pixels.
    static QByteArray pngClaiming(quint32 side)
    {
        QByteArray png = pngBytes(16, 16, Qt::red);
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
        QTemporaryDir dir;
        gzFile file = gzopen(QFile::encodeName(dir.filePath("bomb.svgz")).constData(), "wb1");
        const QByteArray spaces(1 << 20, ' ');
        for (int i = 0; i < 256; ++i) {
            gzwrite(file, spaces.constData(), unsigned(spaces.size()));
        }
        gzclose(file);
        return readFile(dir.filePath("bomb.svgz"));
    }

    void brokenImages_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("refused"); // by the guard, before any decoder sees it
        const QByteArray png = pngBytes(16, 16, Qt::red);
        const QByteArray svg = svgBytes(Qt::red);
        QTest::newRow("empty png") << "16x16/apps/broken.png" << QByteArray() << false;
        QTest::newRow("truncated png") << "16x16/apps/broken.png" << png.left(png.size() / 2) << false;
        QTest::newRow("png header only") << "16x16/apps/broken.png" << png.left(8) << false;
        QTest::newRow("corrupt png") << "16x16/apps/broken.png" << QByteArray(png.size(), '\x55') << false;
        QTest::newRow("empty svg") << "scalable/apps/broken.svg" << QByteArray() << false;
        QTest::newRow("truncated svg") << "scalable/apps/broken.svg" << svg.left(svg.size() / 2) << false;
        QTest::newRow("corrupt svg") << "scalable/apps/broken.svg" << QByteArray("<svg><<<&&&\xff\xfe") << false;
        QTest::newRow("empty xpm") << "16x16/apps/broken.xpm" << QByteArray() << false;
        QTest::newRow("truncated xpm") << "16x16/apps/broken.xpm" << QByteArray("/* XPM */\nstatic char *x[] = {\"99999 99999 1 1\", \". c #ff0000\", \"..")
                                       << false;
        QTest::newRow("png claiming 100000x100000") << "16x16/apps/broken.png" << pngClaiming(100000) << true;
        QTest::newRow("svgz inflating to 256 MiB") << "scalable/apps/broken.svgz" << svgzBomb() << true;
        QTest::newRow("pipe") << "16x16/apps/broken.png" << QByteArray("pipe") << true;
    }

    void brokenImages()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, refused);
        FixtureTheme theme("zelbroken");
        theme.addDirectory("16x16/apps", 16);
        theme.addDirectory("scalable/apps", 16, "Type=Scalable\nMinSize=8\nMaxSize=512");
        if (bytes == "pipe") {
            QCOMPARE(::mkfifo(QFile::encodeName(theme.themePath + '/' + file).constData(), 0644), 0);
        } else {
            theme.addFile(file, bytes);
        }
        theme.writeIndex();
        IconsModel model(nullptr);
        // The model's loader resets the theme name when it is made.
        theme.apply();
        model.addIcon("broken");
        const IconRemarks cold = model.iconRemarks("broken");
        model.loadAllIcons();
        // The file is listed, so the theme names the icon; no size of it yields an image.
        QCOMPARE(maximum(cold), ErrorRemark);
        QCOMPARE(model.iconRemarks("broken"), cold);
        QVERIFY(!refused || model.decorationIcon("broken").cacheKey() == model.decorationIcon(QString()).cacheKey());
        QCOMPARE(IconFileGuard::isDecodable(theme.themePath + '/' + file), !refused);
    }

    // Trees a hostile theme can build cheaply, run under the hostile label: folders linked
    // as 18 levels of two links each (2^19 - 1 paths to walk), and a link to the root, which
    // only Stop can end in time.
    void largeTrees()
    {
        if (qEnvironmentVariableIsEmpty("ZEL_HOSTILE_LARGE")) {
            QSKIP("only under the hostile label");
        }
        QTemporaryDir dir;
        const int levels = 18;
        QVERIFY(buildLinkDag(dir.path(), levels));
        ApplicantsIndex index;
        QStringList paths;
        index.collect(dir.filePath("l0"), {"png"}, ApplicantsIndex::applicantBaseNames("dag-icon"), paths);
        QVERIFY(index.directoryReads() <= levels + 1);
        QCOMPARE(paths.size(), (2 << levels) - 1);

        // A find's walk there is stopped by the next request or by its owner going.
        ApplicantsCollector collector;
        QSignalSpy collected(&collector, &ApplicantsCollector::collected);
        collector.collect({dir.filePath("l0")}, {"png"}, "dag-icon");
        QVERIFY(collected.wait(20000));
        QCOMPARE(collected.first().at(1).toStringList().size(), (2 << levels) - 1);
        QVERIFY(QFile::link("/", dir.filePath("l0/root")));
        collector.collect({dir.filePath("l0")}, {"png"}, "no-such-icon");
        QTest::qWait(300);
        collector.collect({dir.filePath("l9")}, {"png"}, "dag-icon");
        QVERIFY(collected.wait(20000));
        QCOMPARE(collected.size(), 2);
        QCOMPARE(collected.last().at(0).toULongLong(), collector.request());
        collector.collect({dir.filePath("l0")}, {"png"}, "no-such-icon");
        QTest::qWait(300);
        collector.stop();
        QVERIFY(collector.wait(1000));

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

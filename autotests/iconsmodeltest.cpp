#include "catalogue/iconexamination.h"
#include "catalogue/iconfileguard.h"
#include "catalogue/iconsmodel.h"
#include "catalogue/iconsmodelloader.h"
#include "testhelpers.h"

#include <KLocalizedString>

#include <sys/stat.h>

class IconsModelTest : public QObject
{
    Q_OBJECT

public:
    // The German catalog of the build tree, for the examinations' language.
    static void initMain()
    {
        prepareTestEnvironment();
        qputenv("XDG_DATA_DIRS", ZEL_BUILD_CATALOG_DATA_DIR ":/usr/share");
    }

private:

    FixtureTheme m_theme;

    static QString describe(const IconRemarks &remarks)
    {
        QStringList lines;
        for (const IconRemark &remark : remarks) {
            lines.append(QString::number(remark.first) + ':' + remark.second);
        }
        return lines.join('\n');
    }

    static QStringList missing(const QString &name, const QList<int> &sizes, const QString &inUse = QString())
    {
        return missingSizes(name, sizes, inUse).replaceInStrings(QRegularExpression("^"), "1:");
    }

    static bool isPlaceholder(const QIcon &icon)
    {
        const QList<QSize> sizes = icon.availableSizes();
        return icon.name().isEmpty() && sizes.size() == 9 && sizes.first() == QSize(16, 16) && sizes.last() == QSize(256, 256)
            && icon.pixmap(QSize(16, 16)).toImage().pixelColor(8, 8).alpha() == 0;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_theme.addStandardIcons();
    }

    void init()
    {
        // Every loader resets the theme name when it is made, so each test applies it after.
        IconsModelLoader loader(nullptr);
        m_theme.apply();
    }

    void remarks_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<QStringList>("expected");
        const QList<int> all = {16, 22, 32, 48, 64, 96, 128, 192, 256};
        for (bool loaded : {false, true}) {
            const char *tag = loaded ? "loaded" : "not loaded";
            QTest::addRow("absent, %s", tag) << "absent" << loaded << QStringList{"3:Icon with name absent not found on current theme"};
            QTest::addRow("empty, %s", tag) << QString() << loaded << QStringList{"3:Icon with name  not found on current theme"};
            QTest::addRow("complete, %s", tag) << "complete" << loaded << QStringList();
            QTest::addRow("four sizes, %s", tag) << "four-sizes" << loaded << missing("four-sizes", all.mid(4));
            QTest::addRow("no sizes, %s", tag) << "no-sizes" << loaded
                                               << QStringList{"3:No available sizes found for icon no-sizes"} + missing("no-sizes", all);
            QTest::addRow("corrupt size, %s", tag) << "corrupt-one" << loaded << QStringList{"3:The size 22x22 for icon corrupt-one has no image valid"}
                    + missing("corrupt-one", all.mid(2));
            QTest::addRow("size listed twice, %s", tag) << "twice" << loaded
                << QStringList{"3:The size 16x16 for icon twice has no image valid", "3:The size 16x16 for icon twice has no image valid"}
                    + missing("twice", all.mid(1));
            QTest::addRow("24x24 only, %s", tag) << "odd24" << loaded << missing("odd24", all);
            QTest::addRow("32x16 only, %s", tag) << "wide" << loaded << missing("wide", all);
            QTest::addRow("dash fallback, %s", tag) << "four-sizes-extra" << loaded
                                                    << QStringList{"2:Icon with name four-sizes-extra not found, using four-sizes instead"}
                    + missing("four-sizes-extra", all.mid(4), "four-sizes");
            QTest::addRow("dash fallback onto a corrupt size, %s", tag) << "corrupt-one-x" << loaded
                << QStringList{"3:The size 22x22 for icon corrupt-one-x (icon corrupt-one in use) has no image valid",
                               "2:Icon with name corrupt-one-x not found, using corrupt-one instead"}
                    + missing("corrupt-one-x", all.mid(2), "corrupt-one");
        }
    }

    void remarks()
    {
        QFETCH(QString, name);
        QFETCH(bool, loaded);
        QFETCH(QStringList, expected);
        IconsModel model(nullptr);
        m_theme.apply();
        model.addIcon(name);
        if (loaded) {
            model.loadAllIcons();
        }
        QCOMPARE(describe(model.iconRemarks(name)), expected.join('\n'));
        const QModelIndex index = model.findIcon(name);
        QCOMPARE(index.isValid(), !name.isEmpty());
        const QString texts = expected.join('\n').remove(QRegularExpression("^[0-9]:", QRegularExpression::MultilineOption));
        QCOMPARE(model.iconRemarksAsString(index), texts);
        QCOMPARE(model.data(index, Qt::ToolTipRole).toString(), index.isValid() ? texts : QString());
        const int top = expected.isEmpty() ? 0 : std::max_element(expected.cbegin(), expected.cend())->left(1).toInt();
        QCOMPARE(model.getMaxRemarkDialogIcon(name).name(), QStringList({QString(), "dialog-information", "dialog-warning", "dialog-error"}).at(top));
    }

    // Each of what decides a name's examination, changed alone after the name was examined:
    // the sizes, files and remarks must be the toolkit's answer now. A file a theme author
    // mends on disk shows at the next find, which always examines anew.
    void examinationsFollowTheToolkit_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("theme name") << "theme name" << "fresh" << "16x16 a/zelfresh/16/fresh.png|8 remarks"
                                    << "22x22,16x16 a/zelother/22/fresh.png,a/zelother/16/fresh.png|7 remarks";
        QTest::newRow("theme search paths") << "search paths" << "fresh" << "16x16 a/zelfresh/16/fresh.png|8 remarks" << "32x32 b/zelfresh/32/fresh.png|8 remarks";
        QTest::newRow("fallback search paths") << "fallback paths" << "loose" << "32x16 f1/loose.png|9 remarks" << "16x16 f2/loose.png|8 remarks";
        QTest::newRow("language") << "language" << "zel-absent" << "|Icon with name zel-absent not found on current theme"
                                  << "|Symbol mit dem Namen zel-absent im aktuellen Thema nicht gefunden";
        QTest::newRow("a file mended on disk, then a find") << "file" << "fresh" << "16x16 a/zelfresh/16/fresh.png|9 remarks"
                                                             << "16x16 a/zelfresh/16/fresh.png|8 remarks";
    }

    void examinationsFollowTheToolkit()
    {
        QFETCH(QString, change);
        QFETCH(QString, name);
        QTemporaryDir dir;
        for (const char *file : {"a/zelfresh/16/fresh.png", "a/zelother/16/fresh.png", "a/zelother/22/fresh.png", "b/zelfresh/32/fresh.png"}) {
            const int size = QString(file).section('/', 2, 2).toInt();
            writeFile(dir.filePath(file), pngBytes(size, size, Qt::red));
        }
        for (const char *index : {"a/zelfresh", "a/zelother", "b/zelfresh"}) {
            writeFile(dir.filePath(QString(index) + "/index.theme"),
                      "[Icon Theme]\nName=x\nDirectories=16,22,32\n[16]\nSize=16\nType=Fixed\n[22]\nSize=22\nType=Fixed\n[32]\nSize=32\nType=Fixed\n");
        }
        if (change == QLatin1String("file")) {
            writeFile(dir.filePath("a/zelfresh/16/fresh.png"), "\x89PNG\r\n\x1a\nnot yet");
        }
        writeFile(dir.filePath("f1/loose.png"), pngBytes(32, 16, Qt::red));
        writeFile(dir.filePath("f2/loose.png"), pngBytes(16, 16, Qt::red));
        MainWindow window;
        QIcon::setThemeSearchPaths({dir.filePath("a")});
        QIcon::setFallbackSearchPaths({dir.filePath("f1")});
        QIcon::setThemeName("zelfresh");
        const auto describe = [&dir, &name]() -> QString {
            const IconExamination examined = IconExamination::of(name);
            QStringList sizes;
            for (const QSize &size : examined.sizes) {
                sizes.append(QString("%1x%2").arg(size.width()).arg(size.height()));
            }
            const QString files = examined.files.join(',').remove(dir.path() + '/');
            return QString(sizes.join(',') + ' ' + files).trimmed() + '|'
                + (examined.nameInUse.isEmpty() ? examined.remarksText() : QString("%1 remarks").arg(examined.remarks.size()));
        };
        QTEST(describe(), "before");
        if (change == QLatin1String("theme name")) {
            QIcon::setThemeName("zelother");
        } else if (change == QLatin1String("search paths")) {
            QIcon::setThemeSearchPaths({dir.filePath("b")});
        } else if (change == QLatin1String("fallback paths")) {
            QIcon::setFallbackSearchPaths({dir.filePath("f2")});
        } else if (change == QLatin1String("language")) {
            KLocalizedString::setLanguages({"de"});
        } else {
            writeFile(dir.filePath("a/zelfresh/16/fresh.png"), pngBytes(16, 16, Qt::green));
            findByTyping(&window, name);
        }
        QTEST(describe(), "after");
        KLocalizedString::clearLanguages();
        QCoreApplication::sendPostedEvents();
    }

    // Names are listed once each, case and blanks counting, the empty one never; a batch
    // comes in one insertion, after the rows listed before. Until the loading pass the list
    // shows a blank placeholder, also for a name the theme lacks; the pass emits nothing. A
    // loaded icon is never looked up again, even when the theme changes under it, until a clear.
    void rowsPlaceholderAndLoader()
    {
        IconsModel model(nullptr);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        m_theme.apply();
        for (const char *name : {"four-sizes", "Four-sizes", " four-sizes", "four-sizes", ""}) {
            model.addIcon(name);
        }
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        model.addIcons({"absent", "four-sizes", QString(), "b", "absent"});
        model.addIcons({"b", "b"});
        QCOMPARE(inserted.count(), 1);
        const QStringList rows = column(&model);
        QCOMPARE(rows, QStringList({"four-sizes", "Four-sizes", " four-sizes", "absent", "b"}));
        for (int row = 0; row < rows.size(); ++row) {
            QCOMPARE(model.findIcon(rows.at(row)), model.index(row, 0));
        }
        QVERIFY(!model.findIcon("FOUR-SIZES").isValid() && model.iconName(QModelIndex()).isEmpty() && !model.index(rows.size()).isValid());
        QVERIFY(!model.data(model.index(0, 0), Qt::EditRole).isValid() && !model.data(model.index(0, 0), Qt::UserRole).isValid());
        QVERIFY(isPlaceholder(model.data(model.index(0, 0), Qt::DecorationRole).value<QIcon>()) && isPlaceholder(model.icon(QModelIndex())));
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        model.loadAllIcons();
        QCOMPARE(changed.count(), 0);
        QCOMPARE(model.icon(model.index(0, 0)).name(), QString("four-sizes"));
        QVERIFY(isPlaceholder(model.icon(model.index(3, 0))));

        IconsModelLoader loader(nullptr);
        m_theme.apply();
        QCOMPARE(loader.status("four-sizes"), 0);
        loader.loadIcon("four-sizes");
        loader.loadIcon("absent");
        QCOMPARE(loader.status("four-sizes") + loader.status("absent"), 4);
        const qint64 key = loader.getIcon("four-sizes").cacheKey();
        QIcon::setThemeName("zel-no-such-theme");
        loader.loadIcon("four-sizes");
        QCOMPARE(loader.getIcon("four-sizes").cacheKey(), key);
        loader.clear();
        QVERIFY(loader.status("four-sizes") == 0 && loader.getIcon("four-sizes").name().isEmpty());
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

    static QByteArray svgHolding(const QByteArray &image, const QByteArray &head = QByteArray())
    {
        return head + "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"16\" height=\"16\">"
                      "<image width=\"16\" height=\"16\" xlink:href=\""
            + image + "\"/></svg>";
    }

    // Broken and hostile images: none may crash or hang the program.
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
        QTest::newRow("png signature and garbage") << "16x16/apps/broken.png" << QByteArray("\x89PNG\r\n\x1a\n").append(QByteArray(40, '\xff')) << false;
        QTest::newRow("corrupt png") << "16x16/apps/broken.png" << QByteArray(png.size(), '\x55') << false;
        QTest::newRow("empty svg") << "scalable/apps/broken.svg" << QByteArray() << false;
        QTest::newRow("truncated svg") << "scalable/apps/broken.svg" << svg.left(svg.size() / 2) << false;
        QTest::newRow("corrupt svg") << "scalable/apps/broken.svg" << QByteArray("<svg><<<&&&\xff\xfe") << false;
        QTest::newRow("empty xpm") << "16x16/apps/broken.xpm" << QByteArray() << false;
        QTest::newRow("truncated xpm") << "16x16/apps/broken.xpm" << QByteArray("/* XPM */\nstatic char *x[] = {\"99999 99999 1 1\", \". c #ff0000\", \"..")
                                       << false;
        QTest::newRow("png claiming 100000x100000") << "16x16/apps/broken.png" << pngClaiming(100000) << true;
        QTest::newRow("png claiming 5000x5000") << "16x16/apps/broken.png" << pngClaiming(5000) << true;
        QTest::newRow("png claiming 4096x4096") << "16x16/apps/broken.png" << pngClaiming(4096) << false;
        QTest::newRow("unclosed svg holding a png of 64x64") << "scalable/apps/broken.svg"
                                                             << svgHolding("data:image/png;base64," + pngBytes(64, 64, Qt::red).toBase64()).replace("</svg>", "")
                                                             << false;
        QTest::newRow("svg holding a png claiming 20000x20000") << "scalable/apps/broken.svg" << svgHolding("data:image/png;base64," + pngClaiming(20000).toBase64())
                                                                << true;
        QTest::newRow("svg holding an svg naming a file") << "scalable/apps/broken.svg"
                                                          << svgHolding("data:image/svg+xml;base64," + svgHolding("/etc/hostname").toBase64()) << true;
        QTest::newRow("svg with an external entity") << "scalable/apps/broken.svg"
                                                     << svgHolding("#x", "<!DOCTYPE svg [<!ENTITY e SYSTEM \"/etc/hostname\">]>").replace("</svg>", "&e;</svg>") << true;
        QTest::newRow("svg naming a pipe as its image") << "scalable/apps/broken.svg" << QByteArray("svg-pipe") << true;
        QTest::newRow("svgz inflating to 256 MiB") << "scalable/apps/broken.svgz" << gzipOfSpaces(256) << true;
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
        } else if (bytes == "svg-pipe") {
            QCOMPARE(::mkfifo(QFile::encodeName(theme.themePath + "/pipe.png").constData(), 0644), 0);
            theme.addFile(file, svgHolding(QFile::encodeName(theme.themePath + "/pipe.png")));
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
        QCOMPARE(cold.isEmpty() ? NoRemark : std::max_element(cold.cbegin(), cold.cend())->first, ErrorRemark);
        QCOMPARE(model.iconRemarks("broken"), cold);
        // Unless refused, the list shows the toolkit's own icon for the name, where it has one.
        QCOMPARE(model.decorationIcon("broken").cacheKey() == model.decorationIcon(QString()).cacheKey(), refused || QIcon::fromTheme("broken").isNull());
        QCOMPARE(IconFileGuard::isDecodable(theme.themePath + '/' + file), !refused);
    }
};

QTEST_MAIN(IconsModelTest)

#include "iconsmodeltest.moc"

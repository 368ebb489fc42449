#include "catalogue/iconfileguard.h"
#include "catalogue/iconsmodel.h"
#include "catalogue/iconsmodelloader.h"
#include "catalogue/slicedrelease.h"
#include "testhelpers.h"

#include <sys/stat.h>
#include <zlib.h>

class IconsModelTest : public ZelTestCase
{
    Q_OBJECT

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

    // Asked again and again by the table, remarks must answer for the toolkit as it is now:
    // another theme, or a file added and the same paths set again.
    void remarksFollowTheToolkit()
    {
        for (bool loaded : {false, true}) {
            const QString grows = QString("grows-%1").arg(loaded);
            m_theme.addPng("16x16/apps", grows, 16);
            IconsModel model(nullptr);
            m_theme.apply();
            model.addIcons({"four-sizes", grows});
            if (loaded) {
                model.loadAllIcons();
            }
            QCOMPARE(model.iconRemarks("four-sizes").size(), 5);
            QIcon::setThemeName("zel-no-such-theme");
            QIcon::setFallbackThemeName("zel-no-such-theme");
            QCOMPARE(describe(model.iconRemarks("four-sizes")), QString("3:Icon with name four-sizes not found on current theme"));
            m_theme.apply();
            QCOMPARE(model.iconRemarks("four-sizes").size(), 5);

            const QString missing22 = QString("The standard size 22x22 not found for icon %1").arg(grows);
            QVERIFY(model.iconRemarksAsString(model.findIcon(grows)).contains(missing22));
            m_theme.addPng("22x22/apps", grows, 22);
            QIcon::setThemeSearchPaths(QIcon::themeSearchPaths());
            QVERIFY(!model.iconRemarksAsString(model.findIcon(grows)).contains(missing22));
            QVERIFY(!loaded || model.icon(model.findIcon(grows)).availableSizes().contains(QSize(22, 22)));
        }
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

    // Remarks worked out in idle time must be those an immediate request gives, and a
    // clear empties the model at once while what it held goes later, from the event loop,
    // also when cleared again before the release ends.
    void warmedAndReleased()
    {
        const QStringList names{"four-sizes", "absent", "corrupt-one", "four-sizes-extra", "complete"};
        IconsModel fresh(nullptr);
        IconsModel model(nullptr);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        m_theme.apply();
        fresh.addIcons(names);
        fresh.loadAllIcons();
        for (int clears : {1, 2}) {
            model.addIcons(names);
            QVERIFY(!model.isWarmingRemarks());
            model.loadAllIcons();
            QVERIFY(model.isWarmingRemarks());
            QTRY_VERIFY(!model.isWarmingRemarks());
            for (const QString &name : names) {
                QCOMPARE(model.iconRemarks(name), fresh.iconRemarks(name));
            }
            for (int i = 0; i < clears; ++i) {
                model.loadAllIcons();
                model.clear();
                QVERIFY(!model.isWarmingRemarks());
                QCOMPARE(model.findIcon("absent"), QModelIndex());
                model.addIcon("four-sizes");
                QVERIFY(isPlaceholder(model.icon(model.index(0, 0))));
                model.clear();
            }
            QVERIFY(model.isReleasing());
            QTRY_VERIFY(!model.isReleasing());
            model.addIcon("four-sizes");
            model.loadAllIcons();
            QCOMPARE(model.icon(model.index(0, 0)).name(), QString("four-sizes"));
            QCOMPARE(model.iconRemarks("four-sizes"), fresh.iconRemarks("four-sizes"));
            model.clear();
        }
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

    // Every entry holds a copy of one token, so its use count tells how many are alive; the
    // release must also end under a loop that never calms down.
    void slicedRelease()
    {
        const auto token = std::make_shared<int>(0);
        for (int entries : {200001, 1000}) {
            QTimer busy;
            busy.callOnTimeout(&busy, []() {
                QThread::msleep(40);
            });
            if (entries == 1000) {
                busy.start(0);
            }
            SlicedRelease release(nullptr);
            QHash<int, std::shared_ptr<int>> hash;
            QList<std::shared_ptr<int>> list;
            for (int i = 0; i < entries; ++i) {
                hash.insert(i, token);
                list.append(token);
            }
            release.retire(QHash<int, std::shared_ptr<int>>());
            QVERIFY(!release.isPending());
            release.retire(std::move(hash));
            release.retire(std::move(list));
            QVERIFY(hash.isEmpty() && list.isEmpty() && release.isPending());
            QCOMPARE(token.use_count(), 1L + 2 * entries);
            QTRY_COMPARE_WITH_TIMEOUT(token.use_count(), 1L, 20000);
            QVERIFY(!release.isPending());
        }
        SlicedRelease(nullptr).retire(QList<std::shared_ptr<int>>{token, token});
        QCOMPARE(token.use_count(), 1L);
    }
};

QTEST_MAIN(IconsModelTest)

#include "iconsmodeltest.moc"

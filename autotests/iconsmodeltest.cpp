#include "catalogue/iconsmodel.h"
#include "catalogue/iconsmodelloader.h"

#include "standardfixture.h"
#include "testenvironment.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

class IconsModelTest : public QObject
{
    Q_OBJECT

    StandardFixture m_fixture;

    static bool isPlaceholder(const QIcon &icon)
    {
        if (icon.isNull() || !icon.name().isEmpty()) {
            return false;
        }
        const QList<QSize> sizes = icon.availableSizes();
        if (sizes.size() != 9 || sizes.first() != QSize(16, 16) || sizes.last() != QSize(256, 256)) {
            return false;
        }
        const QImage image = icon.pixmap(QSize(16, 16)).toImage();
        return image.pixelColor(8, 8).alpha() == 0;
    }

private Q_SLOTS:
    void addingNames_data()
    {
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("insertions");
        QTest::addColumn<bool>("batch");
        QTest::newRow("empty name") << QStringList{QString()} << QStringList{} << 0 << false;
        QTest::newRow("repeat") << QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("a")}
                                << QStringList{QStringLiteral("a"), QStringLiteral("b")} << 2 << false;
        QTest::newRow("case differs") << QStringList{QStringLiteral("Edit"), QStringLiteral("edit")}
                                      << QStringList{QStringLiteral("Edit"), QStringLiteral("edit")} << 2 << false;
        QTest::newRow("batch") << QStringList{QStringLiteral("c"), QStringLiteral("a"), QString(), QStringLiteral("b"), QStringLiteral("a")}
                               << QStringList{QStringLiteral("a"), QStringLiteral("c"), QStringLiteral("b")} << 1 << true;
        QTest::newRow("batch of listed names") << QStringList{QStringLiteral("a"), QStringLiteral("a")} << QStringList{QStringLiteral("a")} << 0 << true;
        QTest::newRow("blank kept") << QStringList{QStringLiteral(" a"), QStringLiteral("a")} << QStringList{QStringLiteral(" a"), QStringLiteral("a")} << 2
                                    << false;
    }

    void addingNames()
    {
        QFETCH(QStringList, added);
        QFETCH(QStringList, rows);
        QFETCH(int, insertions);
        QFETCH(bool, batch);
        IconsModel model(nullptr);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        // A name listed before the batch: the batch must neither repeat nor move it.
        if (batch) {
            model.addIcon(rows.first());
        }
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QVERIFY(inserted.isValid());
        if (batch) {
            model.addIcons(added);
        }
        for (const QString &name : batch ? QStringList() : added) {
            model.addIcon(name);
        }
        QCOMPARE(inserted.count(), insertions);
        QCOMPARE(model.rowCount(), rows.size());
        for (int row = 0; row < rows.size(); ++row) {
            QCOMPARE(model.data(model.index(row, 0)).toString(), rows.at(row));
            QCOMPARE(model.findIcon(rows.at(row)), model.index(row, 0));
        }
    }

    void findAndIndexes()
    {
        IconsModel model(nullptr);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        for (const char *name : {"a", "b", "c"}) {
            model.addIcon(QLatin1String(name));
        }
        QCOMPARE(model.findIcon(QStringLiteral("b")).row(), 1);
        QCOMPARE(model.findIcon(QStringLiteral("b")).column(), 0);
        QVERIFY(!model.findIcon(QStringLiteral("d")).isValid());
        QVERIFY(!model.findIcon(QStringLiteral("B")).isValid());

        const QModelIndex first = model.index(0, 0);
        QVERIFY(!model.index(0, 1).isValid());
        QVERIFY(!model.index(3, 0).isValid());
        QVERIFY(!model.index(-1, 0).isValid());
        QVERIFY(!model.index(0, 0, first).isValid());
        QCOMPARE(model.rowCount(first), 0);
        QCOMPARE(model.columnCount(first), 0);
        QCOMPARE(model.columnCount(), 1);
        QCOMPARE(model.iconName(QModelIndex()), QString());
    }

    void roles_data()
    {
        QTest::addColumn<int>("role");
        QTest::addColumn<bool>("valid");
        QTest::newRow("display") << int(Qt::DisplayRole) << true;
        QTest::newRow("decoration") << int(Qt::DecorationRole) << true;
        QTest::newRow("edit") << int(Qt::EditRole) << false;
        QTest::newRow("tool tip") << int(Qt::ToolTipRole) << true;
        QTest::newRow("status tip") << int(Qt::StatusTipRole) << false;
        QTest::newRow("user") << int(Qt::UserRole) << false;
    }

    void roles()
    {
        QFETCH(int, role);
        QFETCH(bool, valid);
        IconsModel model(nullptr);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.addIcon(QStringLiteral("four-sizes"));
        QCOMPARE(model.data(model.index(0, 0), role).isValid(), valid);
        QVERIFY(!model.data(QModelIndex(), role).isValid());
    }

    void placeholderUntilLoaded()
    {
        IconsModel model(nullptr);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        m_fixture.apply();
        model.addIcon(QStringLiteral("four-sizes"));
        model.addIcon(QStringLiteral("absent"));
        const QModelIndex present = model.index(0, 0);
        const QModelIndex absent = model.index(1, 0);

        QVERIFY(isPlaceholder(model.data(present, Qt::DecorationRole).value<QIcon>()));
        QVERIFY(isPlaceholder(model.icon(QModelIndex())));

        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        model.loadAllIcons();
        QCOMPARE(changed.count(), 0);
        QCOMPARE(model.icon(present).name(), QStringLiteral("four-sizes"));
        // A name the theme lacks is cached too, and shows the placeholder.
        QVERIFY(isPlaceholder(model.icon(absent)));

        model.clear();
        QCOMPARE(model.rowCount(), 0);
        model.addIcon(QStringLiteral("four-sizes"));
        QVERIFY(isPlaceholder(model.icon(model.index(0, 0))));
    }

    void loaderStatus()
    {
        IconsModelLoader loader(nullptr);
        m_fixture.apply();
        QCOMPARE(loader.status(QStringLiteral("four-sizes")), 0);
        loader.loadIcon(QStringLiteral("four-sizes"));
        loader.loadIcon(QStringLiteral("absent"));
        QCOMPARE(loader.status(QStringLiteral("four-sizes")), 2);
        QCOMPARE(loader.status(QStringLiteral("absent")), 2);
        QCOMPARE(loader.getIcon(QStringLiteral("four-sizes")).name(), QStringLiteral("four-sizes"));

        // A cached icon is never looked up again, even when the theme changes under it.
        const qint64 key = loader.getIcon(QStringLiteral("four-sizes")).cacheKey();
        loader.loadIcon(QStringLiteral("four-sizes"));
        QCOMPARE(loader.getIcon(QStringLiteral("four-sizes")).cacheKey(), key);

        loader.clear();
        QCOMPARE(loader.status(QStringLiteral("four-sizes")), 0);
        QVERIFY(loader.getIcon(QStringLiteral("four-sizes")).name().isEmpty());
    }

    // A clear empties the model at once; the icons and remarks it held are let go of
    // later, from the event loop, and none of them is kept for good.
    void clearReleasesLater_data()
    {
        QTest::addColumn<bool>("warmed");
        QTest::addColumn<int>("clears");
        QTest::newRow("loaded") << false << 1;
        QTest::newRow("remarks worked out") << true << 1;
        QTest::newRow("cleared again before the release ends") << true << 2;
    }

    void clearReleasesLater()
    {
        QFETCH(bool, warmed);
        QFETCH(int, clears);
        IconsModel model(nullptr);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        m_fixture.apply();
        model.addIcon(QStringLiteral("four-sizes"));
        model.addIcon(QStringLiteral("absent"));
        model.loadAllIcons();
        if (warmed) {
            QTRY_VERIFY(!model.isWarmingRemarks());
        }
        for (int i = 0; i < clears; ++i) {
            model.clear();
            model.addIcon(QStringLiteral("four-sizes"));
            QVERIFY(isPlaceholder(model.icon(model.index(0, 0))));
            QCOMPARE(model.findIcon(QStringLiteral("absent")), QModelIndex());
            model.loadAllIcons();
            model.clear();
        }
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(model.isReleasing());
        QTRY_VERIFY(!model.isReleasing());

        // Names listed after the release load and give their remarks as before.
        model.addIcon(QStringLiteral("four-sizes"));
        model.loadAllIcons();
        QCOMPARE(model.icon(model.index(0, 0)).name(), QStringLiteral("four-sizes"));
        QCOMPARE(model.iconRemarks(QStringLiteral("four-sizes")), IconsModel(nullptr).iconRemarks(QStringLiteral("four-sizes")));
    }

    void loaderResetsThemeName()
    {
        QIcon::setThemeName(QStringLiteral("something-else"));
        IconsModelLoader loader(nullptr);
        QVERIFY(QIcon::themeName() != QLatin1String("something-else"));
    }

    // Remarks worked out in idle time must be the ones an immediate request gives.
    void remarksWarmedInIdleTime()
    {
        IconsModel fresh(nullptr);
        IconsModel warmed(nullptr);
        QAbstractItemModelTester tester(&warmed, QAbstractItemModelTester::FailureReportingMode::QtTest);
        m_fixture.apply();
        const QStringList names{QStringLiteral("four-sizes"), QStringLiteral("absent"), QStringLiteral("corrupt-one"), QStringLiteral("four-sizes-extra")};
        for (const QString &name : names) {
            fresh.addIcon(name);
            warmed.addIcon(name);
        }
        QVERIFY(!warmed.isWarmingRemarks());
        warmed.loadAllIcons();
        QVERIFY(warmed.isWarmingRemarks());
        QTRY_VERIFY(!warmed.isWarmingRemarks());
        fresh.loadAllIcons();
        for (const QString &name : names) {
            QCOMPARE(warmed.iconRemarks(name), fresh.iconRemarks(name));
        }

        // A new scan empties the list; what was being worked out goes with it.
        warmed.loadAllIcons();
        warmed.clear();
        QVERIFY(!warmed.isWarmingRemarks());
    }

    void emptyModelLoadsNothing()
    {
        IconsModel model(nullptr);
        model.loadAllIcons();
        QCOMPARE(model.rowCount(), 0);
    }
};

ZEL_TEST_MAIN(IconsModelTest)

#include "iconsmodeltest.moc"

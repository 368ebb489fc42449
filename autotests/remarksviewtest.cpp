#include "catalogue/iconsmodel.h"
#include "remarks/iconsproxyremarksmodel.h"
#include "remarks/iconsremarksdelegate.h"
#include "remarks/iconsremarksviewdialog.h"
#include "testhelpers.h"

class RemarksViewTest : public ZelTestCase
{
    Q_OBJECT
    FixtureTheme m_theme;

    // Every model's loader resets the theme name, so the theme is applied after making one.
    std::unique_ptr<IconsModel> icons(const QStringList &names, bool loaded = true)
    {
        auto model = std::make_unique<IconsModel>(nullptr);
        m_theme.apply();
        model->addIcons(names);
        if (loaded) {
            model->loadAllIcons();
        }
        return model;
    }

    static QTableView *table(IconsRemarksViewDialog *dialog)
    {
        return windowChild<QTableView>(dialog, "iconsRemarksTableView");
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_theme.addStandardIcons();
    }

    void dialogSorts_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<Qt::SortOrder>("order");
        QTest::addColumn<int>("shown");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("name") << 1 << Qt::AscendingOrder << 1 << QStringList{"complete", "complete-alias", "four-sizes", "Zeta"};
        QTest::newRow("name, descending") << 1 << Qt::DescendingOrder << 1 << QStringList{"Zeta", "four-sizes", "complete-alias", "complete"};
        QTest::newRow("remarks") << 2 << Qt::AscendingOrder << 1 << QStringList{"complete", "complete-alias", "Zeta", "four-sizes"};
        QTest::newRow("name in use") << 0 << Qt::AscendingOrder << 0 << QStringList{QString(), "complete", "complete", "four-sizes"};
    }

    void dialogSorts()
    {
        QFETCH(int, column);
        QFETCH(Qt::SortOrder, order);
        QFETCH(int, shown);
        auto model = icons({"four-sizes", "Zeta", "complete", "complete-alias"});
        IconsRemarksViewDialog dialog(model.get(), nullptr);
        QAbstractItemModelTester tester(table(&dialog)->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(table(&dialog)->isSortingEnabled());
        table(&dialog)->sortByColumn(column, order);
        QTEST(::column(table(&dialog)->model(), shown), "expected");
    }

    // Through the table's own menu, as the user copies.
    void copyFromTheMenu()
    {
        auto model = icons({"odd24", "complete", "four-sizes"});
        IconsRemarksViewDialog dialog(model.get(), nullptr);
        QTableView *view = table(&dialog);
        view->sortByColumn(1, Qt::AscendingOrder);
        // Each row as tall as its remarks, one line each: none, five and nine of them.
        const int line = view->fontMetrics().lineSpacing();
        QCOMPARE(QList<int>({view->rowHeight(1) - view->rowHeight(0), view->rowHeight(2) - view->rowHeight(1)}), QList<int>({4 * line, 4 * line}));
        QCOMPARE(view->contextMenuPolicy(), Qt::CustomContextMenu);
        const QList<QAction *> actions = windowChild<QMenu>(&dialog, "")->actions();
        QCOMPARE(actions.value(0)->text() + '|' + actions.value(1)->text(), "Copy this remark|Copy all remarks");
        const QString four = missingSizes("four-sizes", {64, 96, 128, 192, 256}).join('\n');
        const QString odd = missingSizes("odd24", {16, 22, 32, 48, 64, 96, 128, 192, 256}).join('\n');
        const auto copied = [](QAction *action) {
            QGuiApplication::clipboard()->setText("stale");
            action->trigger();
            return QGuiApplication::clipboard()->text();
        };
        QCOMPARE(copied(actions.at(0)), QString());
        QCOMPARE(copied(actions.at(1)), "\n" + four + "\n" + odd);
        view->setCurrentIndex(view->model()->index(1, 1));
        QCOMPARE(copied(actions.at(0)), four);
        view->setCurrentIndex(view->model()->index(0, 0));
        QCOMPARE(copied(actions.at(0)), QString());
        QCOMPARE(dialog.iconRemarksAtIndex(view->model()->index(2, 2)), QStringList{odd});
        QCOMPARE(dialog.iconRemarksAtIndex(view->model()->index(0, 0)), QStringList{QString()});
        QVERIFY(dialog.iconRemarksAtIndex(QModelIndex()).isEmpty());
        // The cells besides the text: the worst remark's badge and the whole text as tooltip,
        // the in-use icon without one. The table's model relays no change of the source: an
        // index kept across a clear answers nothing.
        const QModelIndex remarks = view->model()->index(1, 2);
        QCOMPARE(remarks.data(Qt::ToolTipRole).toString(), four);
        QVERIFY(!remarks.data(Qt::DecorationRole).value<QIcon>().isNull() && view->model()->index(0, 2).data(Qt::DecorationRole).value<QIcon>().isNull());
        QVERIFY(view->model()->index(1, 0).data(Qt::DecorationRole).canConvert<QIcon>() && !view->model()->index(1, 0).data(Qt::ToolTipRole).isValid());
        QVERIFY(!view->model()->index(1, 1).data(Qt::DecorationRole).isValid());
        IconsProxyRemarksModel proxy(model.get(), nullptr);
        QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(QStringList({proxy.headerData(0, Qt::Horizontal).toString(), proxy.headerData(1, Qt::Horizontal).toString(),
                              proxy.headerData(2, Qt::Horizontal).toString(), proxy.index(2, 1).data().toString()}),
                 QStringList({"Finded icon name", "Icon name", "Icon remarks", "four-sizes"}));
        QVERIFY(proxy.mapFromSource(model->index(2)) == proxy.index(2, 1) && proxy.mapToSource(proxy.index(2, 2)) == model->index(2));
        const QModelIndex stale = proxy.index(2, 2);
        model->clear();
        QVERIFY(proxy.rowCount() == 0 && !proxy.data(stale).isValid() && !proxy.data(stale, Qt::DecorationRole).isValid());
    }

    // The badge of the worst remark follows the text, drawn from the row's own model as
    // from the window's filter proxy, and the hint makes room for it alone.
    void delegatePaint_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("error") << "absent" << QColor(Qt::red);
        QTest::newRow("information") << "four-sizes" << QColor(Qt::blue);
        QTest::newRow("warning") << "complete-alias" << QColor(Qt::yellow);
        QTest::newRow("no remarks") << "complete" << QColor(Qt::white);
    }

    void delegatePaint()
    {
        QFETCH(QString, name);
        auto model = icons({name});
        QStandardItemModel rows;
        rows.appendRow(new QStandardItem(name));
        IconsRemarksDelegate delegate(model.get(), nullptr);
        QStyleOptionViewItem option;
        option.decorationSize = QSize(16, 16);
        option.rect = QRect(0, 0, 300, 24);
        option.state = QStyle::State_Enabled;
        const QModelIndex index = rows.index(0, 0);
        const QSize natural = QStyledItemDelegate().sizeHint(option, index);
        QCOMPARE(delegate.sizeHint(option, index), natural + QSize(16, 0));
        QImage image(300, 24, QImage::Format_ARGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            delegate.paint(&painter, option, index);
        }
        QTEST(image.pixelColor(natural.width() + 8, 12), "expected");
        QCOMPARE(image.pixelColor(natural.width() + 20, 12), QColor(Qt::white));
    }

    void windowOpensANewDialogEachTime()
    {
        MainWindow window;
        auto *view = windowChild<QAction>(&window, "actionViewIconsRemarks");
        QCOMPARE(view->shortcut(), QKeySequence(Qt::Key_F2));
        view->trigger();
        view->trigger();
        const auto dialogs = window.findChildren<IconsRemarksViewDialog *>();
        QVERIFY(dialogs.size() == 2 && dialogs.last()->isVisible() && !dialogs.last()->isModal());
    }
};

QTEST_MAIN(RemarksViewTest)

#include "remarksviewtest.moc"

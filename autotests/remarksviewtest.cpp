#include "app/mainwindow.h"
#include "testhelpers.h"
#include "catalogue/iconsmodel.h"
#include "remarks/iconsproxyremarksmodel.h"
#include "remarks/iconsremarksdelegate.h"
#include "remarks/iconsremarksviewdialog.h"


#include <QAbstractItemModelTester>
#include <QAction>
#include <QClipboard>
#include <QHeaderView>
#include <QListView>
#include <QMenu>
#include <QPainter>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>

namespace
{
const QList<int> allSizes = {16, 22, 32, 48, 64, 96, 128, 192, 256};

QString missingSize(const QString &name, int size)
{
    return QStringLiteral("The standard size %1x%1 not found for icon %2").arg(size).arg(name);
}
}

// A theme where some names have every standard size (no remarks at all), so rows with
// and without remarks can sit side by side.
class RemarksFixture
{
public:
    RemarksFixture()
        : theme(QStringLiteral("zelremarks"), m_dir.path() + QStringLiteral("/icons"))
    {
        for (int size : allSizes) {
            const QString dir = QStringLiteral("%1x%1/apps").arg(size);
            theme.addDirectory(dir, size);
            theme.addPng(dir, QStringLiteral("b-full"), size, Qt::green);
            theme.addPng(dir, QStringLiteral("dialog-error"), size, Qt::red);
            theme.addPng(dir, QStringLiteral("dialog-information"), size, Qt::blue);
            theme.addPng(dir, QStringLiteral("dialog-warning"), size, Qt::yellow);
            if (size <= 128) {
                theme.addPng(dir, QStringLiteral("a-first"), size);
            }
            if (size <= 192) {
                theme.addPng(dir, QStringLiteral("c-third"), size);
            }
        }
        theme.writeIndex();
    }

    void apply() const
    {
        QIcon::setThemeSearchPaths({theme.searchPath()});
        QIcon::setFallbackSearchPaths({});
        QIcon::setThemeName(theme.name());
        QIcon::setFallbackThemeName(theme.name());
    }

private:
    QTemporaryDir m_dir;

public:
    FixtureTheme theme;
};

class RemarksViewTest : public ZelTestCase
{
    Q_OBJECT

    // Every model's loader resets the theme name, so each test applies this after making one.
    RemarksFixture m_fixture;

    static QTableView *table(IconsRemarksViewDialog *dialog)
    {
        return dialog->findChild<QTableView *>(QStringLiteral("iconsRemarksTableView"));
    }

    static QStringList column(QAbstractItemModel *model, int column)
    {
        QStringList values;
        for (int row = 0; row < model->rowCount(); ++row) {
            values.append(model->index(row, column).data().toString());
        }
        return values;
    }

    static void addNames(IconsModel *model, const QStringList &names)
    {
        for (const QString &name : names) {
            model->addIcon(name);
        }
    }

private Q_SLOTS:
    void proxyCells_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<QString>("inUse");
        QTest::addColumn<QString>("remarks");
        QTest::newRow("no remarks") << QStringLiteral("b-full") << true << QStringLiteral("b-full") << QString();
        QTest::newRow("resolved to another name") << QStringLiteral("b-full-extra") << true << QStringLiteral("b-full")
                                                  << QStringLiteral("Icon with name b-full-extra not found, using b-full instead");
        QTest::newRow("not loaded") << QStringLiteral("b-full") << false << QString() << QString();
        QTest::newRow("two remarks") << QStringLiteral("a-first") << true << QStringLiteral("a-first")
                                     << missingSize(QStringLiteral("a-first"), 192) + QLatin1Char('\n') + missingSize(QStringLiteral("a-first"), 256);
    }

    void proxyCells()
    {
        QFETCH(QString, name);
        QFETCH(bool, loaded);
        QFETCH(QString, inUse);
        QFETCH(QString, remarks);

        IconsModel icons(nullptr);
        m_fixture.apply();
        icons.addIcon(name);
        if (loaded) {
            icons.loadAllIcons();
        }
        IconsProxyRemarksModel proxy(&icons, nullptr);
        QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);

        QCOMPARE(proxy.index(0, 0).data().toString(), inUse);
        QVERIFY(proxy.index(0, 0).data(Qt::DecorationRole).canConvert<QIcon>());
        QVERIFY(!proxy.index(0, 0).data(Qt::ToolTipRole).isValid());
        QCOMPARE(proxy.index(0, 1).data().toString(), name);
        QVERIFY(!proxy.index(0, 1).data(Qt::DecorationRole).isValid());
        QCOMPARE(proxy.index(0, 2).data().toString(), remarks);
        QCOMPARE(proxy.index(0, 2).data(Qt::ToolTipRole).toString(), remarks);
        const QIcon severity = proxy.index(0, 2).data(Qt::DecorationRole).value<QIcon>();
        QCOMPARE(severity.isNull(), remarks.isEmpty());
        QVERIFY(!proxy.index(0, 1).data(Qt::EditRole).isValid());
    }

    void proxyAfterSourceCleared()
    {
        IconsModel icons(nullptr);
        m_fixture.apply();
        addNames(&icons, {QStringLiteral("a-first"), QStringLiteral("b-full")});
        IconsProxyRemarksModel proxy(&icons, nullptr);
        const QModelIndex stale = proxy.index(1, 2);
        QVERIFY(stale.isValid());
        icons.clear();
        QCOMPARE(proxy.rowCount(), 0);
        QVERIFY(!proxy.index(1, 2).isValid());
        QVERIFY(!proxy.data(stale).isValid());
        QVERIFY(!proxy.data(stale, Qt::DecorationRole).isValid());
    }

    void dialogSortsByName()
    {
        IconsModel icons(nullptr);
        m_fixture.apply();
        addNames(&icons, {QStringLiteral("beta"), QStringLiteral("gamma"), QStringLiteral("Alpha"), QStringLiteral("Delta")});
        IconsRemarksViewDialog dialog(&icons, nullptr);
        QCOMPARE(dialog.objectName(), QStringLiteral("IconsRemarksViewDialog"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Icons remarks"));
        QCOMPARE(dialog.size(), QSize(1000, 400));
        QTableView *view = table(&dialog);
        QAbstractItemModelTester tester(view->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(view->isSortingEnabled());
        QCOMPARE(view->model()->columnCount(), 3);

        view->sortByColumn(1, Qt::AscendingOrder);
        QCOMPARE(column(view->model(), 1), (QStringList{QStringLiteral("Alpha"), QStringLiteral("beta"), QStringLiteral("Delta"), QStringLiteral("gamma")}));
        view->sortByColumn(1, Qt::DescendingOrder);
        QCOMPARE(column(view->model(), 1), (QStringList{QStringLiteral("gamma"), QStringLiteral("Delta"), QStringLiteral("beta"), QStringLiteral("Alpha")}));
    }

    void dialogSortsByEveryColumn()
    {
        IconsModel icons(nullptr);
        m_fixture.apply();
        addNames(&icons, {QStringLiteral("c-third"), QStringLiteral("a-first"), QStringLiteral("b-full"), QStringLiteral("b-full-extra")});
        icons.loadAllIcons();
        IconsRemarksViewDialog dialog(&icons, nullptr);
        QTableView *view = table(&dialog);

        view->sortByColumn(2, Qt::AscendingOrder);
        QCOMPARE(column(view->model(), 1),
                 (QStringList{QStringLiteral("b-full"), QStringLiteral("b-full-extra"), QStringLiteral("a-first"), QStringLiteral("c-third")}));
        view->sortByColumn(0, Qt::AscendingOrder);
        QCOMPARE(column(view->model(), 0),
                 (QStringList{QStringLiteral("a-first"), QStringLiteral("b-full"), QStringLiteral("b-full"), QStringLiteral("c-third")}));
    }

    void rowsFitTheirRemarksOnceShown_data()
    {
        QTest::addColumn<int>("names");
        QTest::addColumn<int>("widthAfterShow");
        QTest::newRow("few rows, no scroll bar") << 3 << 0;
        QTest::newRow("rows past the bottom") << 80 << 0;
        QTest::newRow("narrowed after showing") << 80 << 700;
    }

    // Opening the table lays the header out at a guessed width before the view's own
    // first layout; whether that guess was right or not, every row must end up as tall
    // as its remarks at the width the column really has.
    void rowsFitTheirRemarksOnceShown()
    {
        QFETCH(int, names);
        QFETCH(int, widthAfterShow);
        IconsModel icons(nullptr);
        m_fixture.apply();
        QStringList added{QStringLiteral("b-full"), QStringLiteral("a-first"), QStringLiteral("c-third")};
        for (int i = added.size(); i < names; ++i) {
            added.append(QStringLiteral("not-in-the-theme-with-a-rather-long-name-%1").arg(i));
        }
        addNames(&icons, added);
        icons.loadAllIcons();
        IconsRemarksViewDialog dialog(&icons, nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        if (widthAfterShow > 0) {
            dialog.resize(widthAfterShow, dialog.height());
        }
        QTest::qWait(50);
        QTableView *view = table(&dialog);
        QHeaderView *header = view->horizontalHeader();
        QCOMPARE(header->sectionSize(0) + header->sectionSize(1) + header->sectionSize(2), view->viewport()->width());
        // Public only through the base class.
        const QAbstractItemView *asked = view;
        bool wrapped = false;
        for (int row = 0; row < view->model()->rowCount(); ++row) {
            QCOMPARE(view->verticalHeader()->sectionSize(row), qMax(view->verticalHeader()->minimumSectionSize(), asked->sizeHintForRow(row)));
            wrapped = wrapped || asked->sizeHintForRow(row) >= 2 * view->fontMetrics().height();
        }
        QVERIFY(wrapped);
    }

    void copyOperations()
    {
        IconsModel icons(nullptr);
        m_fixture.apply();
        addNames(&icons, {QStringLiteral("c-third"), QStringLiteral("b-full"), QStringLiteral("a-first")});
        icons.loadAllIcons();
        IconsRemarksViewDialog dialog(&icons, nullptr);
        QTableView *view = table(&dialog);
        view->sortByColumn(1, Qt::AscendingOrder);
        QClipboard *clipboard = QGuiApplication::clipboard();

        const QString x = missingSize(QStringLiteral("a-first"), 192) + QLatin1Char('\n') + missingSize(QStringLiteral("a-first"), 256);
        const QString y = missingSize(QStringLiteral("c-third"), 256);

        clipboard->setText(QStringLiteral("stale"));
        dialog.copyCurrentRemark();
        QCOMPARE(clipboard->text(), QString());

        clipboard->setText(QStringLiteral("stale"));
        dialog.copyAllRemarks();
        QCOMPARE(clipboard->text(), x + QStringLiteral("\n\n") + y);

        view->setCurrentIndex(view->model()->index(0, 1));
        dialog.copyCurrentRemark();
        QCOMPARE(clipboard->text(), x);

        view->setCurrentIndex(view->model()->index(1, 0));
        clipboard->setText(QStringLiteral("stale"));
        dialog.copyCurrentRemark();
        QCOMPARE(clipboard->text(), QString());

        QCOMPARE(dialog.iconRemarksAtIndex(view->model()->index(2, 2)), QStringList{y});
        QCOMPARE(dialog.iconRemarksAtIndex(view->model()->index(1, 0)), QStringList{QString()});
        QVERIFY(dialog.iconRemarksAtIndex(QModelIndex()).isEmpty());
    }

    void contextMenuOffersBothCopies()
    {
        IconsModel icons(nullptr);
        m_fixture.apply();
        IconsRemarksViewDialog dialog(&icons, nullptr);
        QCOMPARE(table(&dialog)->contextMenuPolicy(), Qt::CustomContextMenu);
        const auto menus = dialog.findChildren<QMenu *>(QString(), Qt::FindDirectChildrenOnly);
        QCOMPARE(menus.size(), 1);
        const auto actions = menus.first()->actions();
        QCOMPARE(actions.size(), 2);
        QCOMPARE(actions.at(0)->text(), QStringLiteral("Copy this remark"));
        QCOMPARE(actions.at(1)->text(), QStringLiteral("Copy all remarks"));
        QVERIFY(actions.at(0)->shortcut().isEmpty());
    }

    void delegateSizeHint()
    {
        IconsModel icons(nullptr);
        m_fixture.apply();
        icons.addIcon(QStringLiteral("b-full"));
        IconsRemarksDelegate delegate(&icons, nullptr);
        QStyledItemDelegate plain;
        QStyleOptionViewItem option;
        option.decorationSize = QSize(24, 24);
        const QModelIndex index = icons.index(0, 0);
        const QSize base = plain.sizeHint(option, index);
        QCOMPARE(delegate.sizeHint(option, index), QSize(base.width() + 24, base.height()));
    }

    void delegatePaint_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("error") << QStringLiteral("absent") << QColor(Qt::red);
        QTest::newRow("information") << QStringLiteral("a-first") << QColor(Qt::blue);
        QTest::newRow("warning") << QStringLiteral("b-full-extra") << QColor(Qt::yellow);
        QTest::newRow("no remarks") << QStringLiteral("b-full") << QColor(Qt::white);
    }

    void delegatePaint()
    {
        QFETCH(QString, name);
        QFETCH(QColor, expected);

        // The row's text comes from its own model, as from the main window's filter proxy.
        IconsModel icons(nullptr);
        m_fixture.apply();
        icons.addIcon(name);
        icons.loadAllIcons();
        QStandardItemModel rows;
        rows.appendRow(new QStandardItem(name));
        IconsRemarksDelegate delegate(&icons, nullptr);

        QListView view;
        view.setModel(&rows);
        view.setIconSize(QSize(16, 16));
        QStyleOptionViewItem option;
        option.initFrom(&view);
        option.decorationSize = QSize(16, 16);
        option.rect = QRect(0, 0, 300, 24);
        option.state = QStyle::State_Enabled;
        option.palette.setColor(QPalette::Base, Qt::white);
        const QModelIndex index = rows.index(0, 0);
        const int natural = QStyledItemDelegate().sizeHint(option, index).width();

        QImage image(300, 24, QImage::Format_ARGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            delegate.paint(&painter, option, index);
        }
        QCOMPARE(image.pixelColor(natural + 8, 12), expected);
        // Nothing beyond the badge.
        QCOMPARE(image.pixelColor(natural + 16 + 4, 12), QColor(Qt::white));
    }

    void windowOpensANewDialogEachTime()
    {
        MainWindow window;
        QAction *view = window.findChild<QAction *>(QStringLiteral("actionViewIconsRemarks"));
        QVERIFY(view);
        QCOMPARE(view->shortcut(), QKeySequence(Qt::Key_F2));
        view->trigger();
        view->trigger();
        const auto dialogs = window.findChildren<IconsRemarksViewDialog *>();
        QCOMPARE(dialogs.size(), 2);
        for (IconsRemarksViewDialog *dialog : dialogs) {
            QVERIFY(dialog->isVisible());
            QVERIFY(!dialog->isModal());
            QCOMPARE(dialog->parentWidget(), &window);
        }
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }
};

QTEST_MAIN(RemarksViewTest)

#include "remarksviewtest.moc"

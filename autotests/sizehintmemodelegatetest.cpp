#include "remarks/sizehintmemodelegate.h"
#include "testhelpers.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>

// The memo must never give a hint the styled delegate would not give for the same cell:
// hints kept by cell must follow contents that change with a signal or without one (as
// the remarks table's do) once the revision moves, a sort, and a new column width.
class SizeHintMemoDelegateTest : public ZelTestCase
{
    Q_OBJECT

    static void compareAll(QTableView &view, const SizeHintMemoDelegate &memo)
    {
        for (int row = 0; row < view.model()->rowCount(); ++row) {
            for (int column = 0; column < view.model()->columnCount(); ++column) {
                const QModelIndex index = view.model()->index(row, column);
                QStyleOptionViewItem option;
                option.initFrom(view.viewport());
                option.decorationSize = QSize(16, 16);
                option.features = view.wordWrap() ? QStyleOptionViewItem::WrapText : QStyleOptionViewItem::None;
                option.rect = view.visualRect(index);
                option.widget = &view;
                QCOMPARE(memo.sizeHint(option, index), QStyledItemDelegate().sizeHint(option, index));
            }
        }
    }

private Q_SLOTS:
    void sameHintsAsStyledDelegate()
    {
        QStandardItemModel model(0, 2);
        QSortFilterProxyModel sorted;
        sorted.setSourceModel(&model);
        QAbstractItemModelTester tester(&sorted, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QPixmap red(16, 16);
        red.fill(Qt::red);
        for (const char *text : {"b short", "a text\nwith two lines", "", "c a text long enough to wrap in a narrow column", "b short"}) {
            model.appendRow({new QStandardItem(text), new QStandardItem(QIcon(red), QString(text).left(3))});
        }
        QFont bold;
        bold.setBold(true);
        model.item(4, 0)->setFont(bold);
        model.item(4, 1)->setCheckable(true);
        model.item(4, 1)->setCheckState(Qt::Checked);
        QTableView view;
        view.setModel(&sorted);
        view.resize(500, 300);
        view.horizontalHeader()->resizeSection(0, 90);
        SizeHintMemoDelegate memo;
        quint64 revision = 1;
        memo.setContentRevision([&revision]() {
            return revision;
        });
        // Asked twice: the second round comes from the memo.
        compareAll(view, memo);
        const int remembered = memo.memoSize();
        compareAll(view, memo);
        QCOMPARE(memo.memoSize(), remembered);

        model.blockSignals(true);
        model.item(0, 0)->setText("b\nnow\nthree lines");
        model.item(1, 1)->setIcon(QIcon());
        model.blockSignals(false);
        ++revision;
        compareAll(view, memo);
        sorted.sort(0);
        compareAll(view, memo);
        sorted.sort(0, Qt::DescendingOrder);
        compareAll(view, memo);
        view.horizontalHeader()->resizeSection(0, 40);
        compareAll(view, memo);
        view.setWordWrap(false);
        compareAll(view, memo);
        model.item(1, 0)->setText("changed with a signal");
        model.appendRow({new QStandardItem("d new\nrow"), new QStandardItem("d")});
        compareAll(view, memo);
        model.item(2, 0)->setData(QSize(7, 9), Qt::SizeHintRole);
        compareAll(view, memo);
    }
};

QTEST_MAIN(SizeHintMemoDelegateTest)

#include "sizehintmemodelegatetest.moc"

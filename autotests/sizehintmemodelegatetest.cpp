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

private Q_SLOTS:
    void sameHintsAsStyledDelegate()
    {
        QStandardItemModel model(0, 2);
        QSortFilterProxyModel sorted;
        sorted.setSourceModel(&model);
        QAbstractItemModelTester tester(&sorted, QAbstractItemModelTester::FailureReportingMode::QtTest);
        for (const char *text : {"b short", "a text\nwith two lines", "", "c a text long enough to wrap in a narrow column", "b short"}) {
            model.appendRow({new QStandardItem(text), new QStandardItem(QIcon(QPixmap::fromImage(QImage(16, 16, QImage::Format_RGB32))), QString(text).left(3))});
        }
        model.item(4, 0)->setFont(QFont("Sans", 20, QFont::Bold));
        model.item(4, 1)->setCheckable(true);
        QTableView view;
        view.setModel(&sorted);
        view.resize(500, 300);
        view.horizontalHeader()->resizeSection(0, 90);
        SizeHintMemoDelegate memo;
        quint64 revision = 1;
        memo.setContentRevision([&revision]() {
            return revision;
        });
        // Every cell asked twice: the second round must come from the memo.
        const auto compareAll = [&]() {
            for (int round = 0; round < 2; ++round) {
                const int remembered = memo.memoSize();
                for (int cell = 0; cell < view.model()->rowCount() * 2; ++cell) {
                    const QModelIndex index = view.model()->index(cell / 2, cell % 2);
                    QStyleOptionViewItem option;
                    option.initFrom(view.viewport());
                    option.decorationSize = QSize(16, 16);
                    option.features = view.wordWrap() ? QStyleOptionViewItem::WrapText : QStyleOptionViewItem::None;
                    option.rect = view.visualRect(index);
                    option.widget = &view;
                    QCOMPARE(memo.sizeHint(option, index), QStyledItemDelegate().sizeHint(option, index));
                }
                QVERIFY(round == 0 || remembered == memo.memoSize());
            }
        };
        compareAll();
        model.blockSignals(true);
        model.item(0, 0)->setText("b\nnow\nthree lines");
        model.item(1, 1)->setIcon(QIcon());
        model.blockSignals(false);
        ++revision;
        compareAll();
        sorted.sort(0);
        compareAll();
        sorted.sort(0, Qt::DescendingOrder);
        compareAll();
        view.horizontalHeader()->resizeSection(0, 40);
        compareAll();
        view.setWordWrap(false);
        compareAll();
        model.item(1, 0)->setText("changed with a signal");
        model.appendRow({new QStandardItem("d new\nrow"), new QStandardItem("d")});
        model.item(2, 0)->setData(QSize(7, 9), Qt::SizeHintRole);
        compareAll();
    }
};

QTEST_MAIN(SizeHintMemoDelegateTest)

#include "sizehintmemodelegatetest.moc"

#include "remarks/sizehintmemodelegate.h"
#include "testhelpers.h"


#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>

// The memo must never give a hint the styled delegate would not give for the same cell.
class SizeHintMemoDelegateTest : public ZelTestCase
{
    Q_OBJECT

    static QStyleOptionViewItem optionFor(QTableView &view, const QModelIndex &index)
    {
        QStyleOptionViewItem option;
        option.initFrom(view.viewport());
        option.font = view.font();
        option.decorationSize = view.iconSize().isValid() ? view.iconSize() : QSize(16, 16);
        option.features = view.wordWrap() ? QStyleOptionViewItem::WrapText : QStyleOptionViewItem::None;
        option.rect = view.visualRect(index);
        option.widget = &view;
        return option;
    }

    static void compareAll(QTableView &view, const QStyledItemDelegate &plain, const SizeHintMemoDelegate &memo)
    {
        const QAbstractItemModel *model = view.model();
        for (int row = 0; row < model->rowCount(); ++row) {
            for (int column = 0; column < model->columnCount(); ++column) {
                const QModelIndex index = model->index(row, column);
                const QStyleOptionViewItem option = optionFor(view, index);
                QCOMPARE(memo.sizeHint(option, index), plain.sizeHint(option, index));
            }
        }
    }

private Q_SLOTS:
    void sameHintsAsStyledDelegate()
    {
        QStandardItemModel model(0, 2);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QPixmap red(16, 16);
        red.fill(Qt::red);
        const QStringList texts{QStringLiteral("one"),
                                QStringLiteral("two lines\nof text"),
                                QString(),
                                QStringLiteral("a much longer text that has to wrap in a narrow column"),
                                QStringLiteral("one")};
        for (const QString &text : texts) {
            auto *plainItem = new QStandardItem(text);
            auto *decorated = new QStandardItem(QIcon(red), text);
            model.appendRow({plainItem, decorated});
        }
        QFont bold;
        bold.setBold(true);
        model.item(4, 0)->setFont(bold);
        model.item(4, 1)->setCheckable(true);
        model.item(4, 1)->setCheckState(Qt::Checked);

        QTableView view;
        view.setModel(&model);
        view.resize(500, 300);
        view.horizontalHeader()->resizeSection(0, 80);
        QStyledItemDelegate plain;
        SizeHintMemoDelegate memo;
        // Asked twice: the second round comes from the memo.
        compareAll(view, plain, memo);
        const int remembered = memo.memoSize();
        compareAll(view, plain, memo);
        QCOMPARE(memo.memoSize(), remembered);

        // Changed contents and a changed column width while wrapping give new hints.
        model.item(0, 0)->setText(QStringLiteral("first\nsecond\nthird"));
        model.item(1, 1)->setIcon(QIcon());
        view.horizontalHeader()->resizeSection(0, 40);
        compareAll(view, plain, memo);
        view.setWordWrap(false);
        compareAll(view, plain, memo);

        model.item(2, 0)->setData(QSize(7, 9), Qt::SizeHintRole);
        QCOMPARE(memo.sizeHint(optionFor(view, model.index(2, 0)), model.index(2, 0)), QSize(7, 9));
    }

    // Hints kept by cell must follow contents that change without a signal (as the
    // remarks table's do) once the revision moves, a sort, and a new column width.
    void cellHintsFollowRevisionSortAndWidth()
    {
        QStandardItemModel model(0, 2);
        QSortFilterProxyModel sorted;
        sorted.setSourceModel(&model);
        QAbstractItemModelTester tester(&sorted, QAbstractItemModelTester::FailureReportingMode::QtTest);
        const QStringList texts{QStringLiteral("b short"),
                                QStringLiteral("a text\nwith two lines"),
                                QStringLiteral("c a text long enough to wrap in a narrow column")};
        for (const QString &text : texts) {
            model.appendRow({new QStandardItem(text), new QStandardItem(text.left(1))});
        }
        QTableView view;
        view.setModel(&sorted);
        view.resize(500, 300);
        view.horizontalHeader()->resizeSection(0, 90);
        QStyledItemDelegate plain;
        SizeHintMemoDelegate memo;
        quint64 revision = 1;
        memo.setContentRevision([&revision]() {
            return revision;
        });
        compareAll(view, plain, memo);

        model.blockSignals(true);
        model.item(0, 0)->setText(QStringLiteral("b\nnow\nthree lines"));
        model.blockSignals(false);
        ++revision;
        compareAll(view, plain, memo);

        sorted.sort(0);
        compareAll(view, plain, memo);
        sorted.sort(0, Qt::DescendingOrder);
        compareAll(view, plain, memo);

        view.horizontalHeader()->resizeSection(0, 40);
        compareAll(view, plain, memo);

        model.item(1, 0)->setText(QStringLiteral("changed with a signal"));
        compareAll(view, plain, memo);
        model.appendRow({new QStandardItem(QStringLiteral("d new\nrow")), new QStandardItem(QStringLiteral("d"))});
        compareAll(view, plain, memo);
    }
};

QTEST_MAIN(SizeHintMemoDelegateTest)

#include "sizehintmemodelegatetest.moc"

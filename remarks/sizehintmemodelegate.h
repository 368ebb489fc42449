#ifndef SIZEHINTMEMODELEGATE_H
#define SIZEHINTMEMODELEGATE_H

#include <QHash>
#include <QStyledItemDelegate>

#include <functional>
#include <memory>

class SizeHintMemoDelegatePrivate;

// Paints as the styled delegate does and gives the same size hints, but remembers each
// hint by everything the styled delegate's hint depends on. A table whose rows size to
// their contents lays out every multi-line cell again on each sort; with the hints
// remembered a sort only pays for the cells whose contents it has not seen.
class SizeHintMemoDelegate : public QStyledItemDelegate
{
public:
    explicit SizeHintMemoDelegate(QObject *parent = nullptr);
    ~SizeHintMemoDelegate() override;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // A view lays out every row on each geometry change; given a number that moves
    // whenever any cell may read differently, a cell's hint is kept by its place until
    // that number, the model's layout or the view's option changes.
    void setContentRevision(const std::function<quint64()> &revision);

    int memoSize() const;

private:
    QSize contentHint(const QStyleOptionViewItem &option, const QModelIndex &index) const;

    std::unique_ptr<SizeHintMemoDelegatePrivate> d;
};

#endif

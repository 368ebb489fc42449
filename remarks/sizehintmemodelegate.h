#ifndef SIZEHINTMEMODELEGATE_H
#define SIZEHINTMEMODELEGATE_H

#include <QHash>
#include <QStyledItemDelegate>

#include <functional>
#include <memory>

class SizeHintMemoDelegatePrivate;

// The styled delegate's size hints, remembered by all they depend on, so a sort of rows
// sized to their contents only lays out the cells it has not seen.
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

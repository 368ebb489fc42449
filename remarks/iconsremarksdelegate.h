#ifndef ICONSREMARKSDELEGATE_H
#define ICONSREMARKSDELEGATE_H

#include <QStyledItemDelegate>

#include <memory>

class IconsModel;
class IconsRemarksDelegatePrivate;

// Paints a name as usual, then the icon of its most severe remark right after it.
class IconsRemarksDelegate : public QStyledItemDelegate
{
public:
    IconsRemarksDelegate(const IconsModel *iconsModel, QObject *parent);
    ~IconsRemarksDelegate() override;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    std::unique_ptr<IconsRemarksDelegatePrivate> const d;
};

#endif

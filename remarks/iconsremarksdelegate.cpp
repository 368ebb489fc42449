#include "iconsremarksdelegate.h"

#include "catalogue/iconsmodel.h"

#include <QPainter>

class IconsRemarksDelegatePrivate
{
public:
    const IconsModel *iconsModel;
};

IconsRemarksDelegate::IconsRemarksDelegate(const IconsModel *iconsModel, QObject *parent)
    : QStyledItemDelegate(parent)
    , d(new IconsRemarksDelegatePrivate{iconsModel})
{
}

IconsRemarksDelegate::~IconsRemarksDelegate() = default;

QSize IconsRemarksDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.rwidth() += option.decorationSize.width();
    return size;
}

void IconsRemarksDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    painter->save();
    QStyledItemDelegate::paint(painter, option, index);
    painter->restore();

    if (!d->iconsModel) {
        return;
    }
    const int naturalWidth = QStyledItemDelegate::sizeHint(option, index).width();
    const QString name = index.data(Qt::DisplayRole).toString();
    const QPixmap pixmap = d->iconsModel->getMaxRemarkDialogIcon(name).pixmap(option.decorationSize, QIcon::Normal, QIcon::Off);
    const int y = (option.rect.height() - option.decorationSize.height()) / 2;

    painter->save();
    painter->translate(QPointF(option.rect.topLeft()));
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->drawPixmap(QRectF(naturalWidth, y, option.decorationSize.width(), option.decorationSize.height()), pixmap, QRectF(pixmap.rect()));
    painter->restore();
}

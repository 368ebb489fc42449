#include "sizehintmemodelegate.h"

#include <QApplication>
#include <QStyle>

class SizeHintMemoDelegatePrivate
{
public:
    QHash<QString, QSize> hints;
};

namespace
{
// Everything of an initialised option that the style's item size computation reads.
QString hintKey(const QStyleOptionViewItem &option)
{
    const QChar separator(0x1f);
    const bool wraps = option.features & QStyleOptionViewItem::WrapText;
    QString key;
    key.reserve(option.text.size() + 96);
    key += QString::number(option.icon.isNull() ? 0 : option.icon.cacheKey()) + separator + QString::number(option.decorationSize.width()) + QLatin1Char('x')
        + QString::number(option.decorationSize.height()) + separator + QString::number(int(option.decorationPosition)) + separator
        + QString::number(int(option.decorationAlignment)) + separator + QString::number(int(option.displayAlignment)) + separator
        + QString::number(int(option.features)) + separator + QString::number(int(option.checkState)) + separator + QString::number(int(option.textElideMode))
        + separator + QString::number(wraps ? option.rect.width() : -1) + separator + QString::number(option.direction) + separator
        + QString::number(int(option.state & QStyle::State_Selected)) + separator + option.font.key() + separator + option.text;
    return key;
}
}

SizeHintMemoDelegate::SizeHintMemoDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
    , d(new SizeHintMemoDelegatePrivate)
{
}

SizeHintMemoDelegate::~SizeHintMemoDelegate() = default;

QSize SizeHintMemoDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QVariant given = index.data(Qt::SizeHintRole);
    if (given.isValid()) {
        return given.toSize();
    }
    QStyleOptionViewItem initialised = option;
    initStyleOption(&initialised, index);
    const QStyle *style = initialised.widget ? initialised.widget->style() : QApplication::style();
    const QString key = QString::number(quintptr(style)) + QChar(0x1f) + hintKey(initialised);
    const auto known = d->hints.constFind(key);
    if (known != d->hints.constEnd()) {
        return *known;
    }
    const QSize hint = QStyledItemDelegate::sizeHint(option, index);
    d->hints.insert(key, hint);
    return hint;
}

int SizeHintMemoDelegate::memoSize() const
{
    return d->hints.size();
}

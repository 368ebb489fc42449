#include "sizehintmemodelegate.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QStyle>

namespace
{
// Everything of an initialised option that the style's item size computation reads.
struct HintKey {
    const QStyle *style;
    qint64 iconKey;
    QSize decorationSize;
    int decorationPosition;
    int decorationAlignment;
    int displayAlignment;
    int features;
    int checkState;
    int textElideMode;
    int wrapWidth;
    int direction;
    bool selected;
    QFont font;
    QString text;

    explicit HintKey(const QStyleOptionViewItem &option, const QStyle *optionStyle)
        : style(optionStyle)
        , iconKey(option.icon.isNull() ? 0 : option.icon.cacheKey())
        , decorationSize(option.decorationSize)
        , decorationPosition(option.decorationPosition)
        , decorationAlignment(int(option.decorationAlignment))
        , displayAlignment(int(option.displayAlignment))
        , features(int(option.features))
        , checkState(int(option.checkState))
        , textElideMode(int(option.textElideMode))
        , wrapWidth(option.features & QStyleOptionViewItem::WrapText ? option.rect.width() : -1)
        , direction(option.direction)
        , selected(option.state & QStyle::State_Selected)
        , font(option.font)
        , text(option.text)
    {
    }

    bool operator==(const HintKey &other) const
    {
        return style == other.style && iconKey == other.iconKey && decorationSize == other.decorationSize && decorationPosition == other.decorationPosition
            && decorationAlignment == other.decorationAlignment && displayAlignment == other.displayAlignment && features == other.features
            && checkState == other.checkState && textElideMode == other.textElideMode && wrapWidth == other.wrapWidth && direction == other.direction
            && selected == other.selected && text == other.text && font == other.font;
    }
};

uint qHash(const HintKey &key, uint seed = 0)
{
    // The text tells cells apart; the rest mostly repeats from cell to cell.
    return ::qHash(key.text, seed) ^ ::qHash(key.iconKey) ^ uint(key.wrapWidth) * 31U ^ uint(key.features) * 131U ^ uint(key.decorationSize.width()) << 8;
}

struct CellKey {
    int row;
    int column;
    quintptr internalId;
    bool operator==(const CellKey &other) const
    {
        return row == other.row && column == other.column && internalId == other.internalId;
    }
};

uint qHash(const CellKey &key, uint seed = 0)
{
    return ::qHash(key.row, seed) ^ uint(key.column) * 0x9e3779b9U ^ ::qHash(key.internalId);
}

// A cell's hint as the view asked for it: valid while the view's option, the model's
// layout and the content revision are the same.
struct CellHint {
    HintKey option;
    QLocale locale;
    quint64 revision;
    QSize hint;
};
}

class SizeHintMemoDelegatePrivate
{
public:
    void watch(const QAbstractItemModel *model, const QObject *context);

    QHash<HintKey, QSize> hints;
    std::function<quint64()> contentRevision;
    QHash<CellKey, CellHint> cells;
    const QAbstractItemModel *cellsModel = nullptr;
    QVector<QMetaObject::Connection> cellsConnections;
};

void SizeHintMemoDelegatePrivate::watch(const QAbstractItemModel *model, const QObject *context)
{
    for (const QMetaObject::Connection &connection : qAsConst(cellsConnections)) {
        QObject::disconnect(connection);
    }
    cellsConnections.clear();
    cells.clear();
    cellsModel = model;
    if (!model) {
        return;
    }
    const auto forget = [this]() {
        cells.clear();
    };
    cellsConnections = {
        QObject::connect(model, &QAbstractItemModel::dataChanged, context, forget),
        QObject::connect(model, &QAbstractItemModel::layoutChanged, context, forget),
        QObject::connect(model, &QAbstractItemModel::modelReset, context, forget),
        QObject::connect(model, &QAbstractItemModel::rowsInserted, context, forget),
        QObject::connect(model, &QAbstractItemModel::rowsRemoved, context, forget),
        QObject::connect(model, &QAbstractItemModel::rowsMoved, context, forget),
        QObject::connect(model, &QAbstractItemModel::columnsInserted, context, forget),
        QObject::connect(model, &QAbstractItemModel::columnsRemoved, context, forget),
        QObject::connect(model, &QAbstractItemModel::columnsMoved, context, forget),
        QObject::connect(model,
                         &QObject::destroyed,
                         context,
                         [this]() {
                             cells.clear();
                             cellsModel = nullptr;
                         }),
    };
}

SizeHintMemoDelegate::SizeHintMemoDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
    , d(new SizeHintMemoDelegatePrivate)
{
}

SizeHintMemoDelegate::~SizeHintMemoDelegate() = default;

void SizeHintMemoDelegate::setContentRevision(const std::function<quint64()> &revision)
{
    d->contentRevision = revision;
    d->watch(nullptr, this);
}

QSize SizeHintMemoDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (!d->contentRevision || !index.isValid()) {
        return contentHint(option, index);
    }
    if (index.model() != d->cellsModel) {
        d->watch(index.model(), this);
    }
    const quint64 revision = d->contentRevision();
    const QStyle *style = option.widget ? option.widget->style() : QApplication::style();
    const CellKey cell{index.row(), index.column(), index.internalId()};
    const HintKey asked(option, style);
    const auto known = d->cells.constFind(cell);
    if (known != d->cells.constEnd() && known->revision == revision && known->option == asked && known->locale == option.locale) {
        return known->hint;
    }
    const QSize hint = contentHint(option, index);
    d->cells.insert(cell, {asked, option.locale, revision, hint});
    return hint;
}

QSize SizeHintMemoDelegate::contentHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QVariant given = index.data(Qt::SizeHintRole);
    if (given.isValid()) {
        return given.toSize();
    }
    QStyleOptionViewItem initialised = option;
    initStyleOption(&initialised, index);
    const QStyle *style = initialised.widget ? initialised.widget->style() : QApplication::style();
    const HintKey key(initialised, style);
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

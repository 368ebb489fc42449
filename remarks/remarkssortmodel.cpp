#include "remarkssortmodel.h"

#include <QVector>

class RemarksSortModelPrivate
{
public:
    // Only while one sort runs: nothing the texts depend on can change meanwhile.
    QVector<QString> texts;
    int column = -1;
};

RemarksSortModel::RemarksSortModel(QObject *parent)
    : QSortFilterProxyModel(parent)
    , d(std::make_unique<RemarksSortModelPrivate>())
{
}

RemarksSortModel::~RemarksSortModel() = default;

void RemarksSortModel::sort(int column, Qt::SortOrder order)
{
    const QAbstractItemModel *source = sourceModel();
    if (source && column >= 0 && column < source->columnCount()) {
        const int rows = source->rowCount();
        d->texts.reserve(rows);
        for (int row = 0; row < rows; ++row) {
            d->texts.append(source->index(row, column).data(sortRole()).toString());
        }
        d->column = column;
    }
    QSortFilterProxyModel::sort(column, order);
    d->texts.clear();
    d->column = -1;
}

bool RemarksSortModel::lessThan(const QModelIndex &sourceLeft, const QModelIndex &sourceRight) const
{
    if (d->column < 0 || sourceLeft.column() != d->column || sourceRight.column() != d->column || sourceLeft.parent().isValid()
        || sourceLeft.row() >= d->texts.size() || sourceRight.row() >= d->texts.size()) {
        return QSortFilterProxyModel::lessThan(sourceLeft, sourceRight);
    }
    const QString &left = d->texts.at(sourceLeft.row());
    const QString &right = d->texts.at(sourceRight.row());
    // As the base compares two texts.
    if (isSortLocaleAware()) {
        return left.localeAwareCompare(right) < 0;
    }
    return QString::compare(left, right, sortCaseSensitivity()) < 0;
}

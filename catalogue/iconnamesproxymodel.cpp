#include "iconnamesproxymodel.h"

#include "catalogue/iconsmodel.h"

#include <algorithm>

namespace
{
// QString::compare's case-insensitive order. Over ASCII it folds A-Z alone, which is
// done here without its Unicode tables; any other character leaves it to QString.
bool lessIgnoringCase(const QString &left, const QString &right)
{
    const int common = std::min(left.size(), right.size());
    for (int i = 0; i < common; ++i) {
        ushort a = left.at(i).unicode();
        ushort b = right.at(i).unicode();
        if ((a | b) >= 0x80) {
            return left.compare(right, Qt::CaseInsensitive) < 0;
        }
        if (a >= 'A' && a <= 'Z') {
            a += 'a' - 'A';
        }
        if (b >= 'A' && b <= 'Z') {
            b += 'a' - 'A';
        }
        if (a != b) {
            return a < b;
        }
    }
    return left.size() < right.size();
}
}

IconNamesProxyModel::IconNamesProxyModel(QObject *parent)
    : QSortFilterProxyModel(parent)
{
}

void IconNamesProxyModel::setSourceModel(QAbstractItemModel *sourceModel)
{
    m_names = qobject_cast<const IconsModel *>(sourceModel);
    QSortFilterProxyModel::setSourceModel(sourceModel);
}

bool IconNamesProxyModel::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    if (!m_names || sortRole() != Qt::DisplayRole || isSortLocaleAware()) {
        return QSortFilterProxyModel::lessThan(left, right);
    }
    const QString &a = m_names->iconNameAt(left.row());
    const QString &b = m_names->iconNameAt(right.row());
    return sortCaseSensitivity() == Qt::CaseInsensitive ? lessIgnoringCase(a, b) : a < b;
}

#include "applicantssortfiltermodel.h"

#include "app/constants.h"
#include "applicants/applicantitem.h"

#include <QStandardItemModel>

#include <limits>

namespace
{
qint64 decimal(const QString &text)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok, 10);
    return ok ? value : 0;
}

int clampToInt(qint64 value)
{
    // Products are kept below the value that marks scalable so it always sorts last.
    constexpr qint64 ceiling = std::numeric_limits<int>::max() - 1;
    if (value > ceiling) {
        return int(ceiling);
    }
    if (value < 0) {
        return 0;
    }
    return int(value);
}

qint64 saturatedProduct(qint64 a, qint64 b)
{
    constexpr qint64 limit = std::numeric_limits<int>::max();
    a = qBound<qint64>(0, a, limit);
    b = qBound<qint64>(0, b, limit);
    return a * b;
}

// The pixel edge of a size text such as 48 or 48x48; 0 where there is none.
qint64 edgeTimesEdge(const QString &text)
{
    if (!text.contains(QLatin1Char('x'))) {
        const qint64 n = decimal(text);
        return saturatedProduct(n, n);
    }
    const QStringList parts = text.split(QLatin1Char('x'));
    return saturatedProduct(decimal(parts.value(0)), decimal(parts.value(1)));
}

// The sections of a row: its item's own, or read from its path where the source holds
// plain items.
const ApplicantItem::Sections &sectionsAt(const QStandardItemModel *items, const QModelIndex &index, ApplicantItem::Sections &own)
{
    const QStandardItem *item = items ? items->itemFromIndex(index) : nullptr;
    if (item && item->type() == ApplicantItem::Type) {
        return static_cast<const ApplicantItem *>(item)->sections();
    }
    own = ApplicantItem::sectionsOf(index.data(Qt::DisplayRole).toString());
    return own;
}
}

ApplicantsSortFilterModel::ApplicantsSortFilterModel(QObject *parent)
    : QSortFilterProxyModel(parent)
    , m_sortSectionsPolicy(allIconPathSections)
{
}

void ApplicantsSortFilterModel::setIconNameFilter(const QString &iconNameFilter)
{
    if (m_iconNameFilter == iconNameFilter) {
        return;
    }
    m_iconNameFilter = iconNameFilter;
    invalidate();
}

QString ApplicantsSortFilterModel::iconNameFilter() const
{
    return m_iconNameFilter;
}

void ApplicantsSortFilterModel::setSortSectionsPolicy(const QList<IconPathSection> &policy)
{
    if (m_sortSectionsPolicy == policy) {
        return;
    }
    m_sortSectionsPolicy = policy;
    invalidate();
}

QList<IconPathSection> ApplicantsSortFilterModel::sortSectionsPolicy() const
{
    return m_sortSectionsPolicy;
}

QString ApplicantsSortFilterModel::getIconPathSectionText(const QString &path, IconPathSection section)
{
    return section >= MainPath && section <= Name ? ApplicantItem::sectionsOf(path).text(section).toString() : QString();
}

int ApplicantsSortFilterModel::getIconArea(const QString &sizeText)
{
    if (sizeText == QLatin1String("scalable")) {
        return std::numeric_limits<int>::max();
    }
    const int at = sizeText.indexOf(QLatin1Char('@'));
    if (at < 0) {
        return clampToInt(edgeTimesEdge(sizeText));
    }

    // N@S, N@Sx and WxH@Sx: the base edge grows by the scale, so 16@2x lands between 16 and 22
    // and 16x16@2x sorts with 16@2x. A base that is WxH counts by its larger edge.
    const QString base = sizeText.left(at);
    qint64 edge = 0;
    if (base.contains(QLatin1Char('x'))) {
        const QStringList parts = base.split(QLatin1Char('x'));
        edge = qMax(decimal(parts.value(0)), decimal(parts.value(1)));
    } else {
        edge = decimal(base);
    }
    if (!sizeText.endsWith(QLatin1Char('x'))) {
        return clampToInt(saturatedProduct(edge, edge));
    }
    const QString scaled = sizeText.left(sizeText.size() - 1);
    const qint64 scale = decimal(scaled.split(QLatin1Char('@')).value(1));
    const qint64 grown = qBound<qint64>(0, edge, std::numeric_limits<int>::max()) + qBound<qint64>(0, scale, std::numeric_limits<int>::max());
    return clampToInt(saturatedProduct(grown, grown));
}

bool ApplicantsSortFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    if (m_iconNameFilter.isEmpty() || !sourceModel()) {
        return QSortFilterProxyModel::filterAcceptsRow(sourceRow, sourceParent);
    }
    const QModelIndex index = sourceModel()->index(sourceRow, 0, sourceParent);
    if (!index.isValid()) {
        return QSortFilterProxyModel::filterAcceptsRow(sourceRow, sourceParent);
    }
    ApplicantItem::Sections own;
    return sectionsAt(qobject_cast<const QStandardItemModel *>(sourceModel()), index, own).text(Name) == m_iconNameFilter;
}

bool ApplicantsSortFilterModel::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    if (m_sortSectionsPolicy.isEmpty() || !left.isValid() || !right.isValid()) {
        return QSortFilterProxyModel::lessThan(left, right);
    }
    const auto *items = qobject_cast<const QStandardItemModel *>(sourceModel());
    ApplicantItem::Sections leftOwn;
    ApplicantItem::Sections rightOwn;
    const ApplicantItem::Sections &leftSections = sectionsAt(items, left, leftOwn);
    const ApplicantItem::Sections &rightSections = sectionsAt(items, right, rightOwn);
    for (IconPathSection section : m_sortSectionsPolicy) {
        if (section < MainPath || section > Name) {
            continue;
        }
        const int order = leftSections.text(section).compare(rightSections.text(section));
        if (order != 0) {
            return section == Size ? leftSections.area < rightSections.area : order < 0;
        }
    }
    return false;
}

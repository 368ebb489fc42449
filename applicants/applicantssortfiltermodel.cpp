#include "applicantssortfiltermodel.h"

#include "app/constants.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <limits>

namespace
{
const QRegularExpression &sizeDirectoryExpression()
{
    static const QRegularExpression expression(QStringLiteral("^[\\d\\@x]+$"));
    return expression;
}

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
}

ApplicantsSortFilterModel::ApplicantsSortFilterModel(QObject *parent)
    : QSortFilterProxyModel(parent)
    , m_sortSectionsPolicy(allIconPathSections)
{
}

ApplicantsSortFilterModel::~ApplicantsSortFilterModel() = default;

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
    const QFileInfo info(path);
    if (section == Name) {
        return info.baseName();
    }
    // Upwards by the text of the path alone: the folders need not exist on this machine.
    QString dir = info.dir().absolutePath();
    if (!dir.startsWith(QLatin1String("/usr/share/"))) {
        return QString();
    }
    const auto up = [](const QString &path) {
        const QString parent = QFileInfo(path).path();
        return parent.isEmpty() ? QStringLiteral("/") : parent;
    };
    const auto nameOf = [](const QString &path) {
        return QFileInfo(path).fileName();
    };

    const bool fileDirIsSize = sizeDirectoryExpression().match(nameOf(dir)).hasMatch();
    QString sizeText;
    QString categoryText;
    if (fileDirIsSize) {
        sizeText = nameOf(dir);
        dir = up(dir);
        categoryText = nameOf(dir);
    } else {
        categoryText = nameOf(dir);
        dir = up(dir);
        sizeText = nameOf(dir);
    }
    dir = up(dir);
    const QString themeText = nameOf(dir);
    dir = up(dir);

    switch (section) {
    case Size:
        return sizeText;
    case Category:
        return categoryText;
    case Theme:
        return themeText;
    case MainPath:
        return dir;
    default:
        return QString();
    }
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
    return QFileInfo(index.data(Qt::DisplayRole).toString()).baseName() == m_iconNameFilter;
}

bool ApplicantsSortFilterModel::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    if (m_sortSectionsPolicy.isEmpty() || !left.isValid() || !right.isValid()) {
        return QSortFilterProxyModel::lessThan(left, right);
    }
    const QString leftPath = left.data(Qt::DisplayRole).toString();
    const QString rightPath = right.data(Qt::DisplayRole).toString();
    for (IconPathSection section : m_sortSectionsPolicy) {
        const QString leftText = getIconPathSectionText(leftPath, section);
        const QString rightText = getIconPathSectionText(rightPath, section);
        if (leftText == rightText) {
            continue;
        }
        if (section == Size) {
            return getIconArea(leftText) < getIconArea(rightText);
        }
        return leftText < rightText;
    }
    return false;
}

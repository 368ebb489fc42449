#include "applicantssortfiltermodel.h"

#include "app/constants.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringView>
#include <QVector>

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

// A row's sections, worked out once: a sort compares each row some twenty times.
// For a clean absolute path they are places in the path itself.
struct ApplicantSortKey {
    bool made = false;
    QString path;
    int from[5] = {};
    int length[5] = {};
    QStringList owned; // the sections themselves, for a path the quick split does not take
    int area = 0;

    QStringView section(int section) const
    {
        return owned.isEmpty() ? QStringView(path).mid(from[section], length[section]) : QStringView(owned.at(section));
    }
};

class ApplicantsSortFilterModelPrivate
{
public:
    // By source row. The source's signals reach this before the proxy's own handling,
    // which may compare the rows they name, so no key outlives its row's text.
    QVector<ApplicantSortKey> keys;
    QList<QMetaObject::Connection> connections;

    const ApplicantSortKey &key(const QAbstractItemModel *source, int row);
    static void split(ApplicantSortKey &key);
};

namespace
{
bool isSizeDirectoryName(QStringView name)
{
    // As the pattern ^[\d@x]+$ matches: its $ also matches before a final line feed.
    if (name.size() > 1 && name.endsWith(QLatin1Char('\n'))) {
        name.chop(1);
    }
    if (name.isEmpty()) {
        return false;
    }
    for (QChar c : name) {
        // The pattern's \d is ASCII only: the toolkit's expressions are not Unicode-aware by default.
        if ((c < QLatin1Char('0') || c > QLatin1Char('9')) && c != QLatin1Char('@') && c != QLatin1Char('x')) {
            return false;
        }
    }
    return true;
}

// Absolute, without empty, "." or ".." parts: the text the toolkit's file info would
// give back unchanged when it cleans the path.
bool isCleanAbsolute(const QString &path)
{
    if (!path.startsWith(QLatin1Char('/')) || path.size() < 2 || path.endsWith(QLatin1Char('/'))) {
        return false;
    }
    int partStart = 1;
    for (int i = 1; i <= path.size(); ++i) {
        if (i == path.size() || path.at(i) == QLatin1Char('/')) {
            const QStringView part = QStringView(path).mid(partStart, i - partStart);
            if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String("..")) {
                return false;
            }
            partStart = i + 1;
        }
    }
    return true;
}
}

void ApplicantsSortFilterModelPrivate::split(ApplicantSortKey &key)
{
    const QString &path = key.path;
    if (!isCleanAbsolute(path)) {
        for (IconPathSection section : allIconPathSections) {
            key.owned.append(ApplicantsSortFilterModel::getIconPathSectionText(path, section));
        }
        key.area = ApplicantsSortFilterModel::getIconArea(key.owned.at(Size));
        return;
    }
    const auto place = [&key](IconPathSection section, int from, int length) {
        key.from[section] = from;
        key.length[section] = length;
    };
    const int nameStart = path.lastIndexOf(QLatin1Char('/')) + 1;
    const int dot = path.indexOf(QLatin1Char('.'), nameStart);
    place(Name, nameStart, (dot < 0 ? path.size() : dot) - nameStart);

    // The folder, then upwards by one part at a time; above the root stays the root.
    int end = nameStart - 1; // the folder is path[0, end), "/" when end is 0
    if (!QStringView(path).left(end).startsWith(QLatin1String("/usr/share/"))) {
        key.area = ApplicantsSortFilterModel::getIconArea(QString());
        return;
    }
    const auto nameOf = [&path](int end, int &from) {
        from = end <= 0 ? 0 : path.lastIndexOf(QLatin1Char('/'), end - 1) + 1;
        return end <= 0 ? 0 : end - from;
    };
    const auto up = [&path](int end) {
        return end <= 0 ? 0 : path.lastIndexOf(QLatin1Char('/'), end - 1);
    };
    int from = 0;
    int length = nameOf(end, from);
    if (isSizeDirectoryName(QStringView(path).mid(from, length))) {
        place(Size, from, length);
        end = up(end);
        length = nameOf(end, from);
        place(Category, from, length);
    } else {
        place(Category, from, length);
        end = up(end);
        length = nameOf(end, from);
        place(Size, from, length);
    }
    end = up(end);
    length = nameOf(end, from);
    place(Theme, from, length);
    end = up(end);
    place(MainPath, 0, end <= 0 ? 1 : end);
    key.area = ApplicantsSortFilterModel::getIconArea(key.section(Size).toString());
}

const ApplicantSortKey &ApplicantsSortFilterModelPrivate::key(const QAbstractItemModel *source, int row)
{
    if (row >= keys.size()) {
        keys.resize(source->rowCount());
    }
    ApplicantSortKey &key = keys[row];
    if (!key.made) {
        key.path = source->index(row, 0).data(Qt::DisplayRole).toString();
        split(key);
        key.made = true;
    }
    return key;
}

ApplicantsSortFilterModel::ApplicantsSortFilterModel(QObject *parent)
    : QSortFilterProxyModel(parent)
    , m_sortSectionsPolicy(allIconPathSections)
    , d(std::make_unique<ApplicantsSortFilterModelPrivate>())
{
}

void ApplicantsSortFilterModel::setSourceModel(QAbstractItemModel *source)
{
    for (const QMetaObject::Connection &connection : qAsConst(d->connections)) {
        disconnect(connection);
    }
    d->connections.clear();
    d->keys.clear();
    if (source) {
        const auto forgetAll = [this]() {
            d->keys.clear();
        };
        d->connections << connect(source, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex &parent, int first, int last) {
            if (!parent.isValid() && first <= d->keys.size()) {
                d->keys.insert(first, last - first + 1, ApplicantSortKey());
            }
        });
        d->connections << connect(source, &QAbstractItemModel::rowsRemoved, this, [this](const QModelIndex &parent, int first, int last) {
            if (!parent.isValid() && first < d->keys.size()) {
                d->keys.remove(first, qMin(last, d->keys.size() - 1) - first + 1);
            }
        });
        d->connections << connect(source, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex &topLeft, const QModelIndex &bottomRight) {
            for (int row = topLeft.row(); row <= bottomRight.row() && row < d->keys.size(); ++row) {
                d->keys[row] = ApplicantSortKey();
            }
        });
        d->connections << connect(source, &QAbstractItemModel::modelReset, this, forgetAll);
        d->connections << connect(source, &QAbstractItemModel::layoutChanged, this, forgetAll);
        d->connections << connect(source, &QAbstractItemModel::rowsMoved, this, forgetAll);
    }
    QSortFilterProxyModel::setSourceModel(source);
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
    return sourceParent.isValid() ? QFileInfo(index.data(Qt::DisplayRole).toString()).baseName() == m_iconNameFilter
                                  : d->key(sourceModel(), sourceRow).section(Name) == m_iconNameFilter;
}

bool ApplicantsSortFilterModel::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    if (m_sortSectionsPolicy.isEmpty() || !left.isValid() || !right.isValid()) {
        return QSortFilterProxyModel::lessThan(left, right);
    }
    if (left.parent().isValid() || right.parent().isValid()) {
        return QSortFilterProxyModel::lessThan(left, right);
    }
    const ApplicantSortKey &leftKey = d->key(sourceModel(), left.row());
    const ApplicantSortKey &rightKey = d->key(sourceModel(), right.row());
    for (IconPathSection section : m_sortSectionsPolicy) {
        if (section < MainPath || section > Name) {
            continue;
        }
        const QStringView leftText = leftKey.section(section);
        const QStringView rightText = rightKey.section(section);
        const int order = leftText.compare(rightText, Qt::CaseSensitive);
        if (order == 0) {
            continue;
        }
        if (section == Size) {
            return leftKey.area < rightKey.area;
        }
        return order < 0;
    }
    return false;
}

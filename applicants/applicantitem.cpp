#include "applicantitem.h"

#include "applicants/applicantssortfiltermodel.h"
#include "catalogue/iconfileguard.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace
{
// As the pattern ^[\d@x]+$ matches, ASCII digits only; its $ also matches before a final
// line feed.
bool isSizeDirectoryName(QStringView name)
{
    if (name.size() > 1 && name.endsWith(QLatin1Char('\n'))) {
        name.chop(1);
    }
    return !name.isEmpty() && std::all_of(name.begin(), name.end(), [](QChar c) {
        return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('@') || c == QLatin1Char('x');
    });
}

// Absolute, without empty, "." or ".." parts: what QDir would give back unchanged.
bool isCleanAbsolute(const QString &path)
{
    if (!path.startsWith(QLatin1Char('/')) || path.size() < 2 || path.endsWith(QLatin1Char('/'))) {
        return false;
    }
    for (int start = 1; start <= path.size();) {
        const int end = path.indexOf(QLatin1Char('/'), start);
        const QStringView part = QStringView(path).mid(start, (end < 0 ? path.size() : end) - start);
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String("..")) {
            return false;
        }
        start = end < 0 ? path.size() + 1 : end + 1;
    }
    return true;
}
}

ApplicantItem::Sections ApplicantItem::sectionsOf(const QString &path)
{
    Sections sections;
    const QString fileName = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    if (isCleanAbsolute(path)) {
        sections.path = path;
    } else {
        const QString dir = QFileInfo(path).dir().absolutePath();
        sections.path = (dir == QLatin1String("/") ? QString() : dir) + QLatin1Char('/') + fileName;
    }
    const QString &base = sections.path;
    const auto place = [&sections](int section, int from, int length) {
        sections.from[section] = from;
        sections.length[section] = length;
    };
    const int nameStart = base.lastIndexOf(QLatin1Char('/')) + 1;
    const int dot = base.indexOf(QLatin1Char('.'), nameStart);
    place(Name, nameStart, (dot < 0 ? base.size() : dot) - nameStart);
    // Upwards by the text alone, the folders need not exist here; above the root stays
    // the root. A folder is base[0, end), the root where end is 0.
    int end = nameStart - 1;
    if (QStringView(base).left(end).startsWith(QLatin1String("/usr/share/"))) {
        const auto climb = [&base, &end, &place](int section) {
            const int from = end <= 0 ? 0 : base.lastIndexOf(QLatin1Char('/'), end - 1) + 1;
            place(section, from, end - from);
            end = end <= 0 ? 0 : from - 1;
        };
        const int firstFrom = base.lastIndexOf(QLatin1Char('/'), end - 1) + 1;
        const bool firstIsSize = isSizeDirectoryName(QStringView(base).mid(firstFrom, end - firstFrom));
        climb(firstIsSize ? Size : Category);
        climb(firstIsSize ? Category : Size);
        climb(Theme);
        place(MainPath, 0, end <= 0 ? 1 : end);
    }
    sections.area = ApplicantsSortFilterModel::getIconArea(sections.text(Size).toString());
    return sections;
}

ApplicantItem::ApplicantItem(const QString &path)
    : QStandardItem(path)
    , m_sections(sectionsOf(path))
{
    setToolTip(path);
}

int ApplicantItem::type() const
{
    return Type;
}

const ApplicantItem::Sections &ApplicantItem::sections() const
{
    return m_sections;
}

QVariant ApplicantItem::data(int role) const
{
    if (role != Qt::DecorationRole) {
        return QStandardItem::data(role);
    }
    if (!m_iconMade) {
        if (IconFileGuard::isDecodable(text())) {
            m_icon = QIcon(text());
        }
        m_iconMade = true;
    }
    return m_icon;
}

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
    const auto parts = QStringView(path).mid(1).split(QLatin1Char('/'));
    return std::none_of(parts.cbegin(), parts.cend(), [](QStringView part) {
        return part.isEmpty() || part == QLatin1String(".") || part == QLatin1String("..");
    });
}
}

ApplicantItem::Sections ApplicantItem::sectionsOf(const QString &path)
{
    Sections sections;
    const QString fileName = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    sections.text[Name] = fileName.left(fileName.indexOf(QLatin1Char('.')));
    // The file's folder, absolute and clean as QDir gives it; most paths already are.
    QString dir = isCleanAbsolute(path) ? path.left(qMax(1, path.lastIndexOf(QLatin1Char('/')))) : QFileInfo(path).dir().absolutePath();
    if (dir.startsWith(QLatin1String("/usr/share/"))) {
        // Upwards by the text alone, the folders need not exist here; above the root stays the root.
        const auto climb = [&dir]() {
            const int slash = dir.lastIndexOf(QLatin1Char('/'));
            const QString last = dir.mid(slash + 1);
            dir = slash <= 0 ? QStringLiteral("/") : dir.left(slash);
            return last;
        };
        const QString first = climb();
        const bool firstIsSize = isSizeDirectoryName(first);
        sections.text[firstIsSize ? Size : Category] = first;
        sections.text[firstIsSize ? Category : Size] = climb();
        sections.text[Theme] = climb();
        sections.text[MainPath] = dir;
    }
    sections.area = ApplicantsSortFilterModel::getIconArea(sections.text[Size]);
    return sections;
}

ApplicantItem::ApplicantItem(const QString &path)
    : QStandardItem(path)
    , m_sections(sectionsOf(path))
{
    setToolTip(path);
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

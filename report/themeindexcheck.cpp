#include "themeindexcheck.h"

#include "catalogue/directorylisting.h"
#include "report/themefilecheck.h"

#include <KLocalizedString>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIcon>
#include <QMap>
#include <QSet>
#include <QSettings>

#include <algorithm>
#include <functional>

namespace
{
const QString hicolor = QStringLiteral("hicolor");

QStringList listValue(const QSettings &index, const QString &key)
{
    QStringList values = index.value(key).toStringList();
    values.removeAll(QString());
    return values;
}

// What a theme's index.theme names under Inherits; nothing for a theme not found.
QStringList namedParents(const QString &themeName)
{
    const QString path = ThemeIndexCheck::indexPath(themeName);
    return path.isEmpty() || QFileInfo(path).size() > ThemeIndexCheck::maximumIndexBytes
        ? QStringList()
        : listValue(QSettings(path, QSettings::IniFormat), QStringLiteral("Icon Theme/Inherits"));
}

// Each check's remarks listed up to a count: a theme can have millions of folders.
class Remarks
{
public:
    void add(const QString &check, const QString &text)
    {
        if (++m_counts[check] <= ThemeIndexCheck::remarksOfAKind) {
            m_entry.add(check, text);
        }
    }
    void finish(ThemeReport::Entry &entry)
    {
        for (auto it = m_counts.cbegin(); it != m_counts.cend(); ++it) {
            if (it.value() > ThemeIndexCheck::remarksOfAKind) {
                m_entry.add(it.key(),
                            i18nd("zel-find-qicon",
                                  "%1 more remarks of the same kind as one of those above are not listed.",
                                  QString::number(it.value() - ThemeIndexCheck::remarksOfAKind)));
            }
        }
        for (int i = 0; i < m_entry.remarks.size(); ++i) {
            entry.add(m_entry.checks.at(i), m_entry.remarks.at(i).second);
        }
    }

private:
    QMap<QString, int> m_counts;
    ThemeReport::Entry m_entry;
};

// The theme's folders walked once each: what a visitor meets (a link that leads out of
// them is met, not followed), and the folders it cannot read as remarks, named relative
// to the folder they are in.
using Visit = std::function<void(const QString &root, const QByteArray &dirPath, const DirectoryListing::Entry &entry, bool leaves)>;
void walkFolders(const QStringList &folders, Remarks &remarks, const Visit &visit)
{
    QStringList canonical;
    for (const QString &folder : folders) {
        canonical.append(QFileInfo(folder).canonicalFilePath());
    }
    for (const QString &root : folders) {
        const QByteArray rootBytes = QFile::encodeName(root);
        const auto relative = [&rootBytes](const QByteArray &path) {
            return QFile::decodeName(path.mid(rootBytes.size() + 1));
        };
        DirectoryListing::Visitor visitor;
        visitor.entersLink = [&](const QByteArray &path) {
            const bool inside = ThemeFileCheck::isInside(path, canonical);
            if (inside) {
                const int slash = path.lastIndexOf('/');
                visit(root, path.left(slash), DirectoryListing::Entry{path.mid(slash + 1), DirectoryListing::Kind::Dir, true}, false);
            }
            return inside;
        };
        visitor.unreadable = [&](const QByteArray &dirPath) {
            remarks.add(QStringLiteral("unreadable-folder"),
                        i18nd("zel-find-qicon", "The folder %1 cannot be read: no lookup finds its icons.", dirPath == rootBytes ? root : relative(dirPath)));
        };
        visitor.entry = [&](const QByteArray &dirPath, const DirectoryListing::Entry &entry) {
            const bool leaves = entry.symlink && entry.kind != DirectoryListing::Kind::Broken
                && !ThemeFileCheck::isInside(DirectoryListing::childPath(dirPath, entry.name), canonical);
            visit(root, dirPath, entry, leaves);
        };
        DirectoryListing::walk(rootBytes, DirectoryListing::Mode::EachDirectoryOnce, visitor);
    }
}

void checkSection(const QSettings &index, const QString &folder, QHash<QString, QString> &scaleOne, Remarks &remarks)
{
    const QString type = index.value(folder + QStringLiteral("/Type"), QStringLiteral("Threshold")).toString();
    bool sized = false;
    const int size = index.value(folder + QStringLiteral("/Size")).toInt(&sized);
    if (!sized) {
        remarks.add(QStringLiteral("folder-without-size"), i18nd("zel-find-qicon", "The folder %1 has no Size.", folder));
    }
    if (type != QLatin1String("Fixed") && type != QLatin1String("Scalable") && type != QLatin1String("Threshold")) {
        remarks.add(QStringLiteral("unknown-type"), i18nd("zel-find-qicon", "The folder %1 has the unknown Type %2.", folder, type));
    }
    if (index.contains(folder + QStringLiteral("/Threshold")) && type != QLatin1String("Threshold")) {
        remarks.add(QStringLiteral("unused-key"),
                    i18nd("zel-find-qicon", "The folder %1 sets %2, which its Type %3 does not use.", folder, QStringLiteral("Threshold"), type));
    }
    for (const QString &key : {QStringLiteral("MinSize"), QStringLiteral("MaxSize")}) {
        if (index.contains(folder + QLatin1Char('/') + key) && type != QLatin1String("Scalable")) {
            remarks.add(QStringLiteral("unused-key"), i18nd("zel-find-qicon", "The folder %1 sets %2, which its Type %3 does not use.", folder, key, type));
        }
    }
    if (type == QLatin1String("Scalable") && sized) {
        const int minimum = index.value(folder + QStringLiteral("/MinSize"), size).toInt();
        const int maximum = index.value(folder + QStringLiteral("/MaxSize"), size).toInt();
        if (minimum > size || maximum < size) {
            remarks.add(QStringLiteral("size-range-leaves-size"),
                        i18nd("zel-find-qicon",
                              "The folder %1 has sizes %2 to %3, which leave out its Size %4.",
                              folder,
                              QString::number(minimum),
                              QString::number(maximum),
                              QString::number(size)));
        }
    }
    if (index.value(folder + QStringLiteral("/Scale"), 1).toInt() == 1) {
        scaleOne.insert(QString::number(size) + QLatin1Char('/') + index.value(folder + QStringLiteral("/Context")).toString(), folder);
    }
}

// Folders holding icon files that index.theme does not list: no lookup finds them.
void checkUnlisted(const QStringList &folders, const QStringList &listed, const QStringList &iconSuffixes, Remarks &remarks)
{
    QSet<QString> withIcons;
    // Links out and unreadable folders are the scan's to tell, once.
    Remarks scanRemarks;
    walkFolders(folders, scanRemarks, [&](const QString &root, const QByteArray &dirPath, const DirectoryListing::Entry &entry, bool leaves) {
        const QString folder = QFile::decodeName(dirPath).mid(root.size() + 1);
        if (!leaves && !folder.isEmpty() && entry.kind == DirectoryListing::Kind::File
            && iconSuffixes.contains(QFileInfo(QFile::decodeName(entry.name)).suffix())) {
            withIcons.insert(folder);
        }
    });
    QStringList unlisted = (withIcons - QSet<QString>(listed.cbegin(), listed.cend())).values();
    unlisted.sort();
    for (const QString &folder : qAsConst(unlisted)) {
        remarks.add(QStringLiteral("unlisted-folder"),
                    i18nd("zel-find-qicon", "The folder %1 holds icon files, but index.theme does not list it: no lookup finds them.", folder));
    }
}

void checkListed(const QSettings &index, const QStringList &listed, const QStringList &folders, Remarks &remarks)
{
    QHash<QString, QString> scaleOne;
    for (const QString &folder : listed) {
        const bool exists = std::any_of(folders.cbegin(), folders.cend(), [&folder](const QString &base) {
            return QFileInfo(base + QLatin1Char('/') + folder).isDir();
        });
        if (!exists) {
            remarks.add(QStringLiteral("missing-folder"), i18nd("zel-find-qicon", "The folder %1 listed in index.theme does not exist.", folder));
        }
        checkSection(index, folder, scaleOne, remarks);
    }
    for (const QString &folder : listed) {
        const int scale = index.value(folder + QStringLiteral("/Scale"), 1).toInt();
        const QString key =
            index.value(folder + QStringLiteral("/Size")).toString() + QLatin1Char('/') + index.value(folder + QStringLiteral("/Context")).toString();
        if (scale > 1 && !scaleOne.contains(key)) {
            remarks.add(
                QStringLiteral("scale-without-base"),
                i18nd("zel-find-qicon", "The folder %1 has Scale %2, but no folder of its Size and Context has scale 1.", folder, QString::number(scale)));
        }
    }
}

void checkParents(const QString &themeName, Remarks &remarks)
{
    const QStringList parents = namedParents(themeName);
    for (const QString &parent : parents) {
        if (!ThemeIndexCheck::isFound(parent)) {
            remarks.add(QStringLiteral("missing-parent"), i18nd("zel-find-qicon", "The inherited theme %1 is not found in the theme search paths.", parent));
        }
    }
    if (themeName == hicolor) {
        return;
    }
    // The toolkit adds hicolor to every chain; freedesktop's icon theme rules ask the theme to name it.
    QStringList seen{themeName};
    for (QStringList pending = parents; !pending.isEmpty();) {
        const QString theme = pending.takeFirst();
        if (theme == hicolor) {
            return;
        }
        if (!seen.contains(theme)) {
            seen.append(theme);
            pending += namedParents(theme);
        }
    }
    remarks.add(QStringLiteral("no-hicolor"), i18nd("zel-find-qicon", "The theme does not inherit hicolor, directly or through its parents."));
}
}

QStringList ThemeIndexCheck::themeFolders(const QString &themeName)
{
    QStringList folders;
    if (themeName.isEmpty()) {
        return folders;
    }
    const QStringList searchPaths = QIcon::themeSearchPaths();
    for (const QString &searchPath : searchPaths) {
        const QString folder = QDir(searchPath).filePath(themeName);
        if (QFileInfo(folder).isDir() && !folders.contains(folder)) {
            folders.append(folder);
        }
    }
    return folders;
}

QString ThemeIndexCheck::indexPath(const QString &themeName)
{
    const QStringList folders = themeFolders(themeName);
    for (const QString &folder : folders) {
        const QString path = folder + QStringLiteral("/index.theme");
        if (QFileInfo(path).isFile()) {
            return path;
        }
    }
    return QString();
}

QStringList ThemeIndexCheck::listedFolders(const QString &themeFolder)
{
    const QString path = themeFolder + QStringLiteral("/index.theme");
    if (!QFileInfo(path).isFile() || QFileInfo(path).size() > maximumIndexBytes) {
        return QStringList();
    }
    const QSettings index(path, QSettings::IniFormat);
    QStringList listed = listValue(index, QStringLiteral("Icon Theme/Directories")) + listValue(index, QStringLiteral("Icon Theme/ScaledDirectories"));
    listed.removeDuplicates();
    return listed.join(QLatin1Char(',')).size() > maximumDirectoriesLength ? QStringList() : listed;
}

bool ThemeIndexCheck::isFound(const QString &themeName)
{
    return !indexPath(themeName).isEmpty();
}

QStringList ThemeIndexCheck::lookupChain(const QString &themeName)
{
    QStringList chain;
    std::function<void(const QString &)> visit = [&](const QString &theme) {
        if (chain.contains(theme)) {
            return;
        }
        chain.append(theme);
        if (!ThemeIndexCheck::isFound(theme)) {
            return;
        }
        QStringList parents = namedParents(theme);
        if (parents.isEmpty() && !QIcon::fallbackThemeName().isEmpty()) {
            parents.append(QIcon::fallbackThemeName());
        }
        if (!parents.contains(hicolor)) {
            parents.append(hicolor);
        }
        for (const QString &parent : qAsConst(parents)) {
            visit(parent);
        }
    };
    visit(themeName);
    return chain;
}

bool ThemeIndexCheck::isOversized(const QString &themeName)
{
    const QString path = indexPath(themeName);
    if (path.isEmpty()) {
        return false;
    }
    if (QFileInfo(path).size() > maximumIndexBytes) {
        return true;
    }
    const QSettings index(path, QSettings::IniFormat);
    return index.value(QStringLiteral("Icon Theme/Directories")).toStringList().join(QLatin1Char(',')).size() > maximumDirectoriesLength;
}

void ThemeIndexCheck::check(const QString &themeName, const QStringList &iconSuffixes, ThemeReport::Entry &entry)
{
    Remarks remarks;
    const QString path = indexPath(themeName);
    if (path.isEmpty()) {
        return;
    }
    if (isOversized(themeName)) {
        remarks.add(QStringLiteral("index-oversized"),
                    i18nd("zel-find-qicon",
                          "index.theme is past what any theme needs (%1 bytes in all, %2 characters of Directories): every lookup would try each "
                          "folder it lists. Its folders and icons are not examined.",
                          QString::number(maximumIndexBytes),
                          QString::number(maximumDirectoriesLength)));
        return remarks.finish(entry);
    }
    const QSettings index(path, QSettings::IniFormat);
    QStringList listed = listValue(index, QStringLiteral("Icon Theme/Directories"));
    listed += listValue(index, QStringLiteral("Icon Theme/ScaledDirectories"));
    listed.removeDuplicates();
    const QStringList folders = themeFolders(themeName);
    checkUnlisted(folders, listed, iconSuffixes, remarks);
    checkListed(index, listed, folders, remarks);
    checkParents(themeName, remarks);
    remarks.finish(entry);
}

QStringList ThemeIndexCheck::iconNames(const QStringList &folders, const QStringList &iconSuffixes, ThemeReport::Entry &scanRemarks, ThemeFileCheck *fileCheck)
{
    Remarks remarks;
    QSet<QString> names;
    walkFolders(folders, remarks, [&](const QString &root, const QByteArray &dirPath, const DirectoryListing::Entry &entry, bool leaves) {
        if (fileCheck) {
            fileCheck->add(root, dirPath, entry);
        }
        const QString name = QFile::decodeName(entry.name);
        const int dot = name.lastIndexOf(QLatin1Char('.'));
        if (!leaves && entry.kind == DirectoryListing::Kind::File && dot > 0 && iconSuffixes.contains(name.mid(dot + 1))) {
            names.insert(name.left(dot));
        }
    });
    remarks.finish(scanRemarks);
    QStringList sorted = names.values();
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

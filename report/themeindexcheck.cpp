#include "themeindexcheck.h"

#include "catalogue/directorylisting.h"

#include <KLocalizedString>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QIcon>
#include <QSet>
#include <QSettings>

#include <algorithm>
#include <functional>

namespace
{
const QString hicolor = QStringLiteral("hicolor");

QString indexPath(const QString &themeName)
{
    const QStringList folders = ThemeIndexCheck::themeFolders(themeName);
    for (const QString &folder : folders) {
        const QString path = folder + QStringLiteral("/index.theme");
        if (QFileInfo(path).isFile()) {
            return path;
        }
    }
    return QString();
}

QStringList listValue(const QSettings &index, const QString &key)
{
    QStringList values = index.value(key).toStringList();
    values.removeAll(QString());
    return values;
}

// What a theme's index.theme names under Inherits; nothing for a theme not found.
QStringList namedParents(const QString &themeName)
{
    const QString path = indexPath(themeName);
    return path.isEmpty() || QFileInfo(path).size() > ThemeIndexCheck::maximumIndexBytes
        ? QStringList()
        : listValue(QSettings(path, QSettings::IniFormat), QStringLiteral("Icon Theme/Inherits"));
}

// The kinds of defect, each listed up to a count: a theme can have millions of folders.
enum Kind { Unlisted, Missing, NoSize, UnknownType, UnusedKey, RangeLeavesSize, NoScaleOne, MissingParent, LinkOut, Unreadable, Oversized };

class Remarks
{
public:
    void add(Kind kind, IconRemarkState state, const QString &text)
    {
        Counted &counted = m_kinds[kind];
        if (++counted.count <= ThemeIndexCheck::remarksOfAKind) {
            m_remarks.append({state, text});
        }
        counted.state = state;
    }
    IconRemarks finished()
    {
        for (auto it = m_kinds.cbegin(); it != m_kinds.cend(); ++it) {
            if (it->count > ThemeIndexCheck::remarksOfAKind) {
                m_remarks.append({it->state,
                                  i18nd("zel-find-qicon",
                                        "%1 more remarks of the same kind as one of those above are not listed.",
                                        QString::number(it->count - ThemeIndexCheck::remarksOfAKind))});
            }
        }
        return m_remarks;
    }

private:
    struct Counted {
        int count = 0;
        IconRemarkState state = NoRemark;
    };
    QMap<Kind, Counted> m_kinds;
    IconRemarks m_remarks;
};

// Whether the path, its links followed, lies in one of the folders (given canonical).
bool isInside(const QByteArray &path, const QStringList &canonicalFolders)
{
    const QString target = QFileInfo(QFile::decodeName(path)).canonicalFilePath();
    return std::any_of(canonicalFolders.cbegin(), canonicalFolders.cend(), [&target](const QString &folder) {
        return target == folder || target.startsWith(folder + QLatin1Char('/'));
    });
}

// The theme's folders walked once each: what a visitor meets, and the folders it cannot
// read or that links lead out to as remarks, named relative to the folder they are in.
void walkFolders(const QStringList &folders,
                 Remarks &remarks,
                 const std::function<void(const QString &root, const QByteArray &dirPath, const DirectoryListing::Entry &entry)> &visit)
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
        visitor.entersLink = [&canonical](const QByteArray &path) {
            return isInside(path, canonical);
        };
        visitor.unreadable = [&](const QByteArray &dirPath) {
            remarks.add(Unreadable,
                        ErrorRemark,
                        i18nd("zel-find-qicon", "The folder %1 cannot be read: no lookup finds its icons.", dirPath == rootBytes ? root : relative(dirPath)));
        };
        visitor.entry = [&](const QByteArray &dirPath, const DirectoryListing::Entry &entry) {
            const QByteArray path = DirectoryListing::childPath(dirPath, entry.name);
            if (entry.symlink && entry.kind != DirectoryListing::Kind::Broken && !isInside(path, canonical)) {
                remarks.add(LinkOut,
                            WarningRemark,
                            i18nd("zel-find-qicon",
                                  "The link %1 leads out of the theme, to %2; it is not followed.",
                                  relative(path),
                                  QFileInfo(QFile::decodeName(path)).canonicalFilePath()));
                return;
            }
            visit(root, dirPath, entry);
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
        remarks.add(NoSize, ErrorRemark, i18nd("zel-find-qicon", "The folder %1 has no Size.", folder));
    }
    if (type != QLatin1String("Fixed") && type != QLatin1String("Scalable") && type != QLatin1String("Threshold")) {
        remarks.add(UnknownType, ErrorRemark, i18nd("zel-find-qicon", "The folder %1 has the unknown Type %2.", folder, type));
    }
    if (index.contains(folder + QStringLiteral("/Threshold")) && type != QLatin1String("Threshold")) {
        remarks.add(UnusedKey, WarningRemark, i18nd("zel-find-qicon", "The folder %1 sets %2, which its Type %3 does not use.", folder, QStringLiteral("Threshold"), type));
    }
    for (const QString &key : {QStringLiteral("MinSize"), QStringLiteral("MaxSize")}) {
        if (index.contains(folder + QLatin1Char('/') + key) && type != QLatin1String("Scalable")) {
            remarks.add(UnusedKey, WarningRemark, i18nd("zel-find-qicon", "The folder %1 sets %2, which its Type %3 does not use.", folder, key, type));
        }
    }
    if (type == QLatin1String("Scalable") && sized) {
        const int minimum = index.value(folder + QStringLiteral("/MinSize"), size).toInt();
        const int maximum = index.value(folder + QStringLiteral("/MaxSize"), size).toInt();
        if (minimum > size || maximum < size) {
            remarks.add(RangeLeavesSize,
                        ErrorRemark,
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
    walkFolders(folders, scanRemarks, [&](const QString &root, const QByteArray &dirPath, const DirectoryListing::Entry &entry) {
        const QString folder = QFile::decodeName(dirPath).mid(root.size() + 1);
        if (!folder.isEmpty() && entry.kind == DirectoryListing::Kind::File && iconSuffixes.contains(QFileInfo(QFile::decodeName(entry.name)).suffix())) {
            withIcons.insert(folder);
        }
    });
    QStringList unlisted = (withIcons - QSet<QString>(listed.cbegin(), listed.cend())).values();
    unlisted.sort();
    for (const QString &folder : qAsConst(unlisted)) {
        remarks.add(Unlisted,
                    ErrorRemark,
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
            remarks.add(Missing, WarningRemark, i18nd("zel-find-qicon", "The folder %1 listed in index.theme does not exist.", folder));
        }
        checkSection(index, folder, scaleOne, remarks);
    }
    for (const QString &folder : listed) {
        const int scale = index.value(folder + QStringLiteral("/Scale"), 1).toInt();
        const QString key = index.value(folder + QStringLiteral("/Size")).toString() + QLatin1Char('/') + index.value(folder + QStringLiteral("/Context")).toString();
        if (scale > 1 && !scaleOne.contains(key)) {
            remarks.add(NoScaleOne,
                        WarningRemark,
                        i18nd("zel-find-qicon", "The folder %1 has Scale %2, but no folder of its Size and Context has scale 1.", folder, QString::number(scale)));
        }
    }
}

void checkParents(const QString &themeName, Remarks &remarks)
{
    const QStringList parents = namedParents(themeName);
    for (const QString &parent : parents) {
        if (!ThemeIndexCheck::isFound(parent)) {
            remarks.add(MissingParent, ErrorRemark, i18nd("zel-find-qicon", "The inherited theme %1 is not found in the theme search paths.", parent));
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
    remarks.add(MissingParent, InformationRemark, i18nd("zel-find-qicon", "The theme does not inherit hicolor, directly or through its parents."));
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

IconRemarks ThemeIndexCheck::check(const QString &themeName, const QStringList &iconSuffixes)
{
    Remarks remarks;
    const QString path = indexPath(themeName);
    if (path.isEmpty()) {
        return IconRemarks();
    }
    if (isOversized(themeName)) {
        remarks.add(Oversized,
                    ErrorRemark,
                    i18nd("zel-find-qicon",
                          "index.theme is past what any theme needs (%1 bytes in all, %2 characters of Directories): every lookup would try each "
                          "folder it lists. Its folders and icons are not examined.",
                          QString::number(maximumIndexBytes),
                          QString::number(maximumDirectoriesLength)));
        return remarks.finished();
    }
    const QSettings index(path, QSettings::IniFormat);
    QStringList listed = listValue(index, QStringLiteral("Icon Theme/Directories"));
    listed += listValue(index, QStringLiteral("Icon Theme/ScaledDirectories"));
    listed.removeDuplicates();
    const QStringList folders = themeFolders(themeName);
    checkUnlisted(folders, listed, iconSuffixes, remarks);
    checkListed(index, listed, folders, remarks);
    checkParents(themeName, remarks);
    return remarks.finished();
}

QStringList ThemeIndexCheck::iconNames(const QStringList &folders, const QStringList &iconSuffixes, IconRemarks &remarkList)
{
    Remarks remarks;
    QSet<QString> names;
    walkFolders(folders, remarks, [&](const QString &, const QByteArray &, const DirectoryListing::Entry &entry) {
        const QString name = QFile::decodeName(entry.name);
        const int dot = name.lastIndexOf(QLatin1Char('.'));
        if (entry.kind == DirectoryListing::Kind::File && dot > 0 && iconSuffixes.contains(name.mid(dot + 1))) {
            names.insert(name.left(dot));
        }
    });
    remarkList += remarks.finished();
    QStringList sorted = names.values();
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

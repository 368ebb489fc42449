#include "themeindexcheck.h"

#include "catalogue/directorylisting.h"

#include <KLocalizedString>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
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

// Relative folders under root holding a file with one of the suffixes; root itself is left out.
void foldersWithIcons(const QByteArray &root, const QByteArray &relative, const QStringList &suffixes, DirectoryListing::Ancestors &ancestors, QSet<QString> &found)
{
    const QByteArray path = relative.isEmpty() ? root : DirectoryListing::childPath(root, relative);
    const DirectoryListing::Identity identity = DirectoryListing::identityOf(path);
    QVector<DirectoryListing::Entry> entries;
    if (!identity.isDir || !ancestors.enter(identity.key)) {
        return;
    }
    if (DirectoryListing::read(path, entries)) {
        for (const DirectoryListing::Entry &entry : qAsConst(entries)) {
            if (entry.kind == DirectoryListing::Kind::Dir) {
                foldersWithIcons(root, relative.isEmpty() ? entry.name : relative + '/' + entry.name, suffixes, ancestors, found);
            } else if (!relative.isEmpty() && entry.kind == DirectoryListing::Kind::File
                       && suffixes.contains(QFileInfo(QFile::decodeName(entry.name)).suffix())) {
                found.insert(QFile::decodeName(relative));
            }
        }
    }
    ancestors.leave(identity.key);
}

// What a theme's index.theme names under Inherits; nothing for a theme not found.
QStringList namedParents(const QString &themeName)
{
    const QString path = indexPath(themeName);
    return path.isEmpty() ? QStringList() : listValue(QSettings(path, QSettings::IniFormat), QStringLiteral("Icon Theme/Inherits"));
}

void addRemark(IconRemarks &remarks, IconRemarkState state, const QString &text)
{
    remarks.append({state, text});
}

void checkSection(const QSettings &index, const QString &folder, QHash<QString, QString> &scaleOne, IconRemarks &remarks)
{
    const QString type = index.value(folder + QStringLiteral("/Type"), QStringLiteral("Threshold")).toString();
    bool sized = false;
    const int size = index.value(folder + QStringLiteral("/Size")).toInt(&sized);
    if (!sized) {
        addRemark(remarks, ErrorRemark, i18nd("zel-find-qicon", "The folder %1 has no Size.", folder));
    }
    if (type != QLatin1String("Fixed") && type != QLatin1String("Scalable") && type != QLatin1String("Threshold")) {
        addRemark(remarks, ErrorRemark, i18nd("zel-find-qicon", "The folder %1 has the unknown Type %2.", folder, type));
    }
    if (index.contains(folder + QStringLiteral("/Threshold")) && type != QLatin1String("Threshold")) {
        addRemark(remarks, WarningRemark, i18nd("zel-find-qicon", "The folder %1 sets %2, which its Type %3 does not use.", folder, QStringLiteral("Threshold"), type));
    }
    for (const QString &key : {QStringLiteral("MinSize"), QStringLiteral("MaxSize")}) {
        if (index.contains(folder + QLatin1Char('/') + key) && type != QLatin1String("Scalable")) {
            addRemark(remarks, WarningRemark, i18nd("zel-find-qicon", "The folder %1 sets %2, which its Type %3 does not use.", folder, key, type));
        }
    }
    if (type == QLatin1String("Scalable") && sized) {
        const int minimum = index.value(folder + QStringLiteral("/MinSize"), size).toInt();
        const int maximum = index.value(folder + QStringLiteral("/MaxSize"), size).toInt();
        if (minimum > size || maximum < size) {
            addRemark(remarks,
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

IconRemarks ThemeIndexCheck::check(const QString &themeName, const QStringList &iconSuffixes)
{
    IconRemarks remarks;
    const QString path = indexPath(themeName);
    if (path.isEmpty()) {
        return remarks;
    }
    const QSettings index(path, QSettings::IniFormat);
    QStringList listed = listValue(index, QStringLiteral("Icon Theme/Directories"));
    listed += listValue(index, QStringLiteral("Icon Theme/ScaledDirectories"));
    listed.removeDuplicates();

    const QStringList folders = themeFolders(themeName);
    QSet<QString> withIcons;
    for (const QString &folder : folders) {
        DirectoryListing::Ancestors ancestors;
        foldersWithIcons(QFile::encodeName(folder), QByteArray(), iconSuffixes, ancestors, withIcons);
    }
    QStringList unlisted;
    for (const QString &folder : qAsConst(withIcons)) {
        if (!listed.contains(folder)) {
            unlisted.append(folder);
        }
    }
    unlisted.sort();
    for (const QString &folder : qAsConst(unlisted)) {
        addRemark(remarks, ErrorRemark, i18nd("zel-find-qicon", "The folder %1 holds icon files, but index.theme does not list it: no lookup finds them.", folder));
    }

    QHash<QString, QString> scaleOne;
    for (const QString &folder : qAsConst(listed)) {
        const bool exists = std::any_of(folders.cbegin(), folders.cend(), [&folder](const QString &base) {
            return QFileInfo(base + QLatin1Char('/') + folder).isDir();
        });
        if (!exists) {
            addRemark(remarks, WarningRemark, i18nd("zel-find-qicon", "The folder %1 listed in index.theme does not exist.", folder));
        }
        checkSection(index, folder, scaleOne, remarks);
    }
    for (const QString &folder : qAsConst(listed)) {
        const int scale = index.value(folder + QStringLiteral("/Scale"), 1).toInt();
        const QString key = index.value(folder + QStringLiteral("/Size")).toString() + QLatin1Char('/') + index.value(folder + QStringLiteral("/Context")).toString();
        if (scale > 1 && !scaleOne.contains(key)) {
            addRemark(remarks,
                      WarningRemark,
                      i18nd("zel-find-qicon", "The folder %1 has Scale %2, but no folder of its Size and Context has scale 1.", folder, QString::number(scale)));
        }
    }

    const QStringList parents = namedParents(themeName);
    for (const QString &parent : parents) {
        if (!isFound(parent)) {
            addRemark(remarks, ErrorRemark, i18nd("zel-find-qicon", "The inherited theme %1 is not found in the theme search paths.", parent));
        }
    }
    if (themeName != hicolor) {
        // The toolkit adds hicolor to every chain; freedesktop's icon theme rules ask the theme to name it.
        bool reaches = false;
        QStringList seen{themeName};
        QStringList pending = parents;
        while (!pending.isEmpty() && !reaches) {
            const QString theme = pending.takeFirst();
            if (seen.contains(theme)) {
                continue;
            }
            seen.append(theme);
            reaches = theme == hicolor;
            pending += namedParents(theme);
        }
        if (!reaches) {
            addRemark(remarks, InformationRemark, i18nd("zel-find-qicon", "The theme does not inherit hicolor, directly or through its parents."));
        }
    }
    return remarks;
}

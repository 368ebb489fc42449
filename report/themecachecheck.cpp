#include "themecachecheck.h"

#include "catalogue/directorylisting.h"
#include "report/themeindexcheck.h"

#include <KLocalizedString>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace
{
// The GTK icon cache as the toolkit's own reader walks it: big-endian, offsets aligned,
// a name in the bucket its hash gives. Reads that leave the file or break the alignment
// make it invalid, as they make the toolkit's reader drop the cache.
class GtkCache
{
public:
    explicit GtkCache(const QByteArray &bytes)
        : m_bytes(bytes)
    {
    }

    QString error; // where the file first fails to parse

    quint16 read16(quint32 offset)
    {
        if (quint64(offset) + 2 > quint64(m_bytes.size()) || (offset & 1)) {
            fail(offset);
            return 0;
        }
        return quint16(quint8(m_bytes[int(offset)]) << 8 | quint8(m_bytes[int(offset) + 1]));
    }

    quint32 read32(quint32 offset)
    {
        if (quint64(offset) + 4 > quint64(m_bytes.size()) || (offset & 3)) {
            fail(offset);
            return 0;
        }
        return quint32(read16(offset)) << 16 | read16(offset + 2);
    }

    QString string(quint32 offset)
    {
        const int end = offset < quint32(m_bytes.size()) ? m_bytes.indexOf('\0', int(offset)) : -1;
        if (end < 0) {
            fail(offset);
            return QString();
        }
        return QString::fromUtf8(m_bytes.constData() + offset, end - int(offset));
    }

    // A count of entries of that size from the offset on that the file can hold; a count
    // past it fails here, before a loop of billions of reads could wrap around the file.
    quint32 count(quint32 offset, quint32 entrySize)
    {
        const quint32 count = read32(offset);
        if (error.isEmpty() && quint64(offset) + 4 + quint64(count) * entrySize > quint64(m_bytes.size())) {
            error = i18nd("zel-find-qicon", "a count at byte %1 is past the end of the file", QString::number(offset));
        }
        return error.isEmpty() ? count : 0;
    }

    QStringList folders()
    {
        const quint32 list = read32(8);
        const quint32 count = this->count(list, 4);
        QStringList names;
        for (quint32 i = 0; i < count && error.isEmpty(); ++i) {
            names.append(string(read32(list + 4 + 4 * i)));
        }
        return names;
    }

    // Every name with the folders (indexes into folders()) that hold it, bucket by bucket.
    QHash<QString, QVector<quint16>> names(int folderCount)
    {
        QHash<QString, QVector<quint16>> names;
        const quint32 hash = read32(4);
        const quint32 buckets = count(hash, 4);
        if (error.isEmpty() && buckets == 0) {
            error = i18nd("zel-find-qicon", "it has no hash buckets");
        }
        // A chain longer than the file has icons is a loop.
        const quint32 mostIcons = quint32(m_bytes.size() / 12);
        quint32 icons = 0;
        for (quint32 bucket = 0; bucket < buckets && error.isEmpty(); ++bucket) {
            for (quint32 icon = read32(hash + 4 + 4 * bucket); icon != 0xffffffff && error.isEmpty(); icon = read32(icon)) {
                if (++icons > mostIcons) {
                    error = i18nd("zel-find-qicon", "a chain of its hash table loops");
                    break;
                }
                const QString name = string(read32(icon + 4));
                if (bucket != hashOf(name.toUtf8()) % buckets) {
                    error = i18nd("zel-find-qicon", "the name %1 is in a bucket its hash does not give", name);
                }
                const quint32 images = read32(icon + 8);
                const quint32 count = this->count(images, 8);
                for (quint32 i = 0; i < count && error.isEmpty(); ++i) {
                    const quint16 folder = read16(images + 4 + 8 * i);
                    if (folder >= folderCount) {
                        error = i18nd("zel-find-qicon", "the name %1 names a folder it does not list", name);
                    }
                    names[name].append(folder);
                }
            }
        }
        return names;
    }

private:
    void fail(quint32 offset)
    {
        if (error.isEmpty()) {
            error = i18nd("zel-find-qicon", "a read at byte %1 leaves the file or its alignment", QString::number(offset));
        }
    }

    static quint32 hashOf(const QByteArray &name)
    {
        const char *p = name.constData();
        quint32 h = quint32(static_cast<signed char>(*p));
        for (p += *p ? 1 : 0; *p != '\0'; ++p) {
            h = (h << 5) - h + quint32(static_cast<signed char>(*p));
        }
        return h;
    }

    const QByteArray m_bytes;
};

// The toolkit tries a name's PNG, then its SVG, in each folder.
QSet<QString> iconNames(const QString &folder)
{
    QSet<QString> names;
    QVector<DirectoryListing::Entry> entries;
    DirectoryListing::read(QFile::encodeName(folder), entries);
    for (const DirectoryListing::Entry &entry : qAsConst(entries)) {
        const QString name = QFile::decodeName(entry.name);
        if (entry.kind == DirectoryListing::Kind::File && (name.endsWith(QLatin1String(".png")) || name.endsWith(QLatin1String(".svg")))) {
            names.insert(name.chopped(4));
        }
    }
    return names;
}

// The theme folder, or the cached folder, that is newer than the cache; empty for none.
QString newerFolder(const QString &themeFolder, const QDateTime &cacheTime, const QStringList &folders)
{
    if (cacheTime < QFileInfo(themeFolder).lastModified()) {
        return QFileInfo(themeFolder).fileName();
    }
    for (const QString &folder : folders) {
        if (cacheTime < QFileInfo(themeFolder + QLatin1Char('/') + folder).lastModified()) {
            return folder;
        }
    }
    return QString();
}

void checkNames(const QString &themeFolder, const QStringList &folders, const QHash<QString, QVector<quint16>> &cached, ThemeReport::Entry &entry)
{
    // Each folder read once, whether the cache or the index names it, or both.
    const QStringList listed = ThemeIndexCheck::listedFolders(themeFolder);
    QHash<QString, QSet<QString>> onDisk;
    for (const QString &folder : folders + listed) {
        if (!onDisk.contains(folder)) {
            onDisk.insert(folder, iconNames(themeFolder + QLatin1Char('/') + folder));
        }
    }
    for (const QString &folder : listed) {
        QStringList names = onDisk.value(folder).values();
        names.sort();
        const int index = folders.indexOf(folder);
        for (const QString &name : qAsConst(names)) {
            if (index < 0 || !cached.value(name).contains(quint16(index))) {
                entry.add(QStringLiteral("cache-lacks-name"),
                          i18nd("zel-find-qicon", "icon-theme.cache lists no %1 in %2, where the file is: no Qt application finds it there.", name, folder));
            }
        }
    }
    QStringList names = cached.keys();
    names.sort();
    for (const QString &name : qAsConst(names)) {
        for (const quint16 index : cached.value(name)) {
            if (!onDisk.value(folders.at(index)).contains(name)) {
                entry.add(QStringLiteral("cache-orphan-name"),
                          i18nd("zel-find-qicon", "icon-theme.cache lists %1 in %2, where no such file is.", name, folders.at(index)));
            }
        }
    }
}
}

ThemeReport::Entry ThemeCacheCheck::checkTheme(const QString &themeFolder)
{
    ThemeReport::Entry entry;
    entry.kind = QStringLiteral("file");
    entry.path = themeFolder + QStringLiteral("/icon-theme.cache");
    QFile file(entry.path);
    if (!QFileInfo(entry.path).isFile() || !file.open(QIODevice::ReadOnly)) {
        return entry;
    }
    // Real caches take a few megabytes; one past the limit is read no further.
    GtkCache cache(file.read(maximumBytes + 1));
    if (file.size() > maximumBytes) {
        cache.error = i18nd("zel-find-qicon", "it is larger than %1 bytes", QString::number(maximumBytes));
    } else if (cache.read16(0) != 1) {
        cache.error = cache.error.isEmpty() ? i18nd("zel-find-qicon", "its major version is not 1") : cache.error;
    }
    const QStringList folders = cache.folders();
    const QHash<QString, QVector<quint16>> cached = cache.names(folders.size());
    if (!cache.error.isEmpty()) {
        entry.add(QStringLiteral("cache-unparsable"),
                  i18nd("zel-find-qicon", "icon-theme.cache does not parse as the toolkit reads it (%1): the toolkit ignores it.", cache.error));
        return entry;
    }
    const QString newer = newerFolder(themeFolder, QFileInfo(entry.path).lastModified(), folders);
    if (!newer.isEmpty()) {
        entry.add(QStringLiteral("cache-stale"),
                  i18nd("zel-find-qicon",
                        "The folder %1 is newer than icon-theme.cache: the toolkit ignores the cache, and every lookup probes each folder.",
                        newer));
        return entry;
    }
    checkNames(themeFolder, folders, cached, entry);
    return entry;
}

QList<ThemeReport::Entry> ThemeCacheCheck::check(const QStringList &folders)
{
    QList<ThemeReport::Entry> entries;
    for (const QString &root : folders) {
        QStringList themes{QString()};
        if (!QFileInfo::exists(root + QStringLiteral("/index.theme"))) {
            themes = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        }
        for (const QString &theme : qAsConst(themes)) {
            ThemeReport::Entry entry = checkTheme(theme.isEmpty() ? root : root + QLatin1Char('/') + theme);
            entry.name = QDir(root).relativeFilePath(entry.path);
            if (!entry.remarks.isEmpty()) {
                entries.append(entry);
            }
        }
    }
    return entries;
}

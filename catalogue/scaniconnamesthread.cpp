#include "scaniconnamesthread.h"

#include "app/constants.h"

#include <QFile>
#include <QMutexLocker>

#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

ScanIconNamesThread::ScanIconNamesThread(QObject *parent)
    : QThread(parent)
    , m_searchIconSuffixes(iconFileSuffixes)
{
}

ScanIconNamesThread::~ScanIconNamesThread() = default;

void ScanIconNamesThread::setDirPaths(const QStringList &dirPaths)
{
    QMutexLocker locker(&m_mutex);
    m_dirPaths = dirPaths;
}

QStringList ScanIconNamesThread::dirPaths() const
{
    QMutexLocker locker(&m_mutex);
    return m_dirPaths;
}

void ScanIconNamesThread::setSearchIconSuffixes(const QStringList &searchIconSuffixes)
{
    QMutexLocker locker(&m_mutex);
    m_searchIconSuffixes = searchIconSuffixes;
}

QStringList ScanIconNamesThread::searchIconSuffixes() const
{
    QMutexLocker locker(&m_mutex);
    return m_searchIconSuffixes;
}

void ScanIconNamesThread::stop()
{
    m_stopFlag = true;
}

bool ScanIconNamesThread::isNeedStop() const
{
    return m_stopFlag;
}

void ScanIconNamesThread::run()
{
    m_stopFlag = false;
    const QStringList roots = dirPaths();
    const QList<QByteArray> suffixes = encodedSuffixes(searchIconSuffixes());
    // Kept for the whole run: roots may repeat or nest, and on the largest themes the
    // links between size folders make the walk meet ten entries for each one on disk.
    Listings listings;
    for (const QString &root : roots) {
        QSet<DirectoryKey> ancestors;
        walk(QFile::encodeName(root), suffixes, ancestors, listings);
        if (m_stopFlag) {
            return;
        }
    }
}

void ScanIconNamesThread::scanIconNamesByDirPath(const QString &dirPath)
{
    QSet<DirectoryKey> ancestors;
    Listings listings;
    walk(QFile::encodeName(dirPath), encodedSuffixes(searchIconSuffixes()), ancestors, listings);
}

QList<QByteArray> ScanIconNamesThread::encodedSuffixes(const QStringList &suffixes)
{
    QList<QByteArray> encoded;
    encoded.reserve(suffixes.size());
    for (const QString &suffix : suffixes) {
        encoded.append(QFile::encodeName(suffix));
    }
    return encoded;
}

namespace
{
bool isAscii(const char *text, int length)
{
    for (int i = 0; i < length; ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0x80) {
            return false;
        }
    }
    return true;
}

QByteArray childPath(const QByteArray &dirPath, const char *name, int length)
{
    QByteArray path;
    path.reserve(dirPath.size() + 1 + length);
    path.append(dirPath);
    if (!path.endsWith('/')) {
        path.append('/');
    }
    path.append(name, length);
    return path;
}
}

// The entries and their order are those of a QDirIterator with Dirs, Files and
// NoDotAndDotDot: readdir order, no hidden names, no sockets, pipes, devices or broken
// links, links followed. Working on the raw entries spares a stat of every plain file
// and a QFileInfo per entry, which on the largest themes is most of a scan's time.
// A directory met again in the same run (through a link, or under another root) is
// not read again: what it gave the first time is replayed, which is what reading it
// again would give. Relative links resolve from the directory that holds them, not
// from the path the walk came by, so the replay is right whichever way it came.
void ScanIconNamesThread::walk(const QByteArray &dirPath, const QList<QByteArray> &suffixes, QSet<DirectoryKey> &ancestors, Listings &listings)
{
    DIR *dir = ::opendir(dirPath.constData());
    if (!dir) {
        return;
    }
    const int fd = ::dirfd(dir);
    struct stat dirStat;
    // Themes link size folders into each other; only a directory already on the way
    // down from the root is a cycle, so sibling links are still walked in full.
    if (::fstat(fd, &dirStat) != 0 || ancestors.contains({quint64(dirStat.st_dev), quint64(dirStat.st_ino)})) {
        ::closedir(dir);
        return;
    }
    const DirectoryKey key(quint64(dirStat.st_dev), quint64(dirStat.st_ino));
    ancestors.insert(key);

    const auto listed = listings.constFind(key);
    if (listed != listings.constEnd()) {
        ::closedir(dir);
        // A copy: walking the subdirectories adds listings and may move the stored one.
        const QVector<ListedEntry> listing = listed.value();
        replay(dirPath, listing, suffixes, ancestors, listings);
        ancestors.remove(key);
        return;
    }
    QVector<ListedEntry> listing;

    while (!m_stopFlag) {
        const dirent *entry = ::readdir(dir);
        if (!entry) {
            break;
        }
        const char *name = entry->d_name;
        if (name[0] == '.') {
            continue;
        }
        const int length = int(std::strlen(name));
        // The toolkit reaches files by their decoded names: one whose bytes do not survive
        // decoding is out of its sight, so the scan must not report it either.
        if (!isAscii(name, length)) {
            const QByteArray bytes = QByteArray::fromRawData(name, length);
            if (QFile::encodeName(QFile::decodeName(bytes)) != bytes) {
                continue;
            }
        }
        unsigned char type = entry->d_type;
        if (type == DT_UNKNOWN) {
            struct stat entryStat;
            if (::fstatat(fd, name, &entryStat, AT_SYMLINK_NOFOLLOW) != 0) {
                continue;
            }
            type = S_ISLNK(entryStat.st_mode) ? DT_LNK : S_ISDIR(entryStat.st_mode) ? DT_DIR : S_ISREG(entryStat.st_mode) ? DT_REG : DT_UNKNOWN;
        }
        bool isDir = false;
        if (type == DT_LNK) {
            struct stat target;
            if (::fstatat(fd, name, &target, 0) != 0) {
                continue;
            }
            isDir = S_ISDIR(target.st_mode);
        } else if (type == DT_DIR) {
            isDir = true;
        } else if (type != DT_REG) {
            continue;
        }

        if (isDir) {
            listing.append({QByteArray(name, length), QString()});
            walk(childPath(dirPath, name, length), suffixes, ancestors, listings);
            continue;
        }
        // A dot cannot fall inside a multi-byte sequence, so cutting the raw name at
        // its dots gives the same suffix and base name as cutting the decoded one.
        const char *lastDot = std::strrchr(name, '.');
        const char *suffix = lastDot ? lastDot + 1 : name + length;
        const int suffixLength = int(name + length - suffix);
        bool matches = false;
        for (const QByteArray &wanted : suffixes) {
            if (wanted.size() == suffixLength && std::memcmp(wanted.constData(), suffix, suffixLength) == 0) {
                matches = true;
                break;
            }
        }
        if (!matches) {
            continue;
        }
        const char *firstDot = std::strchr(name, '.');
        const int baseLength = firstDot ? int(firstDot - name) : length;
        if (baseLength > 0) {
            listing.append({QByteArray(), QFile::decodeName(QByteArray::fromRawData(name, baseLength))});
            Q_EMIT iconNameFinded(listing.constLast().iconName);
        }
    }

    ancestors.remove(key);
    ::closedir(dir);
    // Partial when the walk was stopped, but then nothing is walked after it.
    listings.insert(key, listing);
}

void ScanIconNamesThread::replay(const QByteArray &dirPath,
                                 const QVector<ListedEntry> &listing,
                                 const QList<QByteArray> &suffixes,
                                 QSet<DirectoryKey> &ancestors,
                                 Listings &listings)
{
    for (const ListedEntry &entry : listing) {
        if (m_stopFlag) {
            return;
        }
        if (entry.dirName.isNull()) {
            Q_EMIT iconNameFinded(entry.iconName);
        } else {
            walk(childPath(dirPath, entry.dirName.constData(), entry.dirName.size()), suffixes, ancestors, listings);
        }
    }
}

#include "scaniconnamesthread.h"

#include "app/constants.h"

#include <QFile>
#include <QMutexLocker>

#include <algorithm>
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
    Walk state(encodedSuffixes(searchIconSuffixes()));
    for (const QString &root : roots) {
        walk(QFile::encodeName(root), state);
        if (m_stopFlag) {
            return;
        }
    }
}

void ScanIconNamesThread::scanIconNamesByDirPath(const QString &dirPath)
{
    Walk state(encodedSuffixes(searchIconSuffixes()));
    walk(QFile::encodeName(dirPath), state);
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
void ScanIconNamesThread::walk(const QByteArray &dirPath, Walk &state)
{
    DIR *dir = ::opendir(dirPath.constData());
    if (!dir) {
        return;
    }
    const int fd = ::dirfd(dir);
    struct stat dirStat;
    // Themes link size folders into each other; only a directory already on the way
    // down from the root is a cycle, so sibling links are still walked in full.
    if (::fstat(fd, &dirStat) != 0 || state.ancestors.contains({quint64(dirStat.st_dev), quint64(dirStat.st_ino)})) {
        ::closedir(dir);
        return;
    }
    const DirectoryKey key(quint64(dirStat.st_dev), quint64(dirStat.st_ino));
    state.ancestors.insert(key);

    const auto listed = state.listings.constFind(key);
    if (listed != state.listings.constEnd()) {
        ::closedir(dir);
        // A copy: walking the subdirectories adds listings and may move the stored one.
        const QVector<ListedEntry> listing = listed.value();
        replay(dirPath, listing, state);
        state.ancestors.remove(key);
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
            walk(childPath(dirPath, name, length), state);
            continue;
        }
        // A dot cannot fall inside a multi-byte sequence, so cutting the raw name at
        // its dots gives the same suffix and base name as cutting the decoded one.
        const char *lastDot = std::strrchr(name, '.');
        const char *suffix = lastDot ? lastDot + 1 : name + length;
        const int suffixLength = int(name + length - suffix);
        bool matches = false;
        for (const QByteArray &wanted : qAsConst(state.suffixes)) {
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
            const QString &iconName = listing.constLast().iconName;
            Q_EMIT iconNameFinded(iconName);
            // Only a directory read for the first time can hold a name not yet reported.
            const int reported = state.reportedNames.size();
            state.reportedNames.insert(iconName);
            if (state.reportedNames.size() != reported) {
                pace(state);
            }
        }
    }

    state.ancestors.remove(key);
    ::closedir(dir);
    // Partial when the walk was stopped, but then nothing is walked after it.
    state.listings.insert(key, listing);
}

void ScanIconNamesThread::replay(const QByteArray &dirPath, const QVector<ListedEntry> &listing, Walk &state)
{
    for (const ListedEntry &entry : listing) {
        if (m_stopFlag) {
            return;
        }
        if (entry.dirName.isNull()) {
            Q_EMIT iconNameFinded(entry.iconName);
        } else {
            walk(childPath(dirPath, entry.dirName.constData(), entry.dirName.size()), state);
        }
    }
}

// A name the list has not seen yet costs the GUI thread a row in a sorted proxy, some
// ten times what a repeat costs and more than the walk takes to find one. Themes
// begin with their largest folders, so without a brake the first second of a scan
// queues thousands of new rows, and the GUI thread works them off in turns too long
// for its timers and repaints. The walk, not the names, is slowed: each name still
// goes out the moment its file is met.
void ScanIconNamesThread::pace(Walk &state)
{
    // What a new row cost the GUI thread with ten thousand rows listed, on two cores
    // shared with the walk.
    constexpr qint64 newNameNs = 25000;
    constexpr qint64 aheadNs = 20000000;
    constexpr qint64 sliceNs = 5000000;
    qint64 now = state.clock.nsecsElapsed();
    // When the GUI thread can be expected to have added every new name reported so far.
    state.paceNs = std::max(state.paceNs, now) + newNameNs;
    if (state.paceNs - now <= aheadNs) {
        return;
    }
    // Stop waits for the run to end, so the brake must let go of a stopped walk at once.
    while (state.paceNs - now > aheadNs / 2 && !m_stopFlag) {
        QThread::usleep(qMin(sliceNs, state.paceNs - now - aheadNs / 2) / 1000 + 1);
        now = state.clock.nsecsElapsed();
    }
}

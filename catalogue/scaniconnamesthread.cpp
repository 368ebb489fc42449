#include "scaniconnamesthread.h"

#include "app/constants.h"

#include <QFile>
#include <QMetaMethod>
#include <QMutexLocker>

#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <utility>

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
    // Under the lock, so that a walk about to wait for a credit cannot miss the wake-up.
    QMutexLocker locker(&m_flightMutex);
    m_flightChanged.wakeAll();
}

bool ScanIconNamesThread::isNeedStop() const
{
    return m_stopFlag;
}

void ScanIconNamesThread::releaseBatch()
{
    QMutexLocker locker(&m_flightMutex);
    // A batch of a run that has ended may still be taken after the next one started.
    if (m_inFlight > 0) {
        --m_inFlight;
    }
    m_flightChanged.wakeAll();
}

void ScanIconNamesThread::run()
{
    m_stopFlag = false;
    {
        QMutexLocker locker(&m_flightMutex);
        m_inFlight = 0;
    }
    const QStringList roots = dirPaths();
    Walk state;
    // Nobody would hand a credit back to a walk whose batches go nowhere.
    startWalk(state, isSignalConnected(QMetaMethod::fromSignal(&ScanIconNamesThread::iconNamesFinded)));
    for (const QString &root : roots) {
        walk(QFile::encodeName(root), state);
        if (m_stopFlag) {
            break;
        }
    }
    flushBatch(state);
}

void ScanIconNamesThread::scanIconNamesByDirPath(const QString &dirPath)
{
    Walk state;
    startWalk(state, false);
    walk(QFile::encodeName(dirPath), state);
    flushBatch(state);
}

void ScanIconNamesThread::startWalk(Walk &state, bool paced)
{
    for (const QString &suffix : searchIconSuffixes()) {
        state.suffixes.append(QFile::encodeName(suffix));
    }
    state.perFile = isSignalConnected(QMetaMethod::fromSignal(&ScanIconNamesThread::iconNameFinded));
    state.paced = paced;
    state.batchClock.start();
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

// A directory met again in the same run, through a link or under another root, is
// never read again: it can hold no name not reported yet. Only per-file receivers need
// its names once more, and get them replayed from what the first reading gave.
void ScanIconNamesThread::walk(const QByteArray &dirPath, Walk &state)
{
    DIR *dir = ::opendir(dirPath.constData());
    if (!dir) {
        return;
    }
    struct stat dirStat;
    if (::fstat(::dirfd(dir), &dirStat) != 0) {
        ::closedir(dir);
        return;
    }
    const DirectoryKey key(quint64(dirStat.st_dev), quint64(dirStat.st_ino));
    if (!state.perFile) {
        if (!state.visited.contains(key)) {
            state.visited.insert(key);
            readDirectory(dirPath, dir, state, nullptr);
        }
        ::closedir(dir);
        return;
    }
    // Only a directory on the way down from the root is a cycle; sibling links are
    // walked, so that every path gets its per-file names.
    if (state.ancestors.contains(key)) {
        ::closedir(dir);
        return;
    }
    state.ancestors.insert(key);
    const auto listed = state.listings.constFind(key);
    if (listed != state.listings.constEnd()) {
        ::closedir(dir);
        // A copy: walking the subdirectories adds listings and may move the stored one.
        const QVector<ListedEntry> listing = listed.value();
        replay(dirPath, listing, state);
    } else {
        QVector<ListedEntry> listing;
        readDirectory(dirPath, dir, state, &listing);
        ::closedir(dir);
        // Partial when the walk was stopped, but then nothing is walked after it.
        state.listings.insert(key, listing);
    }
    state.ancestors.remove(key);
}

// The entries and their order are those of a QDirIterator with Dirs, Files and
// NoDotAndDotDot: readdir order, no hidden names, no sockets, pipes, devices or broken
// links, links followed. Working on the raw entries spares a stat of every plain file.
void ScanIconNamesThread::readDirectory(const QByteArray &dirPath, void *handle, Walk &state, QVector<ListedEntry> *listing)
{
    DIR *dir = static_cast<DIR *>(handle);
    const int fd = ::dirfd(dir);
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
            if (listing) {
                listing->append({QByteArray(name, length), QString()});
            }
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
            const QString iconName = QFile::decodeName(QByteArray::fromRawData(name, baseLength));
            if (listing) {
                listing->append({QByteArray(), iconName});
                Q_EMIT iconNameFinded(iconName);
            }
            foundName(iconName, state);
        }
    }
    if (!state.batch.isEmpty() && state.batchClock.elapsed() >= batchMilliseconds) {
        flushBatch(state);
    }
}

// Everything a replay meets was read before in this run, so it holds no new name.
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

void ScanIconNamesThread::foundName(const QString &iconName, Walk &state)
{
    const int reported = state.reportedNames.size();
    state.reportedNames.insert(iconName);
    if (state.reportedNames.size() == reported) {
        return;
    }
    if (state.batch.isEmpty()) {
        state.batchClock.restart();
    }
    state.batch.append(iconName);
    if (state.batch.size() >= batchNames) {
        flushBatch(state);
    }
}

// One queued call per batch instead of one per name is what keeps the receiver's
// event loop responsive; the credits keep its queue at most two batches long.
// A stopped walk hands over what it holds without waiting, so that every name
// found before the stop reaches the receiver.
void ScanIconNamesThread::flushBatch(Walk &state)
{
    if (state.batch.isEmpty()) {
        return;
    }
    if (state.paced) {
        QMutexLocker locker(&m_flightMutex);
        while (m_inFlight >= batchesInFlight && !m_stopFlag) {
            m_flightChanged.wait(&m_flightMutex);
        }
        ++m_inFlight;
    }
    Q_EMIT iconNamesFinded(std::exchange(state.batch, QStringList()));
    state.batchClock.restart();
}

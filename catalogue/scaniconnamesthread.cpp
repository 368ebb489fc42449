#include "scaniconnamesthread.h"

#include "app/constants.h"

#include <QFile>
#include <QMutexLocker>

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

ScanIconNamesThread::ScanIconNamesThread(QObject *parent)
    : QThread(parent)
    , m_searchIconSuffixes(iconFileSuffixes)
{
    m_guiThreadId = ::gettid();
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
    state.paced = true;
    state.guiStatFd = ::open(QByteArray("/proc/self/task/" + QByteArray::number(m_guiThreadId) + "/stat").constData(), O_RDONLY | O_CLOEXEC);
    for (const QString &root : roots) {
        walk(QFile::encodeName(root), state);
        if (m_stopFlag) {
            break;
        }
    }
    if (state.guiStatFd >= 0) {
        ::close(state.guiStatFd);
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
            pace(state, state.reportedNames.size() != reported ? newNameNs : repeatNameNs);
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
            pace(state, repeatNameNs);
        } else {
            walk(childPath(dirPath, entry.dirName.constData(), entry.dirName.size()), state);
        }
    }
}

// Every name costs the GUI thread a queued call, and a name the list has not seen yet a
// row in a sorted proxy besides, some twenty times what a repeat costs. Themes begin
// with their largest folders, and directories met again are replayed far faster than
// the GUI thread takes their names, so without a brake the walk queues thousands of
// rows early on and hundreds of thousands of repeats late in a large scan. The GUI
// thread delivers what was queued when it began a pass in that one pass, so the queue
// becomes the length of its passes, and its timers and repaints wait for them. The
// walk, not the names, is slowed: each name still goes out the moment its file is met.
//
// The costs are only an estimate. What else the GUI thread does meanwhile (laying out
// the list, repainting), how long it is off its core while the walk fills its queue
// (a fifth to two fifths of the time, measured), and what other programs take of the
// cores, no fixed figure foresees, and a walk ahead of the GUI thread stays ahead for
// the rest of the scan. So where the kernel shows the GUI thread's state, that has the
// last word and the estimate only sizes the batches: a thread asleep has taken
// everything queued, and if it has not been seen asleep since the last batch of names
// went out, the walk waits until it is. No more than two batches are then queued,
// unless the GUI thread stays busy with other work for longer than the walk waits.
void ScanIconNamesThread::pace(Walk &state, qint64 costNs)
{
    if (!state.paced) {
        return;
    }
    if (state.guiStatFd >= 0) {
        constexpr qint64 sampleNs = 1000000;
        constexpr qint64 batchNs = 10000000;
        const qint64 owedNs = state.owedNs + costNs;
        if (owedNs / sampleNs != state.owedNs / sampleNs && guiSleeps(state)) {
            state.guiSlept = true;
        }
        state.owedNs = owedNs;
        if (owedNs < batchNs) {
            return;
        }
        if (!state.guiSlept) {
            waitForGuiSleep(state);
        }
        state.owedNs = 0;
        state.guiSlept = false;
        return;
    }
    constexpr qint64 aheadNs = 20000000;
    constexpr qint64 sliceNs = 5000000;
    qint64 now = state.clock.nsecsElapsed();
    state.paceNs = std::max(state.paceNs, now) + costNs;
    if (state.paceNs - now <= aheadNs) {
        return;
    }
    // Stop waits for the run to end, so the brake must let go of a stopped walk at once.
    while (state.paceNs - now > aheadNs / 2 && !m_stopFlag) {
        QThread::usleep(qMin(sliceNs, state.paceNs - now - aheadNs / 2) / 1000 + 1);
        now = state.clock.nsecsElapsed();
    }
}

// Asleep, not merely off a core: a thread that waits for a core is still working off
// its queue. An event loop sleeps only with nothing posted to it.
bool ScanIconNamesThread::guiSleeps(const Walk &state)
{
    char stat[512];
    const ssize_t length = ::pread(state.guiStatFd, stat, sizeof stat - 1, 0);
    if (length <= 0) {
        return false;
    }
    stat[length] = '\0';
    // The state follows the command name, which may itself hold parentheses.
    const char *close = std::strrchr(stat, ')');
    return close && close[1] == ' ' && close[2] == 'S';
}

// Never longer than a tenth of a second: a GUI thread busy with something else would
// otherwise hold the scan for as long as that lasts, and one that polls its events in
// a loop never sleeps at all. Stop lets go at once.
void ScanIconNamesThread::waitForGuiSleep(const Walk &state)
{
    QElapsedTimer waited;
    waited.start();
    while (!m_stopFlag && waited.elapsed() < 100) {
        QThread::usleep(250);
        if (guiSleeps(state)) {
            return;
        }
    }
}

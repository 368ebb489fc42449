#include "scaniconnamesthread.h"

#include "app/constants.h"

#include <QFile>
#include <QMetaMethod>
#include <QMutexLocker>

#include <algorithm>
#include <cstring>
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

void ScanIconNamesThread::setCutsAtFirstDot(bool cuts)
{
    QMutexLocker locker(&m_mutex);
    m_cutsAtFirstDot = cuts;
}

bool ScanIconNamesThread::cutsAtFirstDot() const
{
    QMutexLocker locker(&m_mutex);
    return m_cutsAtFirstDot;
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
    state.cutsAtFirstDot = cutsAtFirstDot();
    state.perFile = isSignalConnected(QMetaMethod::fromSignal(&ScanIconNamesThread::iconNameFinded));
    state.paced = paced;
    // A folder of a million links takes seconds to read: Stop is looked at between entries.
    state.stopped = [this]() {
        return m_stopFlag.load(std::memory_order_relaxed);
    };
    state.batchClock.start();
}

// A directory met again in the same run, through a link or under another root, is
// never read again: it can hold no name not reported yet. Only per-file receivers need
// its names once more, and get them replayed from what the first reading gave.
void ScanIconNamesThread::walk(const QByteArray &dirPath, Walk &state)
{
    const DirectoryListing::Identity identity = DirectoryListing::identityOf(dirPath);
    if (!identity.isDir) {
        return;
    }
    const DirectoryListing::Key &key = identity.key;
    QVector<DirectoryListing::Entry> entries;
    if (!state.perFile) {
        if (!state.visited.contains(key)) {
            state.visited.insert(key);
            if (DirectoryListing::read(dirPath, entries, state.stopped)) {
                visit(dirPath, entries, false, state);
            }
        }
        return;
    }
    // Only a directory on the way down from the root is a cycle; sibling links are
    // walked, so that every path gets its per-file names.
    if (!state.ancestors.enter(key)) {
        return;
    }
    const auto listed = state.listings.constFind(key);
    if (listed != state.listings.constEnd()) {
        // A copy: walking the subdirectories adds listings and may move the stored one.
        entries = listed.value();
        visit(dirPath, entries, true, state);
    } else if (DirectoryListing::read(dirPath, entries, state.stopped)) {
        state.listings.insert(key, entries);
        visit(dirPath, entries, false, state);
    }
    state.ancestors.leave(key);
}

// Everything a replay meets was read before in this run, so it holds no new name.
void ScanIconNamesThread::visit(const QByteArray &dirPath, const QVector<DirectoryListing::Entry> &entries, bool replay, Walk &state)
{
    for (const DirectoryListing::Entry &entry : entries) {
        if (m_stopFlag) {
            return;
        }
        if (entry.kind == DirectoryListing::Kind::Dir) {
            walk(DirectoryListing::childPath(dirPath, entry.name), state);
            continue;
        }
        if (entry.isSystem()) {
            continue;
        }
        const QString name = iconName(entry.name, state);
        if (name.isEmpty()) {
            continue;
        }
        if (state.perFile) {
            Q_EMIT iconNameFinded(name);
        }
        if (!replay) {
            foundName(name, state);
        }
    }
    if (!state.batch.isEmpty() && state.batchClock.elapsed() >= batchMilliseconds) {
        flushBatch(state);
    }
}

// A dot cannot fall inside a multi-byte sequence, so cutting the raw name at its dots
// gives the same suffix and base name as cutting the decoded one.
QString ScanIconNamesThread::iconName(const QByteArray &fileName, const Walk &state) const
{
    const int lastDot = fileName.lastIndexOf('.');
    const char *suffix = fileName.constData() + lastDot + 1;
    const int suffixLength = lastDot < 0 ? 0 : fileName.size() - lastDot - 1;
    bool matches = false;
    for (const QByteArray &wanted : qAsConst(state.suffixes)) {
        if (wanted.size() == suffixLength && std::memcmp(wanted.constData(), suffix, suffixLength) == 0) {
            matches = true;
            break;
        }
    }
    if (!matches) {
        return QString();
    }
    const int end = state.cutsAtFirstDot ? fileName.indexOf('.') : lastDot;
    return QFile::decodeName(fileName.left(end < 0 ? fileName.size() : end));
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
    // Every batch costs the receiver's list a pass over all its rows, so in a folder of
    // 200,000 icons fixed-size batches add up to quadratic time; batches that grow with
    // the names already sent keep the sum linear and the list still grows in view.
    if (state.batch.size() >= std::max(batchNames, state.reportedNames.size() / 16)) {
        flushBatch(state);
    }
}

// The credits keep the receiver's queue at most two batches long; a stopped walk hands
// over what it holds without waiting, so every name found before the stop arrives.
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

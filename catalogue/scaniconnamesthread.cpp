#include "scaniconnamesthread.h"

#include "app/constants.h"
#include "catalogue/directorylisting.h"

#include <QFile>
#include <QMetaMethod>
#include <QMutexLocker>

#include <algorithm>
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
}

bool ScanIconNamesThread::isNeedStop() const
{
    return m_stopFlag;
}

void ScanIconNamesThread::run()
{
    m_stopFlag = false;
    m_reported.clear();
    m_batchClock.start();
    const QStringList roots = dirPaths();
    for (const QString &root : roots) {
        scanIconNamesByDirPath(root);
        if (m_stopFlag) {
            break;
        }
    }
    flushBatch();
}

// Per-file receivers get every path to a file, as the toolkit's own directory iterator
// meets them; without one, each directory on disk is read once in a run: a directory met
// again, through a link or under another root, holds no name not reported yet.
void ScanIconNamesThread::scanIconNamesByDirPath(const QString &dirPath)
{
    const bool perFile = isSignalConnected(QMetaMethod::fromSignal(&ScanIconNamesThread::iconNameFinded));
    QList<QByteArray> suffixes;
    for (const QString &suffix : searchIconSuffixes()) {
        suffixes.append(QFile::encodeName(suffix));
    }
    DirectoryListing::Visitor visitor;
    // A folder of a million links takes seconds to read: Stop is looked at between entries.
    visitor.interrupted = [this]() {
        return m_stopFlag.load(std::memory_order_relaxed);
    };
    // A dot cannot fall inside a multi-byte sequence, so cutting the raw name at its dots
    // gives the same suffix and base name as cutting the decoded one.
    visitor.entry = [&](const QByteArray &, const DirectoryListing::Entry &entry) {
        if (!m_batch.isEmpty() && m_batchClock.elapsed() >= batchMilliseconds) {
            flushBatch();
        }
        const QByteArray &file = entry.name;
        const int lastDot = file.lastIndexOf('.');
        if (entry.isSystem() || !suffixes.contains(lastDot < 0 ? QByteArray() : file.mid(lastDot + 1))) {
            return;
        }
        const QString name = QFile::decodeName(file.left(file.indexOf('.') < 0 ? file.size() : file.indexOf('.')));
        if (name.isEmpty()) {
            return;
        }
        if (perFile) {
            Q_EMIT iconNameFinded(name);
        }
        foundName(name);
    };
    DirectoryListing::walk(QFile::encodeName(dirPath), perFile ? DirectoryListing::Mode::EveryPath : DirectoryListing::Mode::EachDirectoryOnce, visitor);
}

void ScanIconNamesThread::foundName(const QString &iconName)
{
    const int reported = m_reported.size();
    m_reported.insert(iconName);
    if (m_reported.size() == reported) {
        return;
    }
    if (m_batch.isEmpty()) {
        m_batchClock.restart();
    }
    m_batch.append(iconName);
    // Every batch costs the receiver's list a pass over all its rows, so in a very large
    // folder fixed-size batches add up to quadratic time; batches that grow with the
    // names already sent keep the sum linear and the list still grows in view.
    if (m_batch.size() >= std::max(batchNames, m_reported.size() / 16) || m_batchClock.elapsed() >= batchMilliseconds) {
        flushBatch();
    }
}

void ScanIconNamesThread::flushBatch()
{
    if (!m_batch.isEmpty()) {
        Q_EMIT iconNamesFinded(std::exchange(m_batch, QStringList()));
    }
}

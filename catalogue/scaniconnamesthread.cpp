#include "scaniconnamesthread.h"

#include "app/constants.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QMutexLocker>

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
    const QStringList suffixes = searchIconSuffixes();
    for (const QString &root : roots) {
        QSet<QString> ancestors;
        walk(root, suffixes, ancestors);
        if (m_stopFlag) {
            return;
        }
    }
}

void ScanIconNamesThread::scanIconNamesByDirPath(const QString &dirPath)
{
    QSet<QString> ancestors;
    walk(dirPath, searchIconSuffixes(), ancestors);
}

void ScanIconNamesThread::walk(const QString &dirPath, const QStringList &suffixes, QSet<QString> &ancestors)
{
    // Themes link size folders into each other; only a directory already on the way
    // down from the root is a cycle, so sibling links are still walked in full.
    const QString canonical = QFileInfo(dirPath).canonicalFilePath();
    if (canonical.isEmpty() || ancestors.contains(canonical)) {
        return;
    }
    ancestors.insert(canonical);

    QDirIterator it(dirPath, QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot, QDirIterator::NoIteratorFlags);
    while (it.hasNext() && !m_stopFlag) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        if (info.isDir()) {
            walk(path, suffixes, ancestors);
        } else if (suffixes.contains(info.suffix())) {
            const QString name = info.baseName();
            if (!name.isEmpty()) {
                Q_EMIT iconNameFinded(name);
            }
        }
    }

    ancestors.remove(canonical);
}

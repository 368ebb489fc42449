#include "applicantscollector.h"

ApplicantsCollector::ApplicantsCollector(QObject *parent)
    : QThread(parent)
{
}

ApplicantsCollector::~ApplicantsCollector()
{
    stop();
    wait();
}

void ApplicantsCollector::collect(const QStringList &dirPaths, const QStringList &suffixes, const QString &iconName)
{
    stop();
    wait();
    {
        QMutexLocker locker(&m_mutex);
        m_dirPaths = dirPaths;
        m_suffixes = suffixes;
        m_iconName = iconName;
        ++m_request;
    }
    m_stop = false;
    start();
}

quint64 ApplicantsCollector::request() const
{
    QMutexLocker locker(&m_mutex);
    return m_request;
}

void ApplicantsCollector::stop()
{
    m_stop = true;
}

void ApplicantsCollector::setReuseListings(bool reuse)
{
    wait();
    m_index.setReuseListings(reuse);
}

void ApplicantsCollector::run()
{
    m_mutex.lock();
    const QStringList dirPaths = m_dirPaths;
    const QStringList suffixes = m_suffixes;
    const QSet<QString> baseNames = ApplicantsIndex::applicantBaseNames(m_iconName);
    const quint64 request = m_request;
    m_mutex.unlock();
    QStringList paths;
    for (const QString &dirPath : dirPaths) {
        m_index.collect(dirPath, suffixes, baseNames, paths, &m_stop);
    }
    if (!m_stop) {
        Q_EMIT collected(request, paths);
    }
}

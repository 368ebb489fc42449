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
    // No walk runs between wait() and start(), and start() hands these over to the next.
    m_dirPaths = dirPaths;
    m_suffixes = suffixes;
    m_iconName = iconName;
    ++m_request;
    m_stop = false;
    start();
}

quint64 ApplicantsCollector::request() const
{
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
    const QSet<QString> baseNames = ApplicantsIndex::applicantBaseNames(m_iconName);
    QStringList paths;
    for (const QString &dirPath : qAsConst(m_dirPaths)) {
        m_index.collect(dirPath, m_suffixes, baseNames, paths, &m_stop);
    }
    if (!m_stop) {
        Q_EMIT collected(m_request, paths);
    }
}

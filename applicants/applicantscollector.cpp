#include "applicantscollector.h"

#include <algorithm>
#include <utility>

ApplicantsCollector::ApplicantsCollector(QObject *parent)
    : QThread(parent)
{
}

ApplicantsCollector::~ApplicantsCollector()
{
    requestInterruption();
    wait();
}

void ApplicantsCollector::collect(const QStringList &dirPaths, const QStringList &suffixes, const QString &iconName)
{
    requestInterruption();
    wait();
    // No walk runs between wait() and start(), and start() hands these over to the next.
    m_dirPaths = dirPaths;
    m_suffixes = suffixes;
    m_iconName = iconName;
    m_paths.clear();
    m_truncated = false;
    ++m_request;
    start();
}

quint64 ApplicantsCollector::request() const
{
    return m_request;
}

QStringList ApplicantsCollector::takePaths()
{
    return std::exchange(m_paths, QStringList());
}

bool ApplicantsCollector::isTruncated() const
{
    return m_truncated;
}

void ApplicantsCollector::run()
{
    const QSet<QString> baseNames = ApplicantsIndex::applicantBaseNames(m_iconName);
    const auto stops = [this]() {
        return isInterruptionRequested() || m_paths.size() > maximumPaths;
    };
    for (const QString &dirPath : qAsConst(m_dirPaths)) {
        m_index.collect(dirPath, m_suffixes, baseNames, m_paths, stops);
    }
    if (isInterruptionRequested()) {
        return;
    }
    m_truncated = m_paths.size() > maximumPaths;
    m_paths.erase(m_paths.begin() + std::min(int(m_paths.size()), maximumPaths), m_paths.end());
    Q_EMIT collected(m_request);
}

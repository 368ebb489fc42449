#include "applicantscollector.h"

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

void ApplicantsCollector::run()
{
    const QSet<QString> baseNames = ApplicantsIndex::applicantBaseNames(m_iconName);
    const auto interrupted = [this]() {
        return isInterruptionRequested();
    };
    for (const QString &dirPath : qAsConst(m_dirPaths)) {
        m_index.collect(dirPath, m_suffixes, baseNames, m_paths, interrupted);
    }
    if (!isInterruptionRequested()) {
        Q_EMIT collected(m_request);
    }
}

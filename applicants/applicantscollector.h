#ifndef APPLICANTSCOLLECTOR_H
#define APPLICANTSCOLLECTOR_H

#include "applicants/applicantsindex.h"

#include <QStringList>
#include <QThread>

#include <atomic>

// Collects the applicant files of one name on a worker thread: a theme folder holding a
// link to the root would otherwise freeze the window for as long as the whole file
// system takes to read, and keep it from closing. A new request, or the destructor,
// stops the walk under way. Only the file system is touched here.
class ApplicantsCollector : public QThread
{
    Q_OBJECT
public:
    explicit ApplicantsCollector(QObject *parent = nullptr);
    ~ApplicantsCollector() override;

    // Stops a walk under way and walks these folders, in order, for the name's applicants.
    void collect(const QStringList &dirPaths, const QStringList &suffixes, const QString &iconName);
    // The request the next collected() answers; an answer with an older one is stale.
    // Asked from the thread that makes the requests.
    quint64 request() const;
    void stop();
    // Off, every walk reads every folder afresh: the bench's reference. Waits for a walk under way.
    void setReuseListings(bool reuse);

Q_SIGNALS:
    // Only for a walk that ran to its end.
    void collected(quint64 request, const QStringList &paths);

protected:
    void run() override;

private:
    ApplicantsIndex m_index;
    QStringList m_dirPaths;
    QStringList m_suffixes;
    QString m_iconName;
    quint64 m_request = 0;
    std::atomic<bool> m_stop{false};
};

#endif

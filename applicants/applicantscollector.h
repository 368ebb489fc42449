#ifndef APPLICANTSCOLLECTOR_H
#define APPLICANTSCOLLECTOR_H

#include "applicants/applicantsindex.h"

#include <QStringList>
#include <QThread>

// Collects the applicant files of one name on a worker thread, so that a theme whose
// folders take long to read (a link to the root, a folder of a million links) never
// holds the window longer than its owner chooses to wait. A new request, an
// interruption or the destructor ends the walk under way at its next entry. Only the
// file system is touched here.
class ApplicantsCollector : public QThread
{
    Q_OBJECT
public:
    explicit ApplicantsCollector(QObject *parent = nullptr);
    ~ApplicantsCollector() override;

    // Interrupts a walk under way and walks these folders, in order, for the name's applicants.
    void collect(const QStringList &dirPaths, const QStringList &suffixes, const QString &iconName);
    // The request of the last collect(); collected() names the one it answers.
    quint64 request() const;
    // What the walk found, once it has ended uninterrupted; the owner calls it after
    // wait() or collected().
    QStringList takePaths();
    // Whether the walk stopped at maximumPaths with more to find: a tree of links can
    // lead to millions of paths, far more than any theme has applicants.
    bool isTruncated() const;
    static constexpr int maximumPaths = 200000;

Q_SIGNALS:
    // From the worker thread, once a walk has ended uninterrupted.
    void collected(quint64 request);

protected:
    void run() override;

private:
    ApplicantsIndex m_index;
    QStringList m_dirPaths;
    QStringList m_suffixes;
    QString m_iconName;
    QStringList m_paths;
    bool m_truncated = false;
    quint64 m_request = 0;
};

#endif

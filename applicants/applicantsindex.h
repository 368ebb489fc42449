#ifndef APPLICANTSINDEX_H
#define APPLICANTSINDEX_H

#include <QSet>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>

class ApplicantsIndexPrivate;

// The applicants a full depth-first walk gives, in its order, reusing a folder's listing
// only while the folder (and every folder a link in it goes through) is provably unchanged.
class ApplicantsIndex
{
public:
    ApplicantsIndex();
    ~ApplicantsIndex();

    // A stop flag that turns true ends the walk at the next folder, with paths incomplete.
    void collect(const QString &dirPath,
                 const QStringList &suffixes,
                 const QSet<QString> &baseNames,
                 QStringList &paths,
                 const std::atomic<bool> *stop = nullptr);

    // The same answer by a plain walk of the file system; the reference for collect().
    static void collectByWalk(const QString &dirPath, const QStringList &suffixes, const QSet<QString> &baseNames, QStringList &paths);

    // Every base name that would make a file an applicant of iconName: the name and
    // each of its forms cut before a dash.
    static QSet<QString> applicantBaseNames(const QString &iconName);

    // Off, every collect() walks afresh: the naive behaviour, kept as a measuring reference.
    void setReuseListings(bool reuse);
    bool reuseListings() const;

    int cachedDirectoryCount() const;
    // How many folder listings were read from disk so far.
    int directoryReads() const;

private:
    std::unique_ptr<ApplicantsIndexPrivate> const d;
};

#endif

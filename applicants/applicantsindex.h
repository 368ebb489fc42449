#ifndef APPLICANTSINDEX_H
#define APPLICANTSINDEX_H

#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class ApplicantsIndexPrivate;

// The applicants a full depth-first walk gives, in its order, reusing a folder's listing
// only while the folder (and every folder a link in it goes through) is provably unchanged.
class ApplicantsIndex
{
public:
    ApplicantsIndex();
    ~ApplicantsIndex();

    // Once interrupted() says so, the walk ends at its next entry, with paths incomplete.
    void collect(const QString &dirPath,
                 const QStringList &suffixes,
                 const QSet<QString> &baseNames,
                 QStringList &paths,
                 const std::function<bool()> &interrupted = {});

    // The same answer by a plain walk of the file system; the reference for collect().
    static void collectByWalk(const QString &dirPath, const QStringList &suffixes, const QSet<QString> &baseNames, QStringList &paths);

    // Every base name that would make a file an applicant of iconName: the name and
    // each of its forms cut before a dash; none for a name longer than a file name can be.
    static QSet<QString> applicantBaseNames(const QString &iconName);


private:
    std::unique_ptr<ApplicantsIndexPrivate> const d;
};

#endif

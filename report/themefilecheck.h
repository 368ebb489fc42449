#ifndef THEMEFILECHECK_H
#define THEMEFILECHECK_H

#include "catalogue/directorylisting.h"
#include "report/themereport.h"

#include <memory>

// What a theme maker's own scripts check file by file: links, file names, whether each
// image decodes as the toolkit decodes it and fits its folder, and copies that should be
// links. Files are read within the image guard's limits, never outside the scanned
// folders, and checked on the thread pool while the caller examines names.
class ThemeFileCheck
{
public:
    // folders: those scanned; a link may lead anywhere inside them.
    ThemeFileCheck(const QStringList &folders, const QStringList &iconSuffixes, const QSet<QString> &skipped);
    ~ThemeFileCheck();

    // For each entry the walk meets, on the walk's thread: notes what is to be checked.
    void add(const QString &root, const QByteArray &dirPath, const DirectoryListing::Entry &entry);
    void start();
    // The entries that got remarks, by path; waits for the checks to end.
    QList<ThemeReport::Entry> finish();

    // Whether the path, its links followed, lies in one of the folders (given canonical).
    static bool isInside(const QByteArray &path, const QStringList &canonicalFolders);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

#endif

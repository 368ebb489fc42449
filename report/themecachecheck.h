#ifndef THEMECACHECHECK_H
#define THEMECACHECHECK_H

#include "report/themereport.h"

// A theme's icon-theme.cache read as the toolkit reads it: the toolkit trusts a cache
// newer than every folder it covers for which folders hold a name, so a cache that
// lacks a name hides that icon from every Qt application, and a stale one makes every
// lookup probe each folder again.
class ThemeCacheCheck
{
public:
    static constexpr qint64 maximumBytes = qint64(64) << 20;

    // The caches of the theme folders among the scanned folders, or directly under them
    // for a search path; an entry for each cache that got remarks, named by its path in
    // the scanned folder.
    static QList<ThemeReport::Entry> check(const QStringList &folders);
    // The remarks on one theme folder's cache, none where it has no cache.
    static ThemeReport::Entry checkTheme(const QString &themeFolder);
};

#endif

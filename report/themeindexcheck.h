#ifndef THEMEINDEXCHECK_H
#define THEMEINDEXCHECK_H

#include "report/themereport.h"

#include <QStringList>

// What a theme's index.theme says against what its folders hold, by the freedesktop
// Icon Theme Specification, over the toolkit's current theme search paths.
class ThemeIndexCheck
{
public:
    // Past these, a theme's index is a defect of its own: the toolkit would try every
    // listed folder at every lookup. Real themes stay far below both.
    static constexpr qint64 maximumIndexBytes = qint64(1) << 20;
    static constexpr int maximumDirectoriesLength = 1 << 16;
    // Remarks of one kind beyond this many are counted, not listed.
    static constexpr int remarksOfAKind = 20;

    // The theme's folder in each search path that has one, in search path order.
    static QStringList themeFolders(const QString &themeName);
    static bool isFound(const QString &themeName);
    // The theme's index.theme, from the first search path that has one; empty where none.
    static QString indexPath(const QString &themeName);
    // The folders the index.theme in a theme's folder lists, each once; none past the limits.
    static QStringList listedFolders(const QString &themeFolder);
    // Whether the theme's index.theme is too large to hand to the toolkit's lookups.
    static bool isOversized(const QString &themeName);
    // The themes a lookup goes through, in the toolkit's order: the theme, its Inherits
    // depth first (the fallback theme where it names none), hicolor last of each.
    static QStringList lookupChain(const QString &themeName);

    // Adds the remarks to the index's entry.
    static void check(const QString &themeName, const QStringList &iconSuffixes, ThemeReport::Entry &entry);

    // The icon names in these folders, each file name without its suffix, each real
    // folder read once. A link out of the folders is not followed; a folder that cannot
    // be read is a remark. Every entry met, a link out too, goes to the file check.
    static QStringList iconNames(const QStringList &folders, const QStringList &iconSuffixes, ThemeReport::Entry &scanRemarks, ThemeFileCheck *fileCheck);
};

#endif

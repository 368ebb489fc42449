#ifndef THEMECOVERAGE_H
#define THEMECOVERAGE_H

#include "report/themereport.h"

// What a theme gives of the names applications ask for: of a list of names, and of
// the names another theme has.
class ThemeCoverage
{
public:
    // A file with one name per line (empty lines and lines from # on left out), or
    // "naming-spec": the standard names as the Debian package icon-naming-utils lists
    // them. The reason in error where the list cannot be read.
    static QStringList readList(const QString &list, QString *error);
    // Whether the toolkit gives the name itself, not a shorter one, from a file in the folders.
    static bool resolves(const QString &name, const QStringList &folders);
    // One entry for the list, with a remark for each name the folders do not give.
    static ThemeReport::Entry coverage(const QString &list, const QStringList &names, const QStringList &folders);
    // One entry for the other theme, with a remark for each name of its own folders that
    // the current theme does not give from the folders, naming the file the other uses.
    static ThemeReport::Entry compare(const QString &otherTheme, const QStringList &iconSuffixes, const QStringList &folders);
};

#endif

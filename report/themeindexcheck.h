#ifndef THEMEINDEXCHECK_H
#define THEMEINDEXCHECK_H

#include "catalogue/iconremarkstate.h"

#include <QStringList>

// What a theme's index.theme says against what its folders hold, by the freedesktop
// Icon Theme Specification, over the toolkit's current theme search paths.
class ThemeIndexCheck
{
public:
    // The theme's folder in each search path that has one, in search path order.
    static QStringList themeFolders(const QString &themeName);
    static bool isFound(const QString &themeName);
    // The themes a lookup goes through, in the toolkit's order: the theme, its Inherits
    // depth first (the fallback theme where it names none), hicolor last of each.
    static QStringList lookupChain(const QString &themeName);

    static IconRemarks check(const QString &themeName, const QStringList &iconSuffixes);
};

#endif

#ifndef ICONSMODEL_P_H
#define ICONSMODEL_P_H

#include "catalogue/iconremarkstate.h"

#include <QHash>
#include <QStringList>

class QTimer;

class IconsModel;
class IconsModelLoader;
class SlicedRelease;

class IconsModelPrivate
{
public:
    QStringList iconNames;
    QHash<QString, int> rowByName;
    IconsModelLoader *loader = nullptr;

    // Remarks cost a decode of every size of an icon, and a table of all names asks for
    // them many times over (sorting, row heights, tool tips). An entry holds while the
    // theme set-up and the name's load state are the ones it was computed under.
    // The table asks for the joined text and the top severity of every row on each
    // of its layout passes, so both are kept with the remarks they come from.
    struct CachedRemarks {
        int status = 0;
        IconRemarks remarks;
        QString text;
        IconRemarkState maximum = NoRemark;
    };
    CachedRemarks cachedRemarks(const QString &iconName, const IconsModel *model);
    QHash<QString, CachedRemarks> remarksCache;

    // The toolkit settings the cached remarks were computed under, compared part by
    // part: joining them into one key on each request cost as much as the lookup.
    struct ThemeSetup {
        QString themeName;
        QString fallbackThemeName;
        QStringList themeSearchPaths;
        QStringList fallbackSearchPaths;
        bool operator==(const ThemeSetup &other) const;
    };
    ThemeSetup remarksThemeSetup;
    // Drops the cached remarks when the toolkit's theme set-up has changed since.
    void checkThemeSetup();
    // Moves whenever any answer of the model or its remark engine may have changed.
    quint64 contentRevision = 0;
    QTimer *remarksWarmer = nullptr;
    int warmedRows = 0;
    // What a clear took out of the model, let go of from the event loop.
    SlicedRelease *release = nullptr;
};

#endif

#ifndef ICONSMODEL_P_H
#define ICONSMODEL_P_H

#include "catalogue/iconremarkstate.h"

#include <QHash>
#include <QStringList>

class QTimer;

class IconsModelLoader;

class IconsModelPrivate
{
public:
    QStringList iconNames;
    QHash<QString, int> rowByName;
    IconsModelLoader *loader = nullptr;

    // Remarks cost a decode of every size of an icon, and a table of all names asks for
    // them many times over (sorting, row heights, tool tips). An entry holds while the
    // theme set-up and the name's load state are the ones it was computed under.
    struct CachedRemarks {
        int status = 0;
        IconRemarks remarks;
    };
    QHash<QString, CachedRemarks> remarksCache;
    QString remarksThemeKey;
    QTimer *remarksWarmer = nullptr;
    int warmedRows = 0;
};

#endif

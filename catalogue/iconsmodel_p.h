#ifndef ICONSMODEL_P_H
#define ICONSMODEL_P_H

#include <QHash>
#include <QStringList>

class IconsModelLoader;
class QTimer;

class IconsModelPrivate
{
public:
    QStringList iconNames;
    QHash<QString, int> rowByName;
    // What a clear took out, let go of at the next loading pass, which holds the window
    // anyway: at a scan's start it would hold the window for as long.
    QStringList clearedNames;
    QHash<QString, int> clearedRows;
    IconsModelLoader *loader = nullptr;
    // Examines the loaded names in idle slices, so that the remarks table and the badges
    // find them examined; each examination decodes every size of an icon.
    QTimer *examiner = nullptr;
    int examinedRows = 0;
};

#endif

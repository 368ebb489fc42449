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
    IconsModelLoader *loader = nullptr;
    // Examines the loaded names in idle slices, so that the remarks table and the badges
    // find them examined; each examination decodes every size of an icon.
    QTimer *examiner = nullptr;
    int examinedRows = 0;
};

#endif

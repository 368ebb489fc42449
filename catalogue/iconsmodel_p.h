#ifndef ICONSMODEL_P_H
#define ICONSMODEL_P_H

#include <QHash>
#include <QStringList>

class IconsModelLoader;

class IconsModelPrivate
{
public:
    QStringList iconNames;
    QHash<QString, int> rowByName;
    IconsModelLoader *loader = nullptr;
};

#endif

#ifndef CONSTANTS_H
#define CONSTANTS_H

#include "applicants/iconpathsection.h"

#include <QList>
#include <QStringList>

extern const QStringList iconFileSuffixes;
extern const QList<int> standartIconSizes;
extern const QList<IconPathSection> allIconPathSections;

#endif

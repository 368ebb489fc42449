#ifndef ZELICON_H
#define ZELICON_H

#include <QIcon>
#include <QMap>
#include <QPair>
#include <QString>

namespace ZelIcon
{
using Emblem = QPair<Qt::Corner, QString>;

// The icon with each emblem's theme icon drawn into its corner at half the size, at every size
// asked for; the icon itself when there are no emblems.
QIcon withEmblems(const QIcon &icon, const QMap<Qt::Corner, QString> &emblems);
}

#endif

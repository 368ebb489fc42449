#include "zelicon.h"

#include "emblemiconengine.h"

QIcon ZelIcon::withEmblems(const QIcon &icon, const QMap<Qt::Corner, QString> &emblems)
{
    if (emblems.isEmpty() || icon.isNull()) {
        return icon;
    }
    return QIcon(new EmblemIconEngine(icon, emblems));
}

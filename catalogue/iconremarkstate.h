#ifndef ICONREMARKSTATE_H
#define ICONREMARKSTATE_H

#include <QList>
#include <QPair>
#include <QString>

enum IconRemarkState : int {
    NoRemark = 0,
    InformationRemark = 1,
    WarningRemark = 2,
    ErrorRemark = 3,
};

using IconRemark = QPair<IconRemarkState, QString>;
using IconRemarks = QList<IconRemark>;

#endif

#ifndef THEMECHECK_H
#define THEMECHECK_H

#include "catalogue/iconremarkstate.h"

#include <QString>
#include <QVector>

// One thing the report checks. The id is what CI configurations and SARIF viewers know a
// check by, so it never changes once released; a check's remarks all have its severity.
class ThemeCheck
{
public:
    QString id;
    IconRemarkState severity = NoRemark;
    QString description;

    // Every check, those of icon names first, then index.theme's, then the files'.
    static const QVector<ThemeCheck> &all();
    // -1 for an id no check has.
    static int indexOf(const QString &id);
    static IconRemarkState severityOf(const QString &id);
};

#endif

#ifndef ICONEXAMINATION_H
#define ICONEXAMINATION_H

#include "catalogue/iconremarkstate.h"

#include <QIcon>
#include <QList>
#include <QSize>
#include <QString>

class IconsModel;

// What the find panel and the report tell of one name, so the two never disagree.
struct IconExamination {
    QString name;
    QString nameInUse;
    bool hasThemeIcon = false;
    QList<QSize> sizes; // sorted, each once
    IconRemarks remarks;
    IconRemarkState maximum = NoRemark;

    // icon is what QIcon::fromTheme(name) gave; the caller keeps it for its preview.
    static IconExamination examine(IconsModel *model, const QString &name, const QIcon &icon);
};

#endif

#ifndef ICONSMODEL_P_H
#define ICONSMODEL_P_H

#include "catalogue/iconremarkstate.h"

#include <QHash>
#include <QList>
#include <QSize>
#include <QStringList>
#include <QVector>

class QTimer;

class IconsModel;
class IconsModelLoader;
class SlicedRelease;

class IconsModelPrivate
{
public:
    QStringList iconNames;
    QHash<QString, int> rowByName;
    IconsModelLoader *loader = nullptr;

    // No texts, which follow the language at each call. Holds while the toolkit's theme key,
    // the fallback theme name (not in that key in Qt 5) and the name's load state stay.
    struct Examination {
        int status = 0;
        QString found; // shares the name's text where they are equal
        QList<QSize> sizes;
        QVector<int> nullSizes; // indexes into sizes; empty, so unallocated, for a sound icon
        IconRemarkState maximum = NoRemark;
        QStringList files; // the file the toolkit takes for each size
        bool refused = false; // a file of it must not be decoded
    };
    const Examination &examination(const QString &iconName);
    QHash<QString, Examination> examinations;
    uint examinedThemeKey = 0;
    QString examinedFallbackTheme;
    QStringList textLanguages;
    // Drops every examination once the toolkit's theme set-up has changed since.
    void followToolkit();
    // Moves whenever any answer of the model or its remark engine may have changed.
    quint64 contentRevision = 0;
    QTimer *remarksWarmer = nullptr;
    int warmedRows = 0;
    int warmedSlices = 0;
    // What a clear took out of the model, let go of from the event loop.
    SlicedRelease *release = nullptr;
};

#endif

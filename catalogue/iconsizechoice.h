#ifndef ICONSIZECHOICE_H
#define ICONSIZECHOICE_H

#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <QVector>

// Which file the toolkit's loader draws a name from at one size and scale, and from
// which folder: the "why this file" of a size.
class IconSizeChoice
{
public:
    int size = 0;
    int scale = 1;
    QString file; // empty where the name has no icon
    QString folder; // as index.theme names it; empty for a loose fallback file
    QString folderType; // Fixed, Scalable, Threshold or Fallback
    int folderSize = 0;
    int folderScale = 1;
    // The size whose file the toolkit scales to draw this one; 0 where it draws the
    // file at this size (an SVG, or a raster file of this size and scale).
    int scaledFrom = 0;

    // Under the theme in force, the name asked of the toolkit's loader once.
    static QVector<IconSizeChoice> of(const QString &name, const QList<int> &sizes, const QList<int> &scales);
    // A file as the toolkit's loader draws it for a size and scale: an SVG rendered at the
    // device pixels asked for, any other file at its own pixels, scaled down to fit. Null
    // where the image guard refuses the file.
    static QImage drawn(const QString &file, int size, int scale = 1);
};

#endif

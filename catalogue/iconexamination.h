#ifndef ICONEXAMINATION_H
#define ICONEXAMINATION_H

#include "catalogue/iconremarkstate.h"

#include <QList>
#include <QSize>
#include <QStringList>
#include <QVector>

// What the toolkit answers for one icon name, asked once, and the remarks on it. Every
// reader of a name's facts reads this: the find's panels, the names list, the remarks
// table and the report, so they never disagree.
class IconExamination
{
public:
    QString name;
    QString nameInUse; // of QIcon::fromTheme(name)
    bool hasThemeIcon = false;
    QList<QSize> sizes; // as the icon offers them, a size listed twice included
    QStringList files; // the file the toolkit takes for each of sizes, empty where none
    QVector<int> nullSizes; // indexes into sizes that give no valid image
    bool refused = false; // a file of it must not be decoded
    IconRemarks remarks; // in the order the checks give them
    QStringList checks; // the id of each remark's check
    IconRemarkState maximum = NoRemark;

    // The examination held for the name, made now where none is held for the answer the
    // toolkit gives now: the toolkit's theme key, which every change of the theme name or
    // of either list of search paths moves, and the language of the texts decide it. The
    // fallback theme name alone does not change the toolkit's answer until the key moves.
    // fresh: made now in any case, as a find is, since a file may have changed on disk.
    static IconExamination of(const QString &name, bool fresh = false);
    // Made now and not held: for a reader that asks about each name once, as the report
    // does over a theme of tens of thousands of names.
    static IconExamination made(const QString &name);

    // One line each. Made when asked: held as well, a large theme's remarks would be held twice.
    QString remarksText() const;
    // Each size once, smallest width first, then smallest height.
    QList<QSize> distinctSizes() const;
    QString fileFor(const QSize &size) const;
};

#endif

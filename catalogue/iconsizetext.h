#ifndef ICONSIZETEXT_H
#define ICONSIZETEXT_H

#include <QList>
#include <QSize>
#include <QString>

// Sizes as the find panel's size list and the report write them: "16x16".
class IconSizeText
{
public:
    static QString toString(const QSize &size);
    // Any text without an 'x' is the invalid size; a part that is not a number counts as 0.
    static QSize fromString(const QString &text);
    // Smallest width first, then smallest height, each size once.
    static QList<QSize> sortedDistinct(QList<QSize> sizes);
};

#endif

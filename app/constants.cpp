#include "constants.h"

const QStringList iconFileSuffixes = {
    QStringLiteral("png"),
    QStringLiteral("jpg"),
    QStringLiteral("jpeg"),
    QStringLiteral("svg"),
    QStringLiteral("svgz"),
    QStringLiteral("xcf"),
    QStringLiteral("xpm"),
};

// Not powers of two: 22, 48, 96 and 192 are freedesktop standard sizes too.
const QList<int> standartIconSizes = {16, 22, 32, 48, 64, 96, 128, 192, 256};

static QList<IconPathSection> makeAllIconPathSections()
{
    QList<IconPathSection> sections;
    sections.reserve(5);
    for (int section = MainPath; section <= Name; ++section) {
        sections.append(static_cast<IconPathSection>(section));
    }
    return sections;
}

const QList<IconPathSection> allIconPathSections = makeAllIconPathSections();

#ifndef ICONPATHSECTION_H
#define ICONPATHSECTION_H

#include <QList>

// A fixed underlying type keeps out-of-range values from stored lists well-defined.
enum IconPathSection : int {
    MainPath = 0,
    Theme = 1,
    Size = 2,
    Category = 3,
    Name = 4,
};

#endif

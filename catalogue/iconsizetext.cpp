#include "iconsizetext.h"

#include <QStringList>

#include <algorithm>

QString IconSizeText::toString(const QSize &size)
{
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

QSize IconSizeText::fromString(const QString &text)
{
    if (!text.contains(QLatin1Char('x'))) {
        return QSize();
    }
    const QStringList parts = text.split(QLatin1Char('x'));
    return QSize(parts.value(0).toInt(), parts.value(1).toInt());
}

QList<QSize> IconSizeText::sortedDistinct(QList<QSize> sizes)
{
    std::sort(sizes.begin(), sizes.end(), [](const QSize &a, const QSize &b) {
        return a.width() != b.width() ? a.width() < b.width() : a.height() < b.height();
    });
    sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
    return sizes;
}

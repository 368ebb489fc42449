#include "iconsmodelloader.h"

#include "app/constants.h"

#include <QHash>
#include <QPixmap>

#include <utility>

class IconsModelLoaderPrivate
{
public:
    IconsModelLoaderPrivate()
    {
        // Puts the platform's own theme in force until the stored settings are applied.
        QIcon::setThemeName(QString());
        for (int size : standartIconSizes) {
            QPixmap pixmap(size, size);
            pixmap.fill(Qt::transparent);
            emptyIcon.addPixmap(pixmap, QIcon::Normal, QIcon::Off);
        }
    }

    QIcon emptyIcon;
    QHash<QString, QIcon> iconsCache;
    // What a clear took out, let go of at the next loading pass, which holds the window
    // anyway: a theme's icons take the GUI thread tens of milliseconds to let go of.
    QHash<QString, QIcon> cleared;
};

IconsModelLoader::IconsModelLoader(QObject *parent)
    : QObject(parent)
    , d(std::make_unique<IconsModelLoaderPrivate>())
{
}

IconsModelLoader::~IconsModelLoader() = default;

QIcon IconsModelLoader::getIcon(const QString &iconName) const
{
    const auto it = d->iconsCache.constFind(iconName);
    return it != d->iconsCache.constEnd() && !it->isNull() ? *it : d->emptyIcon;
}

int IconsModelLoader::status(const QString &iconName) const
{
    return d->iconsCache.contains(iconName) ? 2 : 0;
}

void IconsModelLoader::loadIcon(const QString &iconName)
{
    d->cleared.clear();
    if (d->iconsCache.contains(iconName)) {
        return;
    }
    const QIcon icon = QIcon::fromTheme(iconName);
    // Asking for the sizes makes the theme engine resolve its entries now, inside the pass.
    Q_UNUSED(icon.availableSizes(QIcon::Normal, QIcon::Off));
    d->iconsCache.insert(iconName, icon);
}

void IconsModelLoader::clear()
{
    d->cleared = std::exchange(d->iconsCache, QHash<QString, QIcon>());
}

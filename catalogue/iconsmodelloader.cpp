#include "iconsmodelloader.h"

#include "app/constants.h"
#include "catalogue/slicedrelease.h"

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
    SlicedRelease *release = nullptr;
};

IconsModelLoader::IconsModelLoader(QObject *parent)
    : QObject(parent)
{
    init();
}

IconsModelLoader::~IconsModelLoader() = default;

void IconsModelLoader::init()
{
    d = std::make_unique<IconsModelLoaderPrivate>();
    d->release = new SlicedRelease(this);
}

QIcon IconsModelLoader::getIcon(const QString &iconName) const
{
    const auto it = d->iconsCache.constFind(iconName);
    if (it != d->iconsCache.constEnd() && !it->isNull()) {
        return *it;
    }
    return d->emptyIcon;
}

QIcon IconsModelLoader::loadedIcon(const QString &iconName) const
{
    return d->iconsCache.value(iconName);
}

int IconsModelLoader::status(const QString &iconName) const
{
    return d->iconsCache.contains(iconName) ? 2 : 0;
}

void IconsModelLoader::loadIcon(const QString &iconName)
{
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
    d->release->retire(std::exchange(d->iconsCache, QHash<QString, QIcon>()));
}

void IconsModelLoader::postponeRelease()
{
    d->release->postpone();
}

bool IconsModelLoader::isReleasing() const
{
    return d->release->isPending();
}

#include "iconsizechoice.h"

#include "catalogue/iconfileguard.h"

#include <QImageReader>

#include <private/qiconloader_p.h>

QVector<IconSizeChoice> IconSizeChoice::of(const QString &name, const QList<int> &sizes, const QList<int> &scales)
{
    QVector<IconSizeChoice> choices;
    const QThemeIconInfo info = QIconLoader::instance()->loadIcon(name);
    for (int scale : scales) {
        for (int size : sizes) {
            IconSizeChoice choice;
            choice.size = size;
            choice.scale = scale;
            if (const QIconLoaderEngineEntry *entry = QIconLoaderEngine::entryForSize(info, QSize(size, size), scale)) {
                static const char *const types[] = {"Fixed", "Scalable", "Threshold", "Fallback"};
                choice.file = entry->filename;
                choice.folder = entry->dir.path;
                choice.folderType = QString::fromLatin1(types[entry->dir.type]);
                choice.folderSize = entry->dir.size;
                choice.folderScale = entry->dir.scale;
                // The toolkit renders an SVG at the size asked; any other file it draws
                // from its own pixels, scaled down where they are larger.
                const bool vector = entry->filename.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive);
                if (!vector && entry->dir.size * entry->dir.scale != size * scale) {
                    choice.scaledFrom = entry->dir.size;
                }
            }
            choices.append(choice);
        }
    }
    // Qt 5 hands the entries over as raw pointers; its own engine deletes them likewise.
    qDeleteAll(info.entries);
    return choices;
}

QImage IconSizeChoice::drawn(const QString &file, int size, int scale)
{
    if (file.isEmpty() || !IconFileGuard::isDecodable(file)) {
        return QImage();
    }
    const QSize device = QSize(size, size) * scale;
    QImageReader reader(file);
    if (reader.format().startsWith("svg")) {
        reader.setScaledSize(device);
    }
    QImage image = reader.read();
    if (image.width() > device.width() || image.height() > device.height()) {
        image = image.scaled(device, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    image.setDevicePixelRatio(scale);
    return image;
}

#ifndef ICONSMODELLOADER_H
#define ICONSMODELLOADER_H

#include <QIcon>
#include <QObject>

#include <memory>

class IconsModelLoaderPrivate;

// The theme icons of the listed names, looked up once each on the GUI thread.
class IconsModelLoader : public QObject
{
    Q_OBJECT
public:
    explicit IconsModelLoader(QObject *parent);
    ~IconsModelLoader() override;

    // Never looks anything up: unloaded and null icons give the transparent placeholder.
    QIcon getIcon(const QString &iconName) const;
    // 2 once the name is cached, 0 before.
    int status(const QString &iconName) const;
    // What the loading pass got from the theme, a null icon where it found nothing or
    // has not been.
    QIcon loadedIcon(const QString &iconName) const;
    void loadIcon(const QString &iconName);
    // Empty at once; the icons held until now are let go of from the event loop.
    void clear();
    bool isReleasing() const;
    // New names are coming in: what a clear took out waits until they stop.
    void postponeRelease();

private:
    void init();

    std::unique_ptr<IconsModelLoaderPrivate> d;
};

#endif

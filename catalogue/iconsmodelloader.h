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
    void loadIcon(const QString &iconName);
    void clear();

private:
    std::unique_ptr<IconsModelLoaderPrivate> const d;
};

#endif

// Qt exports the pixmap cache's sweep but declares it for its own tests only.
#define Q_TEST_QPIXMAPCACHE
#include <QPixmapCache>

#include "iconsmodel.h"
#include "iconsmodel_p.h"
#include "iconsmodelloader.h"
#include "slicedrelease.h"

#include <QElapsedTimer>
#include <QTimer>

#include <utility>

IconsModel::IconsModel(QObject *parent)
    : QAbstractListModel(parent)
{
    init();
}

IconsModel::~IconsModel()
{
    delete d->loader;
    d->loader = nullptr;
}

void IconsModel::init()
{
    d = std::make_unique<IconsModelPrivate>();
    d->loader = new IconsModelLoader(this);
    d->release = new SlicedRelease(this);
    d->remarksWarmer = new QTimer(this);
    d->remarksWarmer->setInterval(0);
    connect(d->remarksWarmer, &QTimer::timeout, this, &IconsModel::warmRemarks);
}

// Remarks decode every size of an icon, seconds over a large theme: done in idle slices,
// the remarks table and the badges open at once.
void IconsModel::warmRemarks()
{
    QElapsedTimer slice;
    slice.start();
    while (d->warmedRows < d->iconNames.size() && slice.elapsed() < 10) {
        d->examination(d->iconNames.at(d->warmedRows));
        ++d->warmedRows;
    }
    // Each size checked leaves a key in the pixmap cache that outlives its pixmap; the
    // cache's own timed sweep of them all would stall whatever runs then, a scan say.
    if (++d->warmedSlices % 10 == 0) {
        QPixmapCache::flushDetachedPixmaps();
    }
    if (d->warmedRows >= d->iconNames.size()) {
        d->remarksWarmer->stop();
    }
}

bool IconsModel::isWarmingRemarks() const
{
    return d->remarksWarmer->isActive();
}

bool IconsModel::isReleasing() const
{
    return d->release->isPending() || d->loader->isReleasing();
}

QModelIndex IconsModel::index(int row, int column, const QModelIndex &parent) const
{
    if (parent.isValid() || row < 0 || row >= d->iconNames.size() || column != 0) {
        return QModelIndex();
    }
    return createIndex(row, column);
}

int IconsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : d->iconNames.size();
}

int IconsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 1;
}

QVariant IconsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid()) {
        return QVariant();
    }
    const QString name = iconName(index);
    if (name.isEmpty()) {
        return QVariant();
    }
    switch (role) {
    case Qt::DisplayRole:
        return name;
    case Qt::DecorationRole:
        return decorationIcon(name);
    case Qt::ToolTipRole:
        return iconRemarksAsString(index);
    default:
        return QVariant();
    }
}

QString IconsModel::iconName(const QModelIndex &index) const
{
    if (!index.isValid() || index.parent().isValid() || index.row() >= d->iconNames.size()) {
        return QString();
    }
    return d->iconNames.at(index.row());
}

const QString &IconsModel::iconNameAt(int row) const
{
    return d->iconNames.at(row);
}

// A loaded icon with a file the guard refuses is shown as the blank placeholder, so that
// no view ever decodes that file.
QIcon IconsModel::decorationIcon(const QString &iconName) const
{
    if (d->loader->status(iconName) == 2 && d->examination(iconName).refused) {
        return d->loader->getIcon(QString());
    }
    return d->loader->getIcon(iconName);
}

QIcon IconsModel::icon(const QModelIndex &index) const
{
    if (index.isValid() && index.row() < d->iconNames.size()) {
        return d->loader->getIcon(iconName(index));
    }
    return d->loader->getIcon(QString());
}

QIcon IconsModel::loadedIcon(const QString &iconName) const
{
    return d->loader->loadedIcon(iconName);
}

QModelIndex IconsModel::findIcon(const QString &iconName) const
{
    const auto it = d->rowByName.constFind(iconName);
    if (it == d->rowByName.constEnd()) {
        return QModelIndex();
    }
    return createIndex(*it, 0);
}

void IconsModel::addIcon(const QString &iconName)
{
    addIcons({iconName});
}

void IconsModel::addIcons(const QStringList &iconNames)
{
    QStringList added;
    for (const QString &name : iconNames) {
        if (!name.isEmpty() && !d->rowByName.contains(name)) {
            d->rowByName.insert(name, d->iconNames.size() + added.size());
            added.append(name);
        }
    }
    if (added.isEmpty()) {
        return;
    }
    const int first = d->iconNames.size();
    beginInsertRows(QModelIndex(), first, first + added.size() - 1);
    d->iconNames.append(added);
    ++d->contentRevision;
    endInsertRows();
    d->release->postpone();
    d->loader->postponeRelease();
}

void IconsModel::clear()
{
    beginResetModel();
    d->release->retire(QList<QString>(std::exchange(d->iconNames, QStringList())));
    d->release->retire(std::exchange(d->rowByName, QHash<QString, int>()));
    d->loader->clear();
    d->release->retire(std::exchange(d->examinations, QHash<QString, IconsModelPrivate::Examination>()));
    d->remarksWarmer->stop();
    d->warmedRows = 0;
    ++d->contentRevision;
    endResetModel();
}

void IconsModel::loadAllIcons()
{
    for (const QString &name : qAsConst(d->iconNames)) {
        if (d->loader->status(name) != 2) {
            d->loader->loadIcon(name);
        }
    }
    ++d->contentRevision;
    d->warmedRows = 0;
    d->remarksWarmer->start();
}

#include "iconsmodel.h"
#include "iconsmodel_p.h"

#include "catalogue/iconexamination.h"
#include "catalogue/iconsmodelloader.h"

#include <QElapsedTimer>
#include <QTimer>

#include <utility>

IconsModel::IconsModel(QObject *parent)
    : QAbstractListModel(parent)
    , d(std::make_unique<IconsModelPrivate>())
{
    d->loader = new IconsModelLoader(this);
    d->examiner = new QTimer(this);
    d->examiner->setInterval(0);
    connect(d->examiner, &QTimer::timeout, this, &IconsModel::examineLoadedNames);
}

IconsModel::~IconsModel() = default;

void IconsModel::examineLoadedNames()
{
    QElapsedTimer slice;
    slice.start();
    while (d->examinedRows < d->iconNames.size() && slice.elapsed() < 10) {
        IconExamination::of(d->iconNames.at(d->examinedRows++));
    }
    if (d->examinedRows >= d->iconNames.size()) {
        d->examiner->stop();
    }
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
    if (d->loader->status(iconName) == 2 && IconExamination::of(iconName).refused) {
        return d->loader->getIcon(QString());
    }
    return d->loader->getIcon(iconName);
}

QIcon IconsModel::icon(const QModelIndex &index) const
{
    return d->loader->getIcon(iconName(index));
}

QModelIndex IconsModel::findIcon(const QString &iconName) const
{
    const auto it = d->rowByName.constFind(iconName);
    return it == d->rowByName.constEnd() ? QModelIndex() : createIndex(*it, 0);
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
    endInsertRows();
}

void IconsModel::clear()
{
    beginResetModel();
    d->clearedNames = std::exchange(d->iconNames, QStringList());
    d->clearedRows = std::exchange(d->rowByName, QHash<QString, int>());
    d->loader->clear();
    d->examiner->stop();
    d->examinedRows = 0;
    endResetModel();
}

void IconsModel::loadAllIcons()
{
    d->clearedNames.clear();
    d->clearedRows.clear();
    for (const QString &name : qAsConst(d->iconNames)) {
        d->loader->loadIcon(name);
    }
    d->examinedRows = 0;
    d->examiner->start();
}

IconRemarks IconsModel::iconRemarks(const QString &iconName) const
{
    return IconExamination::of(iconName).remarks;
}

IconRemarks IconsModel::iconRemarks(const QModelIndex &index) const
{
    return iconRemarks(iconName(index));
}

QString IconsModel::iconRemarksAsString(const QModelIndex &index) const
{
    return IconExamination::of(iconName(index)).remarksText();
}

QIcon IconsModel::getMaxRemarkDialogIcon(const QString &iconName) const
{
    return getRemarkDialogIcon(IconExamination::of(iconName).maximum);
}

// Theme icons of the examined theme: one whose file the guard refuses gives no badge.
QIcon IconsModel::getRemarkDialogIcon(IconRemarkState state)
{
    static const QString names[] = {QString(), QStringLiteral("dialog-information"), QStringLiteral("dialog-warning"), QStringLiteral("dialog-error")};
    const int severity = static_cast<int>(state);
    if (severity < InformationRemark || severity > ErrorRemark) {
        return QIcon();
    }
    return IconExamination::of(names[severity]).refused ? QIcon() : QIcon::fromTheme(names[severity]);
}

#include "iconsproxyremarksmodel.h"

#include "catalogue/iconsmodel.h"

#include <KLocalizedString>

#include <QMetaEnum>

namespace
{
int propertyCount()
{
    static const int count = [] {
        const QMetaObject &meta = IconsProxyRemarksModel::staticMetaObject;
        return meta.enumerator(meta.indexOfEnumerator("IconsRemarkProperty")).keyCount();
    }();
    return count;
}
}

IconsProxyRemarksModel::IconsProxyRemarksModel(IconsModel *sourceModel, QObject *parent)
    : QAbstractProxyModel(parent)
{
    setSourceModel(sourceModel);
}

IconsProxyRemarksModel::~IconsProxyRemarksModel() = default;

IconsModel *IconsProxyRemarksModel::sourceIconsModel() const
{
    return qobject_cast<IconsModel *>(sourceModel());
}

QModelIndex IconsProxyRemarksModel::index(int row, int column, const QModelIndex &parent) const
{
    Q_UNUSED(parent);
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) {
        return QModelIndex();
    }
    return createIndex(row, column);
}

QModelIndex IconsProxyRemarksModel::parent(const QModelIndex &child) const
{
    Q_UNUSED(child);
    return QModelIndex();
}

int IconsProxyRemarksModel::rowCount(const QModelIndex &parent) const
{
    // The table is flat: only the invalid parent has rows.
    const IconsModel *model = sourceIconsModel();
    if (!model || parent.isValid()) {
        return 0;
    }
    return model->rowCount(QModelIndex());
}

int IconsProxyRemarksModel::columnCount(const QModelIndex &parent) const
{
    Q_UNUSED(parent);
    return propertyCount();
}

QVariant IconsProxyRemarksModel::data(const QModelIndex &index, int role) const
{
    const IconsModel *model = sourceIconsModel();
    if (!model || !index.isValid() || index.row() >= rowCount()) {
        return QVariant();
    }
    const QModelIndex source = model->index(index.row(), 0);
    switch (index.column()) {
    case IconFoundNameProperty:
        if (role == Qt::DisplayRole) {
            return model->icon(source).name();
        }
        if (role == Qt::DecorationRole) {
            return model->decorationIcon(model->iconName(source));
        }
        break;
    case IconNameProperty:
        if (role == Qt::DisplayRole) {
            return model->iconName(source);
        }
        break;
    case IconRemark:
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
            return model->iconRemarksAsString(source);
        }
        if (role == Qt::DecorationRole) {
            return model->getMaxRemarkDialogIcon(model->iconName(source));
        }
        break;
    default:
        break;
    }
    return QVariant();
}

QVariant IconsProxyRemarksModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QVariant();
    }
    switch (section) {
    case IconFoundNameProperty:
        return i18nd("zel-find-qicon", "Finded icon name");
    case IconNameProperty:
        return i18nd("zel-find-qicon", "Icon name");
    case IconRemark:
        return i18nd("zel-find-qicon", "Icon remarks");
    default:
        return QVariant();
    }
}

QModelIndex IconsProxyRemarksModel::mapToSource(const QModelIndex &proxyIndex) const
{
    const IconsModel *model = sourceIconsModel();
    if (!model || !proxyIndex.isValid()) {
        return QModelIndex();
    }
    return model->index(proxyIndex.row(), 0);
}

QModelIndex IconsProxyRemarksModel::mapFromSource(const QModelIndex &sourceIndex) const
{
    if (!sourceIndex.isValid()) {
        return QModelIndex();
    }
    return index(sourceIndex.row(), IconNameProperty);
}

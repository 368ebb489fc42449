#ifndef ICONSPROXYREMARKSMODEL_H
#define ICONSPROXYREMARKSMODEL_H

#include <QAbstractProxyModel>

class IconsModel;

// Three columns over each IconsModel row; values are computed at every request.
class IconsProxyRemarksModel : public QAbstractProxyModel
{
    Q_OBJECT
public:
    enum IconsRemarkProperty {
        IconFoundNameProperty = 0,
        IconNameProperty = 1,
        IconRemark = 2,
    };
    Q_ENUM(IconsRemarkProperty)

    IconsProxyRemarksModel(IconsModel *sourceModel, QObject *parent);
    ~IconsProxyRemarksModel() override;

    IconsModel *sourceIconsModel() const;

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    QModelIndex mapToSource(const QModelIndex &proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex &sourceIndex) const override;
};

#endif

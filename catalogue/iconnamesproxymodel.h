#ifndef ICONNAMESPROXYMODEL_H
#define ICONNAMESPROXYMODEL_H

#include <QSortFilterProxyModel>

class IconsModel;

// The names list's sorting proxy: the plain proxy's order, without a variant made of each
// name per comparison and with ASCII folded here rather than through the Unicode tables.
// The list is sorted once at the end of every scan, inside the time a user waits for it.
class IconNamesProxyModel : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    explicit IconNamesProxyModel(QObject *parent);

    void setSourceModel(QAbstractItemModel *sourceModel) override;

protected:
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    const IconsModel *m_names = nullptr;
};

#endif

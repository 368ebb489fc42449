#ifndef ICONNAMESPROXYMODEL_H
#define ICONNAMESPROXYMODEL_H

#include <QSortFilterProxyModel>

class IconsModel;

// The names list's sorting proxy: the plain proxy's order, with names compared in place.
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

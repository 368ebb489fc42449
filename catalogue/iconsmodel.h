#ifndef ICONSMODEL_H
#define ICONSMODEL_H

#include "catalogue/iconremarkstate.h"

#include <QAbstractListModel>
#include <QIcon>

#include <memory>

class IconsModelPrivate;

class IconsModel : public QAbstractListModel
{
    Q_OBJECT
public:
    explicit IconsModel(QObject *parent);
    ~IconsModel() override;

    QModelIndex index(int row, int column = 0, const QModelIndex &parent = QModelIndex()) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    QString iconName(const QModelIndex &index) const;
    // The name of a row that exists, without a copy: the names list's sort compares each
    // name some twenty times.
    const QString &iconNameAt(int row) const;
    QIcon icon(const QModelIndex &index) const;
    // What views show for the name: its loaded icon, unless a file of it must not be decoded.
    QIcon decorationIcon(const QString &iconName) const;
    QModelIndex findIcon(const QString &iconName) const;

    void addIcon(const QString &iconName);
    // One insertion for all the names it has not listed yet, in their order.
    void addIcons(const QStringList &iconNames);
    void clear();
    void loadAllIcons();

    IconRemarks iconRemarks(const QString &iconName) const;
    IconRemarks iconRemarks(const QModelIndex &index) const;
    QString iconRemarksAsString(const QModelIndex &index) const;
    QIcon getMaxRemarkDialogIcon(const QString &iconName) const;
    static QIcon getRemarkDialogIcon(IconRemarkState state);

private:
    void examineLoadedNames();

    std::unique_ptr<IconsModelPrivate> const d;
};

#endif

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
    // The name of a row that exists, without a copy.
    const QString &iconNameAt(int row) const;
    QIcon icon(const QModelIndex &index) const;
    // The loading pass's own icon for the name; null where it found nothing or has not run.
    QIcon loadedIcon(const QString &iconName) const;
    // For each of the sizes, the file the toolkit takes for it, as the remarks found it.
    QStringList iconFiles(const QString &iconName, const QList<QSize> &sizes) const;
    // What views show for the name: its icon, unless a file of it must not be decoded.
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
    // The next request looks at the files again, as a new find should.
    void dropCachedRemarks(const QString &iconName);
    // Changes whenever a row's name, icon or remarks may read differently than before,
    // the toolkit's theme set-up included; views use it to keep what they worked out.
    quint64 contentRevision() const;
    // True while remarks of loaded names are still being worked out in idle time.
    bool isWarmingRemarks() const;
    // Whether icons or remarks a clear took out are still being let go of.
    bool isReleasing() const;
    QIcon getMaxRemarkDialogIcon(const QString &iconName) const;
    static QIcon getRemarkDialogIcon(IconRemarkState state);

private:
    friend class IconsModelPrivate;
    void init();
    void warmRemarks();

    std::unique_ptr<IconsModelPrivate> d;
};

#endif

#ifndef APPLICANTSSORTFILTERMODEL_H
#define APPLICANTSSORTFILTERMODEL_H

#include "applicants/iconpathsection.h"

#include <QList>
#include <QSortFilterProxyModel>

class ApplicantsSortFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    explicit ApplicantsSortFilterModel(QObject *parent = nullptr);

    void setIconNameFilter(const QString &iconNameFilter);
    QString iconNameFilter() const;

    void setSortSectionsPolicy(const QList<IconPathSection> &policy);
    QList<IconPathSection> sortSectionsPolicy() const;

    static QString getIconPathSectionText(const QString &path, IconPathSection section);
    static int getIconArea(const QString &sizeText);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    QList<IconPathSection> m_sortSectionsPolicy;
    QString m_iconNameFilter;
};

#endif

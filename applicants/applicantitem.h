#ifndef APPLICANTITEM_H
#define APPLICANTITEM_H

#include <QIcon>
#include <QStandardItem>

// One applicant file of the list; its icon, which reads the file's header, is made
// only when a view first asks for it, since most of a large find's rows are never shown.
class ApplicantItem : public QStandardItem
{
public:
    explicit ApplicantItem(const QString &path);

    QVariant data(int role = Qt::UserRole + 1) const override;

private:
    mutable QIcon m_icon;
    mutable bool m_iconMade = false;
};

#endif

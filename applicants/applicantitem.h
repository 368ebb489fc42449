#ifndef APPLICANTITEM_H
#define APPLICANTITEM_H

#include <QIcon>
#include <QStandardItem>

// One applicant file of the list. Its icon is made when a view first asks for it:
// making it reads the file's header, which for tens of thousands of rows, most
// never shown, was much of a find.
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

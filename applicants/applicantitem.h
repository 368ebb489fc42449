#ifndef APPLICANTITEM_H
#define APPLICANTITEM_H

#include <QIcon>
#include <QStandardItem>

// One applicant file of the list. Its sort sections and its size's area are worked out
// once, as the row is made: a sort compares each row some twenty times. Its icon, which
// reads the file's header, is made only when a view first asks for it, since most of a
// large find's rows are never shown.
class ApplicantItem : public QStandardItem
{
public:
    struct Sections {
        QString text[5]; // by IconPathSection
        int area = 0; // of the Size section
    };
    // The one reading of an applicant path: its base name, and the four folders above
    // it where the path lies under /usr/share/, taken from the text alone.
    static Sections sectionsOf(const QString &path);

    explicit ApplicantItem(const QString &path);

    QVariant data(int role = Qt::UserRole + 1) const override;
    const Sections &sections() const;

private:
    Sections m_sections;
    mutable QIcon m_icon;
    mutable bool m_iconMade = false;
};

#endif

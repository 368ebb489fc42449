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
    // The sections are places in the path itself, or, for a path that QDir would clean,
    // in the cleaned one: no copy of the text is made.
    struct Sections {
        QString path;
        int from[5] = {};
        int length[5] = {};
        int area = 0; // of the Size section
        QStringView text(int section) const
        {
            return QStringView(path).mid(from[section], length[section]);
        }
    };
    // The one reading of an applicant path: its base name, and the four folders above
    // it where the path lies under /usr/share/, taken from the text alone.
    static Sections sectionsOf(const QString &path);

    static constexpr int Type = QStandardItem::UserType + 1;

    explicit ApplicantItem(const QString &path);

    int type() const override;
    QVariant data(int role = Qt::UserRole + 1) const override;
    const Sections &sections() const;

private:
    Sections m_sections;
    mutable QIcon m_icon;
    mutable bool m_iconMade = false;
};

#endif

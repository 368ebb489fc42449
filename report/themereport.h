#ifndef THEMEREPORT_H
#define THEMEREPORT_H

#include "catalogue/iconexamination.h"
#include "catalogue/iconremarkstate.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSize>
#include <QStringList>

class IconsModel;
class ScanIconNamesThread;

// The main window's scan, loading pass and remark engine without the window, for
// checking icon themes where nobody looks at a screen.
class ThemeReport : public QObject
{
    Q_OBJECT
public:
    using Entry = IconExamination;

    explicit ThemeReport(QObject *parent = nullptr);
    ~ThemeReport() override;

    void setSearchIconSuffixes(const QStringList &suffixes);

    // Walks the current theme and fallback search paths as the Scan button does; each name
    // once, in code point order so that two runs over the same files print the same.
    QStringList scanIconNames();
    // Names repeated are examined once, at their first place; the empty name is kept.
    QList<Entry> examine(const QStringList &iconNames);

    static QString severityKeyword(IconRemarkState state);
    // NoRemark stands for "none"; ok is false for any other word.
    static IconRemarkState severityFromKeyword(const QString &keyword, bool *ok);

    static QByteArray toText(const QList<Entry> &entries);
    static QByteArray toJson(const QList<Entry> &entries);

private:
    IconsModel *m_iconsModel = nullptr;
    ScanIconNamesThread *m_scanIconNamesThread = nullptr;
};

#endif

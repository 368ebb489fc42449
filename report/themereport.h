#ifndef THEMEREPORT_H
#define THEMEREPORT_H

#include "catalogue/iconremarkstate.h"

#include <QByteArray>
#include <QList>
#include <QSize>
#include <QStringList>

// The window's examination of names without the window, for checking icon themes where
// nobody looks at a screen.
class ThemeReport
{
public:
    struct Entry {
        QString name;
        QString nameInUse;
        bool hasThemeIcon = false;
        QList<QSize> sizes; // each once, smallest first
        QStringList files; // the file the toolkit takes for each size
        IconRemarks remarks;
        IconRemarkState maximum = NoRemark;
    };

    enum class Scope { Theme, Inherited, All };

    struct Output {
        IconRemarkState minSeverity = NoRemark; // remarks below it are not printed
        IconRemarkState failOn = NoRemark; // none: nothing fails
        bool files = false; // text: one "file" line per size
        QString suiteName; // JUnit
    };

    ThemeReport();

    void setSearchIconSuffixes(const QStringList &suffixes);

    // The theme's own folders, those of its lookup chain too, or every theme and fallback
    // search path as the Scan button walks them.
    static QStringList scopeFolders(Scope scope);
    // Names as applications ask for them (the file name without its suffix), each once, in
    // code point order so that two runs over the same files print the same. Links out of
    // the folders and folders that cannot be read become remarks of the theme's index.
    QStringList scanIconNames(Scope scope = Scope::All);
    // Names repeated are examined once, at their first place; the empty name is kept.
    QList<Entry> examine(const QStringList &iconNames);
    // The current theme's index.theme against its folders, as one entry named after it.
    Entry checkThemeIndex() const;

    static QString severityKeyword(IconRemarkState state);
    // NoRemark stands for "none"; ok is false for any other word.
    static IconRemarkState severityFromKeyword(const QString &keyword, bool *ok);

    static QByteArray toText(const QList<Entry> &entries, const Output &output);
    static QByteArray toJson(const QList<Entry> &entries, const Output &output);
    // One test case per entry, failed at the fail-on severity.
    static QByteArray toJunit(const QList<Entry> &entries, const Output &output);

private:
    QStringList m_suffixes;
    IconRemarks m_scanRemarks;
};

#endif

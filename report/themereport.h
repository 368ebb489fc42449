#ifndef THEMEREPORT_H
#define THEMEREPORT_H

#include "catalogue/iconremarkstate.h"

#include <QList>
#include <QSet>
#include <QSize>
#include <QStringList>

class ThemeFileCheck;

// The window's examination of names without the window, for checking icon themes where
// nobody looks at a screen.
class ThemeReport
{
public:
    // What one subject got: an icon name, the theme's index.theme, or a file of the theme.
    struct Entry {
        QString name; // the icon name, or the file's path relative to its scanned folder
        QString kind; // "icon", "index", "file", "coverage" or "compare"
        QString path; // absolute, for the index and a file
        QString nameInUse;
        bool hasThemeIcon = false;
        QList<QSize> sizes; // each once, smallest first
        QStringList files; // the file the toolkit takes for each size
        QStringList filesAt; // the file the toolkit draws from at each of Output::atSizes
        IconRemarks remarks;
        QStringList checks; // the id of each remark's check
        IconRemarkState maximum = NoRemark;
        int covered = 0; // of the names of a coverage list or of the theme compared
        int listed = 0;

        // The severity is the check's.
        void add(const QString &check, const QString &text);
    };

    enum class Scope { Theme, Inherited, All };

    struct Output {
        IconRemarkState minSeverity = NoRemark; // remarks below it are not printed
        IconRemarkState failOn = NoRemark; // none: nothing fails
        bool files = false; // text: one "file" line per size
        QString suiteName; // JUnit
        QSet<QString> skipped; // check ids left out
        QStringList folders; // what SARIF locations are relative to
        QList<int> atSizes; // JSON: the file drawn from at each
    };

    ThemeReport();

    void setSearchIconSuffixes(const QStringList &suffixes);

    // The theme's own folders, those of its lookup chain too, or every theme and fallback
    // search path as the Scan button walks them.
    static QStringList scopeFolders(Scope scope);
    // Names as applications ask for them (the file name without its suffix), each once, in
    // code point order so that two runs over the same files print the same. Folders that
    // cannot be read become remarks of the theme's index. Each entry met goes to the file
    // checks too, where given.
    QStringList scanIconNames(Scope scope = Scope::All, ThemeFileCheck *fileCheck = nullptr);
    // A name as the window examines it.
    static Entry examined(const QString &name, const QList<int> &atSizes = {});
    // The current theme's index.theme against its folders, as one entry named after it.
    Entry checkThemeIndex() const;

    static QString severityKeyword(IconRemarkState state);
    // NoRemark stands for "none"; ok is false for any other word.
    static IconRemarkState severityFromKeyword(const QString &keyword, bool *ok);

private:
    QStringList m_suffixes;
    Entry m_scanRemarks;
};

#endif

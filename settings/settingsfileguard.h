#ifndef SETTINGSFILEGUARD_H
#define SETTINGSFILEGUARD_H

#include <QByteArray>
#include <QString>

// QSettings hands the bytes of an "@Variant(...)" value to QDataStream, whose readers of
// lists, maps, strings and images trust the counts they read: a count of -1 in a damaged
// or hand-edited file makes the toolkit ask for the whole address space and abort, and
// QSettings parses every value of the file again whenever it writes it. The program never
// stores such values itself, so before the settings file is opened each line holding one
// that is not a plain fixed-size value is taken out; every other byte stays as it was.
class SettingsFileGuard
{
public:
    // Rewrites the file only when it held such a line.
    static void dropUnsafeValues(const QString &filePath);

    // The file's bytes with those lines taken out.
    static QByteArray withoutUnsafeValues(const QByteArray &contents);

    // Whether QSettings would read this value text (after the first '=') without risk.
    static bool isSafeValue(const QByteArray &value);
};

#endif

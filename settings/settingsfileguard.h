#ifndef SETTINGSFILEGUARD_H
#define SETTINGSFILEGUARD_H

#include <QByteArray>
#include <QString>

// QSettings streams an "@Variant(...)" value through QDataStream, which trusts the counts
// it reads and aborts on a damaged one. The program never writes such values, so lines
// holding one are taken out before QSettings parses the bytes; every other byte stays.
class SettingsFileGuard
{
public:
    // The file's bytes with those lines taken out.
    static QByteArray withoutUnsafeValues(const QByteArray &contents);

    // Whether QSettings would read this value text (after the first '=') without risk.
    static bool isSafeValue(const QByteArray &value);
};

#endif

#ifndef INICODEC_H
#define INICODEC_H

#include <QByteArray>
#include <QSettings>

// The store's file in QSettings' own INI format, read and written in memory. Parsing in
// memory means no copy of the file is ever staged elsewhere, and no failure to stage one
// can make the store take a file for empty and save it so. A value the toolkit would
// stream unchecked ("@Variant(...)", "@DateTime(...)"), trusting counts that a damaged
// file makes it abort on, is left out as if its key were absent: the program never
// writes such values.
class IniCodec
{
public:
    // Whatever the bytes, the keys that could be read; top-level keys have no section.
    static QSettings::SettingsMap read(const QByteArray &bytes);
    // As QSettings writes it, so that its own INI reader reads the same values back.
    static QByteArray write(const QSettings::SettingsMap &map);
};

#endif

#include "settingsfileguard.h"

#include <QFile>
#include <QSaveFile>
#include <QSet>

namespace
{
// The value text as QSettings unescapes it, each character narrowed to Latin-1 the way it
// narrows the text of an "@Variant(" value before streaming it.
QByteArray unescapedLatin1(const QByteArray &value)
{
    QByteArray result;
    result.reserve(value.size());
    int i = 0;
    const int size = value.size();
    while (i < size) {
        const char ch = value.at(i++);
        if (ch == '"') {
            continue; // quotes only group, QSettings drops them
        }
        if (ch != '\\') {
            result += ch;
            continue;
        }
        if (i >= size) {
            break;
        }
        const char escaped = value.at(i++);
        static const char codes[][2] = {{'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'}, {'r', '\r'}, {'t', '\t'},
                                        {'v', '\v'}, {'"', '"'},  {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
        bool coded = false;
        for (const auto &code : codes) {
            if (escaped == code[0]) {
                result += code[1];
                coded = true;
                break;
            }
        }
        if (coded) {
            continue;
        }
        int base = 0;
        unsigned int number = 0;
        if (escaped == 'x' && i < size && isxdigit(static_cast<unsigned char>(value.at(i)))) {
            base = 16;
        } else if (escaped >= '0' && escaped <= '7') {
            base = 8;
            number = static_cast<unsigned int>(escaped - '0');
        }
        if (base == 0) {
            // An escaped line end goes on with the next line; any other unknown escape
            // is skipped, as QSettings does.
            if ((escaped == '\n' || escaped == '\r') && i < size && (value.at(i) == '\n' || value.at(i) == '\r') && value.at(i) != escaped) {
                ++i;
            }
            continue;
        }
        while (i < size) {
            const char digit = value.at(i);
            int digitValue = -1;
            if (digit >= '0' && digit <= '7') {
                digitValue = digit - '0';
            } else if (base == 16 && isxdigit(static_cast<unsigned char>(digit))) {
                digitValue = (digit >= 'a') ? digit - 'a' + 10 : (digit >= 'A') ? digit - 'A' + 10 : digit - '0';
            }
            if (digitValue < 0) {
                break;
            }
            number = (number * static_cast<unsigned int>(base) + static_cast<unsigned int>(digitValue)) & 0xffffu;
            ++i;
        }
        result += number > 0xff ? '?' : static_cast<char>(number);
    }
    return result;
}

// Type ids as QVariant reads them from a stream of version Qt 4.0, the version QSettings uses.
quint32 streamedTypeId(quint32 raw)
{
    if (raw == 127) {
        return 1024; // a user type, named in the stream
    }
    if (raw >= 128) {
        return raw - 97;
    }
    if (raw == 75) {
        return 121;
    }
    if (raw > 75 && raw <= 86) {
        return raw - 1;
    }
    return raw;
}

bool isFixedSizeType(quint32 typeId)
{
    // Invalid, bool, the integers, double, QChar, QDate, QTime, the rectangles, sizes,
    // lines and points, long, short, char, unsigned variants, float, signed char.
    static const QSet<quint32> fixed = {0, 1, 2, 3, 4, 5, 6, 7, 14, 15, 19, 20, 21, 22, 23, 24, 25, 26, 32, 33, 34, 35, 36, 37, 38, 40};
    return fixed.contains(typeId);
}

// A line may go on over the next ones when it ends in an odd number of backslashes.
bool continues(const QByteArray &line)
{
    int backslashes = 0;
    for (int i = line.size() - 1; i >= 0 && line.at(i) == '\\'; --i) {
        ++backslashes;
    }
    return backslashes % 2 == 1;
}
}

bool SettingsFileGuard::isSafeValue(const QByteArray &value)
{
    static const QByteArray marker("@Variant(");
    const QByteArray text = unescapedLatin1(value);
    int at = text.indexOf(marker);
    while (at >= 0) {
        const QByteArray payload = text.mid(at + marker.size(), 4);
        // A raw byte above 0x7f reads differently as Latin-1 and as UTF-8; no fixed-size
        // type needs one, so such a value is not trusted either way.
        for (char byte : payload) {
            if (quint8(byte) > 0x7f) {
                return false;
            }
        }
        if (payload.size() == 4) {
            const quint32 raw = (quint32(quint8(payload.at(0))) << 24) | (quint32(quint8(payload.at(1))) << 16) | (quint32(quint8(payload.at(2))) << 8)
                | quint32(quint8(payload.at(3)));
            if (!isFixedSizeType(streamedTypeId(raw))) {
                return false;
            }
        }
        at = text.indexOf(marker, at + 1);
    }
    return true;
}

QByteArray SettingsFileGuard::withoutUnsafeValues(const QByteArray &contents)
{
    if (!contents.contains("@Variant(")) {
        return contents;
    }
    QByteArray result;
    result.reserve(contents.size());
    int start = 0;
    while (start < contents.size()) {
        // One logical line: up to a line end that is not escaped, the line end included.
        int end = start;
        for (;;) {
            int next = end;
            while (next < contents.size() && contents.at(next) != '\n' && contents.at(next) != '\r') {
                ++next;
            }
            const QByteArray physical = contents.mid(end, next - end);
            while (next < contents.size() && (contents.at(next) == '\n' || contents.at(next) == '\r')) {
                ++next;
                if (!continues(physical)) {
                    break;
                }
            }
            end = next;
            if (!continues(physical) || end >= contents.size()) {
                break;
            }
        }
        const QByteArray line = contents.mid(start, end - start);
        const int equals = line.indexOf('=');
        if (equals < 0 || isSafeValue(line.mid(equals + 1))) {
            result += line;
        }
        start = end;
    }
    return result;
}

void SettingsFileGuard::dropUnsafeValues(const QString &filePath)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        return;
    }
    const QByteArray contents = file.readAll();
    file.close();
    const QByteArray safe = withoutUnsafeValues(contents);
    if (safe.size() == contents.size()) {
        return;
    }
    QSaveFile out(filePath);
    if (out.open(QIODevice::WriteOnly)) {
        out.write(safe);
        out.commit();
    }
}

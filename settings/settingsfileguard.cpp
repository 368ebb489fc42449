#include "settingsfileguard.h"


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
        static const char codes[][2] =
            {{'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'}, {'r', '\r'}, {'t', '\t'}, {'v', '\v'}, {'"', '"'}, {'?', '?'}, {'\'', '\''}, {'\\', '\\'}};
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
    return !unescapedLatin1(value).contains("@Variant(");
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

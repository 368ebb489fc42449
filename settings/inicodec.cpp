#include "inicodec.h"

#include <QMap>
#include <QVariantList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QStringList>

#include <algorithm>
#include <iterator>

namespace
{
bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isLineEnd(char c)
{
    return c == '\n' || c == '\r';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// One logical line: it goes on over line ends inside quotes and after a backslash, and
// a ';' outside quotes starts a comment to the line's end.
struct Line {
    int start = 0;
    int end = 0;
    int equals = -1;
};

bool nextLine(const QByteArray &data, int &pos, Line &line)
{
    const int size = data.size();
    for (;;) {
        while (pos < size && (isBlank(data.at(pos)) || isLineEnd(data.at(pos)))) {
            ++pos;
        }
        if (pos >= size) {
            return false;
        }
        if (data.at(pos) != ';') {
            break;
        }
        while (pos < size && !isLineEnd(data.at(pos))) {
            ++pos;
        }
    }
    line = Line{pos, pos, -1};
    bool inQuotes = false;
    for (; pos < size; ++pos) {
        const char c = data.at(pos);
        if ((isLineEnd(c) || c == ';') && !inQuotes) {
            break;
        }
        if (c == '"') {
            inQuotes = !inQuotes;
        } else if (c == '=' && !inQuotes && line.equals < 0) {
            line.equals = pos;
        } else if (c == '\\' && pos + 1 < size) {
            ++pos;
            // An escaped line end of two characters is one line end.
            if (pos + 1 < size && isLineEnd(data.at(pos)) && isLineEnd(data.at(pos + 1)) && data.at(pos) != data.at(pos + 1)) {
                ++pos;
            }
        }
    }
    line.end = pos;
    while (pos < size && !isLineEnd(data.at(pos))) {
        ++pos;
    }
    return true;
}

// A key as QSettings escapes it: '\' stands for '/', %XX and %UXXXX for other characters.
QString unescapedKey(const QByteArray &data, int from, int to)
{
    QString key;
    for (int i = from; i < to; ++i) {
        const char c = data.at(i);
        if (c == '\\') {
            key += QLatin1Char('/');
            continue;
        }
        const bool wide = c == '%' && i + 1 < to && data.at(i + 1) == 'U';
        const int digits = wide ? 4 : 2;
        const int first = wide ? i + 2 : i + 1;
        int value = 0;
        bool coded = c == '%' && first + digits <= to;
        for (int k = 0; coded && k < digits; ++k) {
            const int digit = hexValue(data.at(first + k));
            coded = digit >= 0;
            value = value * 16 + digit;
        }
        if (coded) {
            key += QChar(ushort(value));
            i = first + digits - 1;
        } else {
            key += QLatin1Char(c);
        }
    }
    return key;
}

QByteArray escapedKey(const QString &key)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray escaped;
    for (const QChar ch : key) {
        const ushort c = ch.unicode();
        if (c == '/') {
            escaped += '\\';
        } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.') {
            escaped += char(c);
        } else if (c <= 0xff) {
            escaped += '%';
            escaped += hex[c >> 4];
            escaped += hex[c & 0xf];
        } else {
            escaped += "%U";
            for (int shift = 12; shift >= 0; shift -= 4) {
                escaped += hex[(c >> shift) & 0xf];
            }
        }
    }
    return escaped;
}

// A value's text: quotes group, backslashes escape as in C, commas outside quotes make a
// list, blanks around unquoted parts go. Bytes stand for Latin-1 characters.
struct Value {
    QString text;
    QStringList list;
    bool isList = false;
};

void chopBlanks(QString &text, int limit)
{
    while (text.size() > limit && (text.endsWith(QLatin1Char(' ')) || text.endsWith(QLatin1Char('\t')))) {
        text.chop(1);
    }
}

Value unescapedValue(const QByteArray &data, int from, int to)
{
    static const char codes[][2] =
        {{'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'}, {'r', '\r'}, {'t', '\t'}, {'v', '\v'}, {'"', '"'}, {'?', '?'}, {'\'', '\''}, {'\\', '\\'}};
    Value value;
    bool inQuotes = false;
    bool quoted = false;
    int i = from;
    // Escaped characters stay, even blanks: only what lies past this may be chopped.
    int keep = 0;
    const auto skipBlanks = [&]() {
        while (i < to && isBlank(data.at(i))) {
            ++i;
        }
        keep = value.text.size();
    };
    skipBlanks();
    while (i < to) {
        const char c = data.at(i);
        if (c == '\\') {
            if (++i >= to) {
                break;
            }
            const char e = data.at(i++);
            const auto code = std::find_if(std::begin(codes), std::end(codes), [e](const char *pair) {
                return pair[0] == e;
            });
            const int base = e == 'x' && i < to && hexValue(data.at(i)) >= 0 ? 16 : e >= '0' && e <= '7' ? 8 : 0;
            if (code != std::end(codes)) {
                value.text += QLatin1Char((*code)[1]);
            } else if (base) {
                uint number = base == 8 ? uint(e - '0') : 0;
                for (int digit; i < to && (digit = hexValue(data.at(i))) >= 0 && digit < base; ++i) {
                    number = number * uint(base) + uint(digit);
                }
                value.text += QChar(ushort(number));
            } else if (isLineEnd(e) && i < to && isLineEnd(data.at(i)) && data.at(i) != e) {
                ++i;
            }
            keep = value.text.size();
        } else if (c == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes) {
                skipBlanks();
            }
        } else if (c == ',' && !inQuotes) {
            if (!quoted) {
                chopBlanks(value.text, keep);
            }
            value.isList = true;
            value.list.append(value.text);
            value.text.clear();
            quoted = false;
            ++i;
            skipBlanks();
        } else {
            int j = i + 1;
            while (j < to && data.at(j) != '\\' && data.at(j) != '"' && data.at(j) != ',') {
                ++j;
            }
            value.text += QString::fromLatin1(data.constData() + i, j - i);
            i = j;
        }
    }
    if (!quoted) {
        chopBlanks(value.text, keep);
    }
    if (value.isList) {
        value.list.append(value.text);
    }
    return value;
}

QList<int> numbers(const QString &text, int prefix, int count)
{
    QList<int> result;
    const QStringList parts = text.mid(prefix, text.size() - prefix - 1).split(QLatin1Char(' '));
    for (const QString &part : parts) {
        result.append(part.toInt());
    }
    return result.size() == count ? result : QList<int>();
}

// The "@Type(...)" forms of QSettings; false for the two it would stream unchecked.
bool toVariant(const QString &text, QVariant &variant)
{
    variant = text;
    if (!text.startsWith(QLatin1Char('@'))) {
        return true;
    }
    if (text.endsWith(QLatin1Char(')'))) {
        if (text.startsWith(QLatin1String("@Variant(")) || text.startsWith(QLatin1String("@DateTime("))) {
            return false;
        }
        if (text.startsWith(QLatin1String("@ByteArray("))) {
            variant = text.mid(11, text.size() - 12).toLatin1();
            return true;
        }
        // How Qt 5.15 writes a text holding a NUL.
        if (text.startsWith(QLatin1String("@String("))) {
            variant = text.mid(8, text.size() - 9);
            return true;
        }
        if (text == QLatin1String("@Invalid()")) {
            variant = QVariant();
            return true;
        }
        const QList<int> rect = numbers(text, 6, 4);
        const QList<int> pair = numbers(text, text.startsWith(QLatin1String("@Size(")) ? 6 : 7, 2);
        if (text.startsWith(QLatin1String("@Rect(")) && !rect.isEmpty()) {
            variant = QRect(rect.at(0), rect.at(1), rect.at(2), rect.at(3));
            return true;
        }
        if (text.startsWith(QLatin1String("@Size(")) && !pair.isEmpty()) {
            variant = QSize(pair.at(0), pair.at(1));
            return true;
        }
        if (text.startsWith(QLatin1String("@Point(")) && !pair.isEmpty()) {
            variant = QPoint(pair.at(0), pair.at(1));
            return true;
        }
    }
    if (text.startsWith(QLatin1String("@@"))) {
        variant = text.mid(1);
    }
    return true;
}

bool listToVariant(const QStringList &list, QVariant &variant)
{
    const bool typed = std::any_of(list.cbegin(), list.cend(), [](const QString &item) {
        return item.startsWith(QLatin1Char('@')) && !item.startsWith(QLatin1String("@@"));
    });
    QVariantList variants;
    QStringList strings;
    for (const QString &item : list) {
        QVariant one;
        if (!toVariant(item, one)) {
            return false;
        }
        variants.append(one);
        strings.append(item.startsWith(QLatin1String("@@")) ? item.mid(1) : item);
    }
    variant = typed ? QVariant(variants) : QVariant(strings);
    return true;
}

QString variantText(const QVariant &value)
{
    switch (value.userType()) {
    case QMetaType::UnknownType:
        return QStringLiteral("@Invalid()");
    case QMetaType::QByteArray:
    {
        const QByteArray bytes = value.toByteArray();
        return QStringLiteral("@ByteArray(") + QString::fromLatin1(bytes.constData(), bytes.size()) + QLatin1Char(')');
    }
    case QMetaType::QRect: {
        const QRect rect = value.toRect();
        return QStringLiteral("@Rect(%1 %2 %3 %4)").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height());
    }
    case QMetaType::QSize:
        return QStringLiteral("@Size(%1 %2)").arg(value.toSize().width()).arg(value.toSize().height());
    case QMetaType::QPoint:
        return QStringLiteral("@Point(%1 %2)").arg(value.toPoint().x()).arg(value.toPoint().y());
    default: {
        const QString text = value.toString();
        return text.startsWith(QLatin1Char('@')) ? QLatin1Char('@') + text : text;
    }
    }
}

// As QSettings escapes a value: C escapes, \x for what is not printable ASCII (and for a
// hex digit right after a numeric escape, which would join it), quotes where the text
// holds a separator or begins or ends with a blank.
QByteArray escapedText(const QString &text)
{
    QByteArray escaped;
    bool quote = false;
    bool afterNumber = false;
    for (const QChar ch : text) {
        const ushort c = ch.unicode();
        quote = quote || c == ';' || c == ',' || c == '=';
        const bool hexDigit = c < 0x80 && hexValue(char(c)) >= 0;
        const char *named = c == '\a' ? "\\a" : c == '\b' ? "\\b" : c == '\f' ? "\\f" : c == '\n' ? "\\n" : c == '\r' ? "\\r" : c == '\t' ? "\\t"
            : c == '\v' ? "\\v" : c == '"' ? "\\\"" : c == '\\' ? "\\\\" : nullptr;
        if (c == 0) {
            escaped += "\\0";
            afterNumber = true;
        } else if (named) {
            escaped += named;
            afterNumber = false;
        } else if (c < 0x20 || c >= 0x7f || (afterNumber && hexDigit)) {
            escaped.append("\\x").append(QByteArray::number(c, 16));
            afterNumber = true;
        } else {
            escaped += char(c);
            afterNumber = false;
        }
    }
    if (quote || escaped.startsWith(' ') || escaped.endsWith(' ')) {
        escaped = '"' + escaped + '"';
    }
    return escaped;
}

QByteArray escapedValue(const QVariant &value)
{
    if (value.userType() != QMetaType::QStringList && value.userType() != QMetaType::QVariantList) {
        return escapedText(variantText(value));
    }
    const QVariantList items = value.toList();
    if (items.isEmpty()) {
        return QByteArrayLiteral("@Invalid()");
    }
    QByteArray escaped;
    for (int i = 0; i < items.size(); ++i) {
        escaped.append(i == 0 ? "" : ", ").append(escapedText(variantText(items.at(i))));
    }
    return escaped;
}
}

QSettings::SettingsMap IniCodec::read(const QByteArray &bytes)
{
    QSettings::SettingsMap map;
    QString section;
    int pos = 0;
    Line line;
    while (nextLine(bytes, pos, line)) {
        if (bytes.at(line.start) == '[') {
            const int close = bytes.indexOf(']', line.start);
            const QString name = unescapedKey(bytes, line.start + 1, close < 0 || close > line.end ? line.end : close);
            section = name.compare(QLatin1String("general"), Qt::CaseInsensitive) == 0 ? QString()
                : name.compare(QLatin1String("%general"), Qt::CaseInsensitive) == 0 ? name.mid(1)
                                                                                      : name;
            continue;
        }
        if (line.equals < 0) {
            continue;
        }
        int keyEnd = line.equals;
        while (keyEnd > line.start && isBlank(bytes.at(keyEnd - 1))) {
            --keyEnd;
        }
        // As QSettings takes a key: its parts without empty ones between slashes.
        const QString key = QString(section + QLatin1Char('/') + unescapedKey(bytes, line.start, keyEnd)).split(QLatin1Char('/'), Qt::SkipEmptyParts).join(QLatin1Char('/'));
        const Value value = unescapedValue(bytes, line.equals + 1, line.end);
        QVariant variant;
        if (!key.isEmpty() && (value.isList ? listToVariant(value.list, variant) : toVariant(value.text, variant))) {
            map.insert(key, variant);
        }
    }
    return map;
}

QByteArray IniCodec::write(const QSettings::SettingsMap &map)
{
    // Keys at the top level go to the General section, the others to the section their
    // first part names; a section of that very name is written with a '%' before it.
    // Appended piece by piece: a string builder's += reserves the exact size each time,
    // and copies a 10 MB file once per line.
    QMap<QString, QByteArray> sections;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const int slash = it.key().indexOf(QLatin1Char('/'));
        const QString section = slash < 0 ? QString() : it.key().left(slash);
        sections[section].append(escapedKey(it.key().mid(slash + 1))).append('=').append(escapedValue(it.value())).append('\n');
    }
    QByteArray bytes;
    for (auto it = sections.cbegin(); it != sections.cend(); ++it) {
        const QString &name = it.key();
        const QByteArray header = name.isEmpty() ? QByteArrayLiteral("General")
            : name.compare(QLatin1String("general"), Qt::CaseInsensitive) == 0 ? '%' + escapedKey(name)
                                                                               : escapedKey(name);
        bytes.append(bytes.isEmpty() ? "[" : "\n[").append(header).append("]\n").append(it.value());
    }
    return bytes;
}

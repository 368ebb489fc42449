#include "inicodec.h"

#include <QMap>
#include <QVariantList>
#include <QStringList>

#include <algorithm>
#include <iterator>
#include <utility>

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

// A value's text or list, its bytes taken as Latin-1 characters as QSettings takes them.
struct Value {
    QString text;
    QStringList list;
    bool isList = false;
};

// The character a backslash at data[i - 1] stands for, appended; i moves past it.
void appendEscaped(const QByteArray &data, int &i, int to, QString &text)
{
    static const char codes[][2] =
        {{'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'}, {'r', '\r'}, {'t', '\t'}, {'v', '\v'}, {'"', '"'}, {'?', '?'}, {'\'', '\''}, {'\\', '\\'}};
    const char e = data.at(i++);
    const auto code = std::find_if(std::begin(codes), std::end(codes), [e](const char *pair) {
        return pair[0] == e;
    });
    const int base = e == 'x' && i < to && hexValue(data.at(i)) >= 0 ? 16 : e >= '0' && e <= '7' ? 8 : 0;
    if (code != std::end(codes)) {
        text += QLatin1Char((*code)[1]);
    } else if (base) {
        uint number = base == 8 ? uint(e - '0') : 0;
        for (int digit; i < to && (digit = hexValue(data.at(i))) >= 0 && digit < base; ++i) {
            number = number * uint(base) + uint(digit);
        }
        text += QChar(ushort(number));
    } else if (isLineEnd(e) && i < to && isLineEnd(data.at(i)) && data.at(i) != e) {
        ++i; // an escaped line end of two characters; any other unknown escape is dropped
    }
}

// Reads one value: quotes group, commas outside quotes make a list, blanks around unquoted
// parts go, escaped characters stay, even blanks.
class ValueReader
{
public:
    ValueReader(const QByteArray &data, int from, int to)
        : m_data(data)
        , m_at(from)
        , m_to(to)
    {
    }

    Value read()
    {
        skipBlanks();
        while (m_at < m_to) {
            const char c = m_data.at(m_at);
            if (c == '\\') {
                if (++m_at < m_to) {
                    appendEscaped(m_data, m_at, m_to, m_value.text);
                }
                m_keep = m_value.text.size();
            } else if (c == '"') {
                ++m_at;
                m_quoted = true;
                m_inQuotes = !m_inQuotes;
                if (!m_inQuotes) {
                    skipBlanks();
                }
            } else if (c == ',' && !m_inQuotes) {
                endItem();
                m_value.isList = true;
                m_value.list.append(std::exchange(m_value.text, QString()));
                m_quoted = false;
                ++m_at;
                skipBlanks();
            } else {
                appendPlain();
            }
        }
        endItem();
        if (m_value.isList) {
            m_value.list.append(m_value.text);
        }
        return m_value;
    }

private:
    void skipBlanks()
    {
        while (m_at < m_to && isBlank(m_data.at(m_at))) {
            ++m_at;
        }
        m_keep = m_value.text.size();
    }
    void endItem()
    {
        while (!m_quoted && m_value.text.size() > m_keep && (m_value.text.endsWith(QLatin1Char(' ')) || m_value.text.endsWith(QLatin1Char('\t')))) {
            m_value.text.chop(1);
        }
    }
    void appendPlain()
    {
        int end = m_at + 1;
        while (end < m_to && m_data.at(end) != '\\' && m_data.at(end) != '"' && m_data.at(end) != ',') {
            ++end;
        }
        m_value.text += QString::fromLatin1(m_data.constData() + m_at, end - m_at);
        m_at = end;
    }

    const QByteArray &m_data;
    int m_at;
    const int m_to;
    Value m_value;
    bool m_inQuotes = false;
    bool m_quoted = false;
    int m_keep = 0; // only what lies past this may be chopped
};

// The "@Type(...)" forms of QSettings the store meets; false for the two it would stream
// unchecked. Rectangles, sizes and points it never writes are read as their text.
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
        const Value value = ValueReader(bytes, line.equals + 1, line.end).read();
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
    // and copies the whole file once per line.
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

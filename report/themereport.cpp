#include "themereport.h"

#include "catalogue/iconexamination.h"
#include "catalogue/iconsizetext.h"
#include "app/constants.h"
#include "report/themeindexcheck.h"

#include <QIcon>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QXmlStreamWriter>

#include <algorithm>

ThemeReport::ThemeReport()
    : m_suffixes(iconFileSuffixes)
{
}

void ThemeReport::setSearchIconSuffixes(const QStringList &suffixes)
{
    m_suffixes = suffixes;
}

QStringList ThemeReport::scopeFolders(Scope scope)
{
    if (scope == Scope::All) {
        return QIcon::themeSearchPaths() + QIcon::fallbackSearchPaths();
    }
    const QStringList themes = scope == Scope::Theme ? QStringList{QIcon::themeName()} : ThemeIndexCheck::lookupChain(QIcon::themeName());
    QStringList folders;
    for (const QString &theme : themes) {
        folders += ThemeIndexCheck::themeFolders(theme);
    }
    return folders;
}

QStringList ThemeReport::scanIconNames(Scope scope)
{
    m_scanRemarks.clear();
    return ThemeIndexCheck::iconNames(scopeFolders(scope), m_suffixes, m_scanRemarks);
}

QList<ThemeReport::Entry> ThemeReport::examine(const QStringList &iconNames)
{
    QStringList unique = iconNames;
    unique.removeDuplicates();
    QList<Entry> entries;
    entries.reserve(unique.size());
    for (const QString &name : qAsConst(unique)) {
        const IconExamination examined = IconExamination::of(name);
        Entry entry{name, examined.nameInUse, examined.hasThemeIcon, examined.distinctSizes(), {}, examined.remarks, examined.maximum};
        for (const QSize &size : qAsConst(entry.sizes)) {
            entry.files.append(examined.fileFor(size));
        }
        entries.append(entry);
    }
    return entries;
}

ThemeReport::Entry ThemeReport::checkThemeIndex() const
{
    Entry entry;
    entry.name = QIcon::themeName() + QStringLiteral("/index.theme");
    entry.remarks = ThemeIndexCheck::check(QIcon::themeName(), m_suffixes) + m_scanRemarks;
    for (const IconRemark &remark : qAsConst(entry.remarks)) {
        entry.maximum = std::max(entry.maximum, remark.first);
    }
    return entry;
}

namespace
{
// One field of a tab-separated line: a name or text must not forge another field or
// line for any line splitter (Python's and JavaScript's take C1 controls, U+2028 and
// U+2029 for line ends), nor hide in what a terminal or CI log does not print. The same
// text in JUnit, whose XML cannot carry most controls at all.
QString field(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size());
    const QVector<uint> points = text.toUcs4();
    for (const uint code : points) {
        if (code == '\\') {
            escaped += QStringLiteral("\\\\");
        } else if (code == '\t') {
            escaped += QStringLiteral("\\t");
        } else if (code == '\n') {
            escaped += QStringLiteral("\\n");
        } else if (code == '\r') {
            escaped += QStringLiteral("\\r");
        } else if (code < 0x20 || (code >= 0x7f && code < 0xa0)) {
            escaped += QStringLiteral("\\x%1").arg(code, 2, 16, QLatin1Char('0'));
        } else if (code != ' ' && (!QChar::isPrint(code) || QChar::category(code) == QChar::Separator_Line || QChar::category(code) == QChar::Separator_Paragraph)) {
            escaped += QStringLiteral("\\u{%1}").arg(code, 4, 16, QLatin1Char('0'));
        } else {
            escaped += QString::fromUcs4(&code, 1);
        }
    }
    return escaped;
}

bool printed(const ThemeReport::Entry &entry, const ThemeReport::Output &output)
{
    return output.minSeverity == NoRemark || entry.maximum >= output.minSeverity;
}
}

QString ThemeReport::severityKeyword(IconRemarkState state)
{
    switch (static_cast<int>(state)) {
    case InformationRemark:
        return QStringLiteral("information");
    case WarningRemark:
        return QStringLiteral("warning");
    case ErrorRemark:
        return QStringLiteral("error");
    default:
        return QStringLiteral("none");
    }
}

IconRemarkState ThemeReport::severityFromKeyword(const QString &keyword, bool *ok)
{
    for (IconRemarkState state : {NoRemark, InformationRemark, WarningRemark, ErrorRemark}) {
        if (keyword == severityKeyword(state)) {
            *ok = true;
            return state;
        }
    }
    *ok = false;
    return NoRemark;
}

QByteArray ThemeReport::toText(const QList<Entry> &entries, const Output &output)
{
    QString text;
    for (const Entry &entry : entries) {
        if (!printed(entry, output)) {
            continue;
        }
        for (const IconRemark &remark : entry.remarks) {
            if (remark.first >= output.minSeverity) {
                text += severityKeyword(remark.first) + QLatin1Char('\t') + field(entry.name) + QLatin1Char('\t') + field(remark.second) + QLatin1Char('\n');
            }
        }
        for (int i = 0; output.files && i < entry.files.size(); ++i) {
            text += QStringLiteral("file\t") + field(entry.name) + QLatin1Char('\t') + IconSizeText::toString(entry.sizes.at(i)) + QLatin1Char('\t')
                + field(entry.files.at(i)) + QLatin1Char('\n');
        }
    }
    return text.toUtf8();
}

QByteArray ThemeReport::toJson(const QList<Entry> &entries, const Output &output)
{
    QJsonArray array;
    for (const Entry &entry : entries) {
        if (!printed(entry, output)) {
            continue;
        }
        QJsonArray sizes;
        QJsonArray files;
        for (int i = 0; i < entry.sizes.size(); ++i) {
            sizes.append(IconSizeText::toString(entry.sizes.at(i)));
            files.append(QJsonObject{{QStringLiteral("size"), IconSizeText::toString(entry.sizes.at(i))}, {QStringLiteral("file"), entry.files.value(i)}});
        }
        QJsonArray remarks;
        for (const IconRemark &remark : entry.remarks) {
            if (remark.first >= output.minSeverity) {
                remarks.append(QJsonObject{{QStringLiteral("severity"), severityKeyword(remark.first)}, {QStringLiteral("text"), remark.second}});
            }
        }
        array.append(QJsonObject{
            {QStringLiteral("name"), entry.name},
            {QStringLiteral("nameInUse"), entry.nameInUse},
            {QStringLiteral("hasThemeIcon"), entry.hasThemeIcon},
            {QStringLiteral("sizes"), sizes},
            {QStringLiteral("files"), files},
            {QStringLiteral("remarks"), remarks},
            {QStringLiteral("maxSeverity"), severityKeyword(entry.maximum)},
        });
    }
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

QByteArray ThemeReport::toJunit(const QList<Entry> &entries, const Output &output)
{
    const auto failed = [&output](const Entry &entry) {
        return output.failOn != NoRemark && entry.maximum >= output.failOn;
    };
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("testsuites"));
    xml.writeStartElement(QStringLiteral("testsuite"));
    xml.writeAttribute(QStringLiteral("name"), output.suiteName);
    xml.writeAttribute(QStringLiteral("tests"), QString::number(entries.size()));
    xml.writeAttribute(QStringLiteral("failures"), QString::number(std::count_if(entries.cbegin(), entries.cend(), failed)));
    for (const Entry &entry : entries) {
        QString lines;
        for (const IconRemark &remark : entry.remarks) {
            if (remark.first >= output.minSeverity) {
                lines += severityKeyword(remark.first) + QStringLiteral(": ") + field(remark.second) + QLatin1Char('\n');
            }
        }
        xml.writeStartElement(QStringLiteral("testcase"));
        xml.writeAttribute(QStringLiteral("classname"), output.suiteName);
        xml.writeAttribute(QStringLiteral("name"), field(entry.name));
        if (failed(entry)) {
            xml.writeStartElement(QStringLiteral("failure"));
            xml.writeAttribute(QStringLiteral("type"), severityKeyword(entry.maximum));
            const auto first = std::find_if(entry.remarks.cbegin(), entry.remarks.cend(), [&output](const IconRemark &remark) {
                return remark.first >= output.failOn;
            });
            xml.writeAttribute(QStringLiteral("message"), first != entry.remarks.cend() ? field(first->second) : QString());
            xml.writeCharacters(lines);
            xml.writeEndElement();
        } else if (!lines.isEmpty()) {
            xml.writeTextElement(QStringLiteral("system-out"), lines);
        }
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

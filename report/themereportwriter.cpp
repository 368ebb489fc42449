#include "themereportwriter.h"

#include "catalogue/iconsizetext.h"
#include "report/themecheck.h"

#include <QCoreApplication>
#include <QIODevice>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>
#include <QXmlStreamWriter>

#include <algorithm>

namespace
{
// What the toolkit answers for a name: the name it uses, its sizes and the file of each.
void addIconFacts(const ThemeReport::Entry &entry, const QList<int> &atSizes, QJsonObject &object)
{
    QJsonArray sizes;
    QJsonArray files;
    for (int i = 0; i < entry.sizes.size(); ++i) {
        sizes.append(IconSizeText::toString(entry.sizes.at(i)));
        files.append(QJsonObject{{QStringLiteral("size"), IconSizeText::toString(entry.sizes.at(i))}, {QStringLiteral("file"), entry.files.value(i)}});
    }
    object.insert(QStringLiteral("nameInUse"), entry.nameInUse);
    object.insert(QStringLiteral("hasThemeIcon"), entry.hasThemeIcon);
    object.insert(QStringLiteral("sizes"), sizes);
    object.insert(QStringLiteral("files"), files);
    if (!atSizes.isEmpty()) {
        QJsonArray at;
        for (int i = 0; i < atSizes.size(); ++i) {
            at.append(QJsonObject{{QStringLiteral("size"), atSizes.at(i)}, {QStringLiteral("file"), entry.filesAt.value(i)}});
        }
        object.insert(QStringLiteral("at"), at);
    }
}

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
        } else if (code != ' '
                   && (!QChar::isPrint(code) || QChar::category(code) == QChar::Separator_Line || QChar::category(code) == QChar::Separator_Paragraph)) {
            escaped += QStringLiteral("\\u{%1}").arg(code, 4, 16, QLatin1Char('0'));
        } else {
            escaped += QString::fromUcs4(&code, 1);
        }
    }
    return escaped;
}

QString sarifLevel(IconRemarkState state)
{
    return state == ErrorRemark ? QStringLiteral("error") : state == WarningRemark ? QStringLiteral("warning") : QStringLiteral("note");
}

QString baseId(int index)
{
    return QStringLiteral("FOLDER%1").arg(index);
}

QByteArray compact(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}
}

ThemeReportWriter::ThemeReportWriter(QIODevice *device, Format format, const ThemeReport::Output &output)
    : m_device(device)
    , m_format(format)
    , m_output(output)
{
}

bool ThemeReportWriter::formatFromKeyword(const QString &keyword, Format *format)
{
    const int index = QStringList{QStringLiteral("text"), QStringLiteral("json"), QStringLiteral("junit"), QStringLiteral("sarif")}.indexOf(keyword);
    *format = static_cast<Format>(std::max(index, 0));
    return index >= 0;
}

void ThemeReportWriter::put(const QByteArray &bytes)
{
    m_device->write(bytes);
}

void ThemeReportWriter::begin()
{
    if (m_format == Format::Json) {
        put("[");
    } else if (m_format == Format::Sarif) {
        QJsonArray rules;
        for (const ThemeCheck &check : ThemeCheck::all()) {
            rules.append(QJsonObject{
                {QStringLiteral("id"), check.id},
                {QStringLiteral("shortDescription"), QJsonObject{{QStringLiteral("text"), check.description}}},
                {QStringLiteral("defaultConfiguration"), QJsonObject{{QStringLiteral("level"), sarifLevel(check.severity)}}},
            });
        }
        QJsonObject bases;
        for (int i = 0; i < m_output.folders.size(); ++i) {
            const QString folder = m_output.folders.at(i);
            bases.insert(
                baseId(i),
                QJsonObject{{QStringLiteral("uri"),
                             QUrl::fromLocalFile(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/')).toString(QUrl::FullyEncoded)}});
        }
        const QJsonObject driver{
            {QStringLiteral("name"), QStringLiteral("zel-find-qicon-report")},
            {QStringLiteral("version"), QCoreApplication::applicationVersion()},
            {QStringLiteral("rules"), rules},
        };
        // The results array is left open: each result is written as its entry comes.
        QByteArray head = compact(QJsonObject{
            {QStringLiteral("tool"), QJsonObject{{QStringLiteral("driver"), driver}}},
            {QStringLiteral("originalUriBaseIds"), bases},
        });
        head.chop(1);
        put("{\"$schema\":\"https://json.schemastore.org/sarif-2.1.0.json\",\"version\":\"2.1.0\",\"runs\":[" + head + ",\"results\":[");
    }
}

void ThemeReportWriter::write(ThemeReport::Entry entry)
{
    for (int i = entry.checks.size() - 1; i >= 0; --i) {
        if (m_output.skipped.contains(entry.checks.at(i))) {
            entry.checks.removeAt(i);
            entry.remarks.removeAt(i);
        }
    }
    entry.maximum = NoRemark;
    for (const IconRemark &remark : qAsConst(entry.remarks)) {
        entry.maximum = std::max(entry.maximum, remark.first);
    }
    if (entry.kind == QLatin1String("icon")) {
        ++m_counts[entry.maximum];
    }
    const bool failed = m_output.failOn != NoRemark && entry.maximum >= m_output.failOn;
    m_failed = m_failed || failed;
    if (m_format == Format::Junit) {
        writeJunit(entry);
    } else if (m_output.minSeverity != NoRemark && entry.maximum < m_output.minSeverity) {
        return;
    } else if (m_format == Format::Text) {
        writeText(entry);
    } else if (m_format == Format::Json) {
        writeJson(entry);
    } else {
        writeSarif(entry);
    }
}

void ThemeReportWriter::writeText(const ThemeReport::Entry &entry)
{
    QString text;
    for (int i = 0; i < entry.remarks.size(); ++i) {
        const IconRemark &remark = entry.remarks.at(i);
        if (remark.first >= m_output.minSeverity) {
            text += ThemeReport::severityKeyword(remark.first) + QLatin1Char('\t') + field(entry.name) + QLatin1Char('\t') + field(remark.second)
                + QStringLiteral(" [") + entry.checks.at(i) + QStringLiteral("]\n");
        }
    }
    for (int i = 0; m_output.files && i < entry.files.size(); ++i) {
        text += QStringLiteral("file\t") + field(entry.name) + QLatin1Char('\t') + IconSizeText::toString(entry.sizes.at(i)) + QLatin1Char('\t')
            + field(entry.files.at(i)) + QLatin1Char('\n');
    }
    put(text.toUtf8());
}

void ThemeReportWriter::writeJson(const ThemeReport::Entry &entry)
{
    QJsonArray remarks;
    for (int i = 0; i < entry.remarks.size(); ++i) {
        const IconRemark &remark = entry.remarks.at(i);
        if (remark.first >= m_output.minSeverity) {
            remarks.append(QJsonObject{{QStringLiteral("severity"), ThemeReport::severityKeyword(remark.first)},
                                       {QStringLiteral("check"), entry.checks.at(i)},
                                       {QStringLiteral("text"), remark.second}});
        }
    }
    QJsonObject object{
        {QStringLiteral("name"), entry.name},
        {QStringLiteral("kind"), entry.kind},
        {QStringLiteral("remarks"), remarks},
        {QStringLiteral("maxSeverity"), ThemeReport::severityKeyword(entry.maximum)},
    };
    if (entry.kind == QLatin1String("icon")) {
        addIconFacts(entry, m_output.atSizes, object);
    } else if (entry.kind == QLatin1String("coverage") || entry.kind == QLatin1String("compare")) {
        object.insert(QStringLiteral("covered"), entry.covered);
        object.insert(QStringLiteral("names"), entry.listed);
    } else {
        object.insert(QStringLiteral("path"), entry.path);
    }
    QByteArray bytes = QJsonDocument(object).toJson(QJsonDocument::Indented);
    bytes.chop(1);
    put((m_first ? "\n" : ",\n") + bytes);
    m_first = false;
}

void ThemeReportWriter::writeJunit(const ThemeReport::Entry &entry)
{
    const bool failed = m_output.failOn != NoRemark && entry.maximum >= m_output.failOn;
    ++m_caseCount;
    m_failures += failed;
    QString lines;
    QString message;
    for (int i = 0; i < entry.remarks.size(); ++i) {
        const IconRemark &remark = entry.remarks.at(i);
        const QString line = field(remark.second) + QStringLiteral(" [") + entry.checks.at(i) + QLatin1Char(']');
        if (remark.first >= m_output.minSeverity) {
            lines += ThemeReport::severityKeyword(remark.first) + QStringLiteral(": ") + line + QLatin1Char('\n');
        }
        if (failed && message.isEmpty() && remark.first >= m_output.failOn) {
            message = line;
        }
    }
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartElement(QStringLiteral("testcase"));
    xml.writeAttribute(QStringLiteral("classname"), m_output.suiteName);
    xml.writeAttribute(QStringLiteral("name"), field(entry.name));
    if (failed) {
        xml.writeStartElement(QStringLiteral("failure"));
        xml.writeAttribute(QStringLiteral("type"), ThemeReport::severityKeyword(entry.maximum));
        xml.writeAttribute(QStringLiteral("message"), message);
        xml.writeCharacters(lines);
        xml.writeEndElement();
    } else if (!lines.isEmpty()) {
        xml.writeTextElement(QStringLiteral("system-out"), lines);
    }
    xml.writeEndElement();
    m_cases += bytes;
}

// The file a remark is about, relative to the scanned folder that holds it: a file's own
// path, the index's, or for a name the first file the toolkit takes for it, else the
// theme's index, where a missing icon belongs.
QString ThemeReportWriter::sarifLocation(const ThemeReport::Entry &entry, QString *base) const
{
    QStringList candidates = entry.files;
    candidates.prepend(entry.path);
    candidates.append(m_output.folders.isEmpty() ? QString() : m_output.folders.constFirst() + QStringLiteral("/index.theme"));
    for (const QString &path : qAsConst(candidates)) {
        for (int i = 0; !path.isEmpty() && i < m_output.folders.size(); ++i) {
            const QString folder = m_output.folders.at(i);
            if (path.startsWith(folder + QLatin1Char('/'))) {
                *base = baseId(i);
                return QString::fromLatin1(QUrl::toPercentEncoding(path.mid(folder.size() + 1), "/"));
            }
        }
    }
    const QString path = entry.path.isEmpty() ? entry.files.value(0) : entry.path;
    return path.isEmpty() ? QString() : QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
}

void ThemeReportWriter::writeSarif(const ThemeReport::Entry &entry)
{
    QString base;
    const QString uri = sarifLocation(entry, &base);
    QJsonObject artifact{{QStringLiteral("uri"), uri}};
    if (!base.isEmpty()) {
        artifact.insert(QStringLiteral("uriBaseId"), base);
    }
    QJsonObject location;
    if (!uri.isEmpty()) {
        location.insert(QStringLiteral("physicalLocation"), QJsonObject{{QStringLiteral("artifactLocation"), artifact}});
    }
    if (entry.kind == QLatin1String("icon")) {
        location.insert(QStringLiteral("logicalLocations"), QJsonArray{QJsonObject{{QStringLiteral("name"), entry.name}}});
    }
    for (int i = 0; i < entry.remarks.size(); ++i) {
        const IconRemark &remark = entry.remarks.at(i);
        if (remark.first < m_output.minSeverity) {
            continue;
        }
        const QJsonObject result{
            {QStringLiteral("ruleId"), entry.checks.at(i)},
            {QStringLiteral("ruleIndex"), ThemeCheck::indexOf(entry.checks.at(i))},
            {QStringLiteral("level"), sarifLevel(remark.first)},
            {QStringLiteral("message"), QJsonObject{{QStringLiteral("text"), remark.second}}},
            {QStringLiteral("locations"), QJsonArray{location}},
        };
        put((m_first ? "\n" : ",\n") + compact(result));
        m_first = false;
    }
}

void ThemeReportWriter::end()
{
    if (m_format == Format::Json) {
        put("\n]\n");
    } else if (m_format == Format::Sarif) {
        put("\n]}]}\n");
    } else if (m_format == Format::Junit) {
        QByteArray head;
        QXmlStreamWriter xml(&head);
        xml.writeStartDocument();
        put(head + "\n<testsuites>\n<testsuite name=\"" + field(m_output.suiteName).toHtmlEscaped().toUtf8() + "\" tests=\"" + QByteArray::number(m_caseCount)
            + "\" failures=\"" + QByteArray::number(m_failures) + "\">");
        put(m_cases);
        put("\n</testsuite>\n</testsuites>\n");
    }
}

bool ThemeReportWriter::failed() const
{
    return m_failed;
}

const int *ThemeReportWriter::counts() const
{
    return m_counts;
}

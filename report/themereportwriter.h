#ifndef THEMEREPORTWRITER_H
#define THEMEREPORTWRITER_H

#include "report/themereport.h"

#include <QByteArray>

class QIODevice;

// Writes the report's entries as they are made, so that a theme of tens of thousands of
// names is never held whole: text, JSON, JUnit or SARIF. Leaves out the skipped checks'
// remarks and counts what is left.
class ThemeReportWriter
{
public:
    enum class Format { Text, Json, Junit, Sarif };

    ThemeReportWriter(QIODevice *device, Format format, const ThemeReport::Output &output);

    // False for a word no format has.
    static bool formatFromKeyword(const QString &keyword, Format *format);

    void begin();
    void write(ThemeReport::Entry entry);
    void end();

    // Whether an entry reached the fail-on severity.
    bool failed() const;
    // Icon names by their highest severity, NoRemark to ErrorRemark.
    const int *counts() const;

private:
    void writeText(const ThemeReport::Entry &entry);
    void writeJson(const ThemeReport::Entry &entry);
    void writeJunit(const ThemeReport::Entry &entry);
    void writeSarif(const ThemeReport::Entry &entry);
    QString sarifLocation(const ThemeReport::Entry &entry, QString *baseId) const;
    void put(const QByteArray &bytes);

    QIODevice *m_device;
    Format m_format;
    ThemeReport::Output m_output;
    bool m_first = true;
    bool m_failed = false;
    int m_counts[ErrorRemark + 1] = {0, 0, 0, 0};
    // JUnit counts its test cases before them.
    QByteArray m_cases;
    int m_caseCount = 0;
    int m_failures = 0;
};

#endif

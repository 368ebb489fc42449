#include "themereportcommand.h"

#include "report/themecachecheck.h"
#include "report/themecheck.h"
#include "report/themecoverage.h"
#include "report/themefilecheck.h"
#include "report/themeindexcheck.h"
#include "report/themereport.h"
#include "report/themereportwriter.h"
#include "settings/settings.h"

#include <KLocalizedString>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QIcon>
#include <QStandardPaths>

namespace
{
struct Options {
    QCommandLineOption theme{QStringLiteral("theme"),
                             i18nd("zel-find-qicon", "The icon theme to examine (default: the desktop's, or hicolor where there is none)."),
                             QStringLiteral("name")};
    QCommandLineOption themePath{QStringLiteral("theme-path"),
                                 i18nd("zel-find-qicon",
                                       "A folder holding icon theme folders; repeat for more. Replaces the default list (the desktop's, or ~/.icons and the "
                                       "icons folders of XDG_DATA_DIRS)."),
                                 QStringLiteral("dir")};
    QCommandLineOption fallbackTheme{QStringLiteral("fallback-theme"), i18nd("zel-find-qicon", "The fallback icon theme."), QStringLiteral("name")};
    QCommandLineOption fallbackPath{QStringLiteral("fallback-path"),
                                    i18nd("zel-find-qicon",
                                          "A folder of loose icon files searched last; repeat for more. Replaces the default list (the desktop's, or "
                                          "/usr/share/pixmaps); an empty value leaves it empty."),
                                    QStringLiteral("dir")};
    QCommandLineOption suffix{QStringLiteral("suffix"),
                              i18nd("zel-find-qicon", "A file suffix the scan takes for an icon; repeat for more (default: %1).", iconSuffixes()),
                              QStringLiteral("suffix")};
    QCommandLineOption scan{QStringLiteral("scan"),
                            i18nd("zel-find-qicon", "Examine every icon name a scan of the --scope folders finds, and check the theme's index.theme.")};
    QCommandLineOption scope{QStringLiteral("scope"),
                             i18nd("zel-find-qicon",
                                   "What --scan walks: theme (the theme's own folders), inherited (those of the themes it inherits too) or all (every "
                                   "theme and fallback search path; default: theme)."),
                             QStringLiteral("scope"),
                             QStringLiteral("theme")};
    QCommandLineOption minSeverity{QStringLiteral("min-severity"),
                                   i18nd("zel-find-qicon", "Print only remarks of this severity or above (default: none, print all)."),
                                   QStringLiteral("severity"),
                                   QStringLiteral("none")};
    QCommandLineOption files{QStringLiteral("files"), i18nd("zel-find-qicon", "Text output: a line for each size with the file the toolkit uses.")};
    QCommandLineOption standardInput{QStringLiteral("stdin"), i18nd("zel-find-qicon", "Read icon names from standard input, one per line.")};
    QCommandLineOption format{QStringLiteral("format"),
                              i18nd("zel-find-qicon", "Output format: text, json, junit or sarif (default: text)."),
                              QStringLiteral("format"),
                              QStringLiteral("text")};
    QCommandLineOption failOn{
        QStringLiteral("fail-on"),
        i18nd("zel-find-qicon",
              "Exit with status 1 when a name has a remark of this severity or above: none, information, warning or error (default: none, never fail)."),
        QStringLiteral("severity"),
        QStringLiteral("none")};
    QCommandLineOption coverage{QStringLiteral("coverage"),
                                i18nd("zel-find-qicon",
                                      "Report the names of LIST that the theme does not give in the --scope folders; LIST is a file with one name "
                                      "per line, or naming-spec for the Icon Naming Specification's names. Repeat for more."),
                                QStringLiteral("list")};
    QCommandLineOption compare{QStringLiteral("compare"),
                               i18nd("zel-find-qicon", "Report the names the theme does not give that the icon theme of this name has."),
                               QStringLiteral("theme")};
    QCommandLineOption at{QStringLiteral("at"),
                          i18nd("zel-find-qicon", "JSON: the file the toolkit draws each name from at this size in pixels; repeat for more."),
                          QStringLiteral("size")};
    QCommandLineOption skip{QStringLiteral("skip"), i18nd("zel-find-qicon", "Leave out the check of this id; repeat for more."), QStringLiteral("id")};
    QCommandLineOption listChecks{QStringLiteral("list-checks"), i18nd("zel-find-qicon", "List every check with its id, severity and description, and exit.")};
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")}, i18nd("zel-find-qicon", "Show this help and exit.")};
    QCommandLineOption version{QStringLiteral("version"), i18nd("zel-find-qicon", "Show the version and exit.")};

    static QString iconSuffixes()
    {
        return Settings::defaultSearchIconSuffixes().join(QLatin1Char(' '));
    }

    void addTo(QCommandLineParser &parser) const
    {
        parser.setApplicationDescription(
            i18nd("zel-find-qicon", "Examines icons of a freedesktop icon theme as an application would find them and prints the remarks."));
        parser.addOptions({theme,
                           themePath,
                           fallbackTheme,
                           fallbackPath,
                           suffix,
                           scan,
                           scope,
                           standardInput,
                           format,
                           minSeverity,
                           files,
                           failOn,
                           coverage,
                           compare,
                           at,
                           skip,
                           listChecks,
                           help,
                           version});
        parser.addPositionalArgument(QStringLiteral("names"), i18nd("zel-find-qicon", "Icon names to examine."), QStringLiteral("[name...]"));
    }
};

void write(QIODevice *device, const QString &text)
{
    device->write(text.toUtf8());
}

int usageError(QIODevice *errors, const QString &message)
{
    write(errors, QStringLiteral("zel-find-qicon-report: ") + message + QLatin1Char('\n'));
    write(errors, i18nd("zel-find-qicon", "Try \"zel-find-qicon-report --help\".") + QLatin1Char('\n'));
    return ThemeReportCommand::ExitUsage;
}

// Empty values are dropped, so that an option given only with "" empties the list.
QStringList nonEmpty(const QStringList &values)
{
    QStringList result;
    for (const QString &value : values) {
        if (!value.isEmpty()) {
            result.append(value);
        }
    }
    return result;
}

QString unreadableFolder(const QStringList &paths)
{
    for (const QString &path : paths) {
        const QFileInfo info(path);
        if (!info.isDir() || !info.isReadable() || !info.isExecutable()) {
            return path;
        }
    }
    return QString();
}

bool hasLocalFolder(const QStringList &paths)
{
    for (const QString &path : paths) {
        if (!path.startsWith(QLatin1Char(':')) && QFileInfo(path).isDir()) {
            return true;
        }
    }
    return false;
}

// Where an application on a freedesktop system looks for themes; a headless platform
// names none, and a report over nothing would pass every check.
QStringList freedesktopIconThemePaths()
{
    QStringList paths;
    const QFileInfo homeIcons(QDir::homePath() + QStringLiteral("/.icons"));
    if (homeIcons.isDir()) {
        paths.append(homeIcons.absoluteFilePath());
    }
    paths += QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"), QStandardPaths::LocateDirectory);
    return paths;
}

// A NUL cannot be part of a name; cutting there would drop the names after it unseen.
bool readNames(QIODevice *input, QStringList &names)
{
    const QByteArray bytes = input->readAll();
    if (bytes.contains('\0')) {
        return false;
    }
    const QString text = QString::fromUtf8(bytes);
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r'))) {
            line.chop(1);
        }
        if (!line.isEmpty()) {
            names.append(line);
        }
    }
    return true;
}

// The options override the platform's theme set-up, which building the report put in force.
void applyThemeOptions(const QCommandLineParser &parser, const Options &options, const QStringList &themePaths, const QStringList &fallbackPaths)
{
    if (parser.isSet(options.themePath)) {
        QIcon::setThemeSearchPaths(themePaths);
    } else if (!hasLocalFolder(QIcon::themeSearchPaths())) {
        QIcon::setThemeSearchPaths(freedesktopIconThemePaths() + QIcon::themeSearchPaths());
    }
    if (parser.isSet(options.fallbackPath)) {
        QIcon::setFallbackSearchPaths(fallbackPaths);
    } else if (!hasLocalFolder(QIcon::fallbackSearchPaths()) && QFileInfo(QStringLiteral("/usr/share/pixmaps")).isDir()) {
        QIcon::setFallbackSearchPaths({QStringLiteral("/usr/share/pixmaps")});
    }
    if (parser.isSet(options.theme)) {
        QIcon::setThemeName(parser.value(options.theme));
    } else if (QIcon::themeName().isEmpty()) {
        QIcon::setThemeName(QStringLiteral("hicolor"));
    }
    if (parser.isSet(options.fallbackTheme)) {
        QIcon::setFallbackThemeName(parser.value(options.fallbackTheme));
    }
}

void writeSummary(QIODevice *errors, const int *counts)
{
    write(errors,
          i18nd("zel-find-qicon",
                "Examined %1 icon names: %2 with errors, %3 with warnings, %4 with information only, %5 without remarks.",
                QString::number(counts[NoRemark] + counts[InformationRemark] + counts[WarningRemark] + counts[ErrorRemark]),
                QString::number(counts[ErrorRemark]),
                QString::number(counts[WarningRemark]),
                QString::number(counts[InformationRemark]),
                QString::number(counts[NoRemark]))
              + QLatin1Char('\n'));
}

QString listOfChecks()
{
    QString text;
    for (const ThemeCheck &check : ThemeCheck::all()) {
        text += check.id + QLatin1Char('\t') + ThemeReport::severityKeyword(check.severity) + QLatin1Char('\t') + check.description + QLatin1Char('\n');
    }
    return text;
}

struct Choices {
    ThemeReport::Output output;
    ThemeReportWriter::Format format = ThemeReportWriter::Format::Text;
    ThemeReport::Scope scope = ThemeReport::Scope::Theme;
    bool scan = false;
    QStringList suffixes;
    QStringList coverageLists;
    QList<QStringList> coverageNames;
    QString compare;
};

// What is looked at besides the names given: the scan, its scope, the lists and the theme compared.
QString readScanChoices(const QCommandLineParser &parser, const Options &options, Choices &choices)
{
    choices.coverageLists = parser.values(options.coverage);
    choices.compare = parser.value(options.compare);
    for (const QString &list : qAsConst(choices.coverageLists)) {
        QString error;
        choices.coverageNames.append(ThemeCoverage::readList(list, &error));
        if (!error.isEmpty()) {
            return error;
        }
    }
    choices.scan = parser.isSet(options.scan);
    const int scope = QStringList{QStringLiteral("theme"), QStringLiteral("inherited"), QStringLiteral("all")}.indexOf(parser.value(options.scope));
    choices.scope = static_cast<ThemeReport::Scope>(scope);
    return scope < 0 ? i18nd("zel-find-qicon", "Unknown scope \"%1\": use theme, inherited or all.", parser.value(options.scope)) : QString();
}

// The choices of the output and of what is scanned; the usage error where one is off.
QString readChoices(const QCommandLineParser &parser, const Options &options, Choices &choices)
{
    if (!ThemeReportWriter::formatFromKeyword(parser.value(options.format), &choices.format)) {
        return i18nd("zel-find-qicon", "Unknown output format \"%1\": use text, json, junit or sarif.", parser.value(options.format));
    }
    const QStringList skipped = parser.values(options.skip);
    for (const QString &id : skipped) {
        if (ThemeCheck::indexOf(id) < 0) {
            return i18nd("zel-find-qicon", "Unknown check \"%1\": --list-checks lists them.", id);
        }
        choices.output.skipped.insert(id);
    }
    for (const auto &[option, state] :
         {std::make_pair(&options.failOn, &choices.output.failOn), std::make_pair(&options.minSeverity, &choices.output.minSeverity)}) {
        bool severityOk = false;
        *state = ThemeReport::severityFromKeyword(parser.value(*option), &severityOk);
        if (!severityOk) {
            return i18nd("zel-find-qicon", "Unknown severity \"%1\": use none, information, warning or error.", parser.value(*option));
        }
    }
    choices.output.files = parser.isSet(options.files);
    const QStringList atSizes = parser.values(options.at);
    for (const QString &text : atSizes) {
        bool number = false;
        const int size = text.toInt(&number);
        if (!number || size < 1 || size > 4096) {
            return i18nd("zel-find-qicon", "Unknown size \"%1\": give a number of pixels from 1 to 4096.", text);
        }
        choices.output.atSizes.append(size);
    }
    return readScanChoices(parser, options, choices);
}

// Qt falls back to hicolor without a word; a misspelt theme would pass unnoticed.
QString missingTheme(const QString &compared)
{
    QStringList themes{QIcon::themeName()};
    if (!compared.isEmpty()) {
        themes.append(compared);
    }
    for (const QString &theme : qAsConst(themes)) {
        if (!ThemeIndexCheck::isFound(theme)) {
            return i18nd("zel-find-qicon", "No icon theme \"%1\": no folder of that name with an index.theme in the theme search paths.", theme);
        }
    }
    return QString();
}

// Each list's share goes to standard error too, where a CI log shows it.
void writeCoverage(const Choices &choices, ThemeReportWriter &writer, QIODevice *errors)
{
    for (int i = 0; i < choices.coverageLists.size(); ++i) {
        const ThemeReport::Entry entry = ThemeCoverage::coverage(choices.coverageLists.at(i), choices.coverageNames.at(i), choices.output.folders);
        writer.write(entry);
        write(errors,
              i18nd("zel-find-qicon",
                    "%1: %2 of %3 names, %4%",
                    entry.name,
                    QString::number(entry.covered),
                    QString::number(entry.listed),
                    QString::number(entry.listed > 0 ? 100.0 * entry.covered / entry.listed : 100.0, 'f', 1))
                  + QLatin1Char('\n'));
    }
    if (!choices.compare.isEmpty()) {
        writer.write(ThemeCoverage::compare(choices.compare, choices.suffixes, choices.output.folders));
    }
}

// The toolkit would try each of millions of listed folders at every lookup: an oversized
// index is told of, and nothing is looked up under it. Each entry is written as it is
// made; the files are checked on the thread pool while the names are examined.
int runReport(Choices &choices, QStringList names, QIODevice *device, QIODevice *errors)
{
    ThemeReport report;
    report.setSearchIconSuffixes(choices.suffixes);
    const bool oversized = ThemeIndexCheck::isOversized(QIcon::themeName());
    const bool checksIndex = choices.scan || oversized;
    choices.output.folders = ThemeReport::scopeFolders(choices.scope);
    std::unique_ptr<ThemeFileCheck> fileCheck;
    if (choices.scan && !oversized) {
        fileCheck = std::make_unique<ThemeFileCheck>(choices.output.folders, choices.suffixes, choices.output.skipped);
        names += report.scanIconNames(choices.scope, fileCheck.get());
        fileCheck->start();
    }
    names.removeDuplicates();
    choices.output.suiteName = QStringLiteral("zel-find-qicon-report.") + QIcon::themeName();
    ThemeReportWriter writer(device, choices.format, choices.output);
    writer.begin();
    if (checksIndex) {
        writer.write(report.checkThemeIndex());
    }
    for (int i = 0; !oversized && i < names.size(); ++i) {
        writer.write(ThemeReport::examined(names.at(i), choices.output.atSizes));
    }
    QList<ThemeReport::Entry> files = fileCheck ? fileCheck->finish() : QList<ThemeReport::Entry>();
    if (fileCheck) {
        files += ThemeCacheCheck::check(choices.output.folders);
    }
    for (const ThemeReport::Entry &entry : files) {
        writer.write(entry);
    }
    writeCoverage(choices, writer, errors);
    writer.end();
    writeSummary(errors, writer.counts());
    return writer.failed() ? ThemeReportCommand::ExitFailOn : ThemeReportCommand::ExitClean;
}

// What the options alone do not say: the formats, the exit status and a CI job.
QString helpEpilogue()
{
    return i18nd("zel-find-qicon",
                 "Output:\n"
                 "  text   one line per remark, in the order the remarks are found: severity, subject\n"
                 "         and remark text ending in the check's id in brackets, separated by tabs.\n"
                 "         Subjects without remarks print nothing. With --files, a line \"file\", name,\n"
                 "         size and file for each size.\n"
                 "  json   an array with one object per subject: name, kind (icon, index or file),\n"
                 "         remarks (each with severity, check and text) and maxSeverity; for an icon\n"
                 "         name also nameInUse, hasThemeIcon, sizes and files (each with size and\n"
                 "         file), for the index and a file its path.\n"
                 "  junit  one test case per subject, failed at the --fail-on severity.\n"
                 "  sarif  SARIF 2.1.0: a rule per check, a result per remark at its file, relative\n"
                 "         to the scanned folder that holds it.\n"
                 "With --scan, the theme's index.theme is checked too, and its remarks come first\n"
                 "under the name THEME/index.theme; after the names come the files of the scanned\n"
                 "folders that have remarks, by their path in the folder. --list-checks lists every\n"
                 "check. A count of names by their highest severity goes to standard error.\n"
                 "\n"
                 "Exit status:\n"
                 "  0  nothing has a remark at the --fail-on severity or above\n"
                 "  1  something has\n"
                 "  2  an unknown option, a bad value, an unreadable folder, an unknown theme or no\n"
                 "     names to examine\n"
                 "\n"
                 "The settings of zel-find-qicon are never read nor written: only these options set\n"
                 "the theme up.\n"
                 "\n"
                 "Example, a CI job that checks the theme kept in the repository's icons/MyTheme folder\n"
                 "and fails on any error remark, with a report the CI system shows as tests, and one\n"
                 "it shows on each file of a pull request:\n"
                 "  zel-find-qicon-report --theme-path \"$PWD/icons\" --fallback-path \"\" \\\n"
                 "      --theme MyTheme --scan --fail-on error --format junit > remarks.xml\n"
                 "  zel-find-qicon-report --theme-path \"$PWD/icons\" --fallback-path \"\" \\\n"
                 "      --theme MyTheme --scan --format sarif > remarks.sarif");
}
}

QString ThemeReportCommand::helpText()
{
    QCommandLineParser parser;
    Options options;
    options.addTo(parser);
    return parser.helpText() + QLatin1Char('\n') + helpEpilogue() + QLatin1Char('\n');
}

int ThemeReportCommand::exec(const QStringList &arguments, QIODevice *input, QIODevice *device, QIODevice *errors)
{
    QCommandLineParser parser;
    Options options;
    options.addTo(parser);
    if (!parser.parse(arguments)) {
        return usageError(errors, parser.errorText());
    }
    if (parser.isSet(options.help) || parser.isSet(options.version) || parser.isSet(options.listChecks)) {
        write(device,
              parser.isSet(options.help)          ? helpText()
                  : parser.isSet(options.version) ? QStringLiteral("zel-find-qicon-report %1\n").arg(QCoreApplication::applicationVersion())
                                                  : listOfChecks());
        return ExitClean;
    }
    Choices choices;
    QString invalid = readChoices(parser, options, choices);
    const QStringList themePaths = nonEmpty(parser.values(options.themePath));
    const QStringList fallbackPaths = nonEmpty(parser.values(options.fallbackPath));
    const QString unreadable = unreadableFolder(themePaths + fallbackPaths);
    if (invalid.isEmpty() && !unreadable.isEmpty()) {
        invalid = i18nd("zel-find-qicon", "Cannot read the folder \"%1\".", unreadable);
    }
    QStringList names = parser.positionalArguments();
    if (invalid.isEmpty() && parser.isSet(options.standardInput) && !readNames(input, names)) {
        invalid = i18nd("zel-find-qicon", "Standard input holds a NUL byte, which no icon name can contain.");
    }
    if (invalid.isEmpty() && names.isEmpty() && !choices.scan && choices.coverageLists.isEmpty() && choices.compare.isEmpty()) {
        invalid = i18nd("zel-find-qicon", "No icon names to examine: give names, --stdin or --scan.");
    }
    if (!invalid.isEmpty()) {
        return usageError(errors, invalid);
    }
    applyThemeOptions(parser, options, themePaths, fallbackPaths);
    const QString missing = missingTheme(choices.compare);
    if (!missing.isEmpty()) {
        return usageError(errors, missing);
    }
    choices.suffixes = parser.isSet(options.suffix) ? parser.values(options.suffix) : Settings::defaultSearchIconSuffixes();
    return runReport(choices, names, device, errors);
}

#include "themereportcommand.h"

#include "report/themeindexcheck.h"
#include "report/themereport.h"
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
                              i18nd("zel-find-qicon", "Output format: text, json or junit (default: text)."),
                              QStringLiteral("format"),
                              QStringLiteral("text")};
    QCommandLineOption failOn{
        QStringLiteral("fail-on"),
        i18nd("zel-find-qicon",
              "Exit with status 1 when a name has a remark of this severity or above: none, information, warning or error (default: none, never fail)."),
        QStringLiteral("severity"),
        QStringLiteral("none")};
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
        parser.addOptions({theme, themePath, fallbackTheme, fallbackPath, suffix, scan, scope, standardInput, format, minSeverity, files, failOn, help, version});
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
void applyThemeOptions(const QCommandLineParser &parser,
                       const Options &options,
                       const QStringList &themePaths,
                       const QStringList &fallbackPaths)
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

// Returns whether a name reached the fail-on severity.
bool writeSummary(QIODevice *errors, const QList<ThemeReport::Entry> &entries, IconRemarkState failOn)
{
    int counts[ErrorRemark + 1] = {0, 0, 0, 0};
    bool failed = false;
    for (const ThemeReport::Entry &entry : entries) {
        ++counts[entry.maximum];
        failed = failed || (failOn != NoRemark && entry.maximum >= failOn);
    }
    write(errors,
          i18nd("zel-find-qicon",
                "Examined %1 icon names: %2 with errors, %3 with warnings, %4 with information only, %5 without remarks.",
                QString::number(entries.size()),
                QString::number(counts[ErrorRemark]),
                QString::number(counts[WarningRemark]),
                QString::number(counts[InformationRemark]),
                QString::number(counts[NoRemark]))
              + QLatin1Char('\n'));
    return failed;
}

struct Choices {
    ThemeReport::Output output;
    QString format;
    ThemeReport::Scope scope = ThemeReport::Scope::Theme;
    bool scan = false;
    QStringList suffixes;
};

// The choices of the output and of what is scanned; the usage error where one is off.
QString readChoices(const QCommandLineParser &parser, const Options &options, Choices &choices)
{
    choices.format = parser.value(options.format);
    if (choices.format != QLatin1String("text") && choices.format != QLatin1String("json") && choices.format != QLatin1String("junit")) {
        return i18nd("zel-find-qicon", "Unknown output format \"%1\": use text, json or junit.", choices.format);
    }
    for (const auto &[option, state] : {std::make_pair(&options.failOn, &choices.output.failOn), std::make_pair(&options.minSeverity, &choices.output.minSeverity)}) {
        bool severityOk = false;
        *state = ThemeReport::severityFromKeyword(parser.value(*option), &severityOk);
        if (!severityOk) {
            return i18nd("zel-find-qicon", "Unknown severity \"%1\": use none, information, warning or error.", parser.value(*option));
        }
    }
    choices.output.files = parser.isSet(options.files);
    choices.scan = parser.isSet(options.scan);
    const int scope = QStringList{QStringLiteral("theme"), QStringLiteral("inherited"), QStringLiteral("all")}.indexOf(parser.value(options.scope));
    choices.scope = static_cast<ThemeReport::Scope>(scope);
    return scope < 0 ? i18nd("zel-find-qicon", "Unknown scope \"%1\": use theme, inherited or all.", parser.value(options.scope)) : QString();
}

// The toolkit would try each of millions of listed folders at every lookup: an oversized
// index is told of, and nothing is looked up under it.
int runReport(Choices &choices, QStringList names, QIODevice *device, QIODevice *errors)
{
    ThemeReport report;
    report.setSearchIconSuffixes(choices.suffixes);
    const bool oversized = ThemeIndexCheck::isOversized(QIcon::themeName());
    const bool checksIndex = choices.scan || oversized;
    if (choices.scan && !oversized) {
        names += report.scanIconNames(choices.scope);
    }
    QList<ThemeReport::Entry> entries = report.examine(oversized ? QStringList() : names);
    const bool failed = writeSummary(errors, entries, choices.output.failOn);
    if (checksIndex) {
        entries.prepend(report.checkThemeIndex());
    }
    const bool indexFailed = checksIndex && choices.output.failOn != NoRemark && entries.first().maximum >= choices.output.failOn;
    choices.output.suiteName = QStringLiteral("zel-find-qicon-report.") + QIcon::themeName();
    device->write(choices.format == QLatin1String("json")    ? ThemeReport::toJson(entries, choices.output)
                  : choices.format == QLatin1String("junit") ? ThemeReport::toJunit(entries, choices.output)
                                                             : ThemeReport::toText(entries, choices.output));
    return failed || indexFailed ? ThemeReportCommand::ExitFailOn : ThemeReportCommand::ExitClean;
}
}

QString ThemeReportCommand::helpText()
{
    QCommandLineParser parser;
    Options options;
    options.addTo(parser);
    QString text = parser.helpText();
    text += QLatin1Char('\n');
    text += i18nd("zel-find-qicon",
                  "Output:\n"
                  "  text   one line per remark, in the order the remarks are found: severity, icon name\n"
                  "         and remark text, separated by tabs. Names without remarks print nothing.\n"
                  "         With --files, a line \"file\", name, size and file for each size.\n"
                  "  json   an array with one object per name: name, nameInUse, hasThemeIcon, sizes,\n"
                  "         files (each with size and file), remarks (each with severity and text)\n"
                  "         and maxSeverity.\n"
                  "  junit  one test case per name, failed at the --fail-on severity.\n"
                  "With --scan, the theme's index.theme is checked too, and its remarks come first\n"
                  "under the name THEME/index.theme. A count of names by their highest severity goes\n"
                  "to standard error.\n"
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
                  "and fails on any error remark, with a report the CI system shows as tests:\n"
                  "  zel-find-qicon-report --theme-path \"$PWD/icons\" --fallback-path \"\" \\\n"
                  "      --theme MyTheme --scan --fail-on error --format junit > remarks.xml");
    text += QLatin1Char('\n');
    return text;
}

int ThemeReportCommand::exec(const QStringList &arguments, QIODevice *input, QIODevice *device, QIODevice *errors)
{
    QCommandLineParser parser;
    Options options;
    options.addTo(parser);
    if (!parser.parse(arguments)) {
        return usageError(errors, parser.errorText());
    }
    if (parser.isSet(options.help) || parser.isSet(options.version)) {
        write(device, parser.isSet(options.help) ? helpText() : QStringLiteral("zel-find-qicon-report %1\n").arg(QCoreApplication::applicationVersion()));
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
    if (invalid.isEmpty() && names.isEmpty() && !choices.scan) {
        invalid = i18nd("zel-find-qicon", "No icon names to examine: give names, --stdin or --scan.");
    }
    if (!invalid.isEmpty()) {
        return usageError(errors, invalid);
    }
    applyThemeOptions(parser, options, themePaths, fallbackPaths);
    // Qt falls back to hicolor without a word; a misspelt theme would pass unnoticed.
    if (!ThemeIndexCheck::isFound(QIcon::themeName())) {
        return usageError(errors, i18nd("zel-find-qicon", "No icon theme \"%1\": no folder of that name with an index.theme in the theme search paths.", QIcon::themeName()));
    }
    choices.suffixes = parser.isSet(options.suffix) ? parser.values(options.suffix) : Settings::defaultSearchIconSuffixes();
    return runReport(choices, names, device, errors);
}

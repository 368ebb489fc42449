#include "report/themereport.h"
#include "testhelpers.h"
#include "catalogue/iconsmodel.h"
#include "report/themereportcommand.h"


#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <unistd.h>

namespace
{
struct Run {
    int exitCode = -1;
    QByteArray output;
    QByteArray errors;
};

QString severityOf(const QIcon &decoration)
{
    const QString name = decoration.name();
    if (name == QLatin1String("dialog-error")) {
        return QStringLiteral("error");
    }
    if (name == QLatin1String("dialog-warning")) {
        return QStringLiteral("warning");
    }
    if (name == QLatin1String("dialog-information")) {
        return QStringLiteral("information");
    }
    return QStringLiteral("none");
}

// The remarks panel of a find, as "severity<TAB>name<TAB>text" lines.
QStringList windowRemarkLines(MainWindow *window, const QString &name)
{
    findByTyping(window, name);
    QAbstractItemModel *model = windowChild<QListView>(window, "findedIconRemarksListView")->model();
    QStringList lines;
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex index = model->index(row, 0);
        lines.append(severityOf(index.data(Qt::DecorationRole).value<QIcon>()) + QLatin1Char('\t') + name + QLatin1Char('\t') + index.data().toString());
    }
    return lines;
}

QStringList textLines(const QByteArray &output)
{
    QStringList lines = QString::fromUtf8(output).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

// The lines of the names, without those of the theme's index.theme.
QStringList nameLines(const QByteArray &output)
{
    QStringList lines = textLines(output);
    lines.erase(std::remove_if(lines.begin(), lines.end(), [](const QString &line) {
                    return line.section(QLatin1Char('\t'), 1, 1).endsWith(QLatin1String("/index.theme"));
                }),
                lines.end());
    return lines;
}

QStringList jsonNames(const QByteArray &output)
{
    QStringList names;
    const QJsonArray array = QJsonDocument::fromJson(output).array();
    for (const QJsonValue &value : array) {
        const QString name = value.toObject().value(QStringLiteral("name")).toString();
        if (!name.endsWith(QLatin1String("/index.theme"))) {
            names.append(name);
        }
    }
    return names;
}
}

class ThemeReportTest : public ZelTestCase
{
    Q_OBJECT

    FixtureTheme m_fixture;
    QTemporaryDir m_severityDir;
    FixtureTheme m_severityTheme{QStringLiteral("zelseverity"), m_severityDir.path()};

    QStringList fixtureArguments() const
    {
        return {QStringLiteral("--theme-path"),
                m_fixture.searchPath(),
                QStringLiteral("--fallback-path"),
                m_fixture.fallbackPath(),
                QStringLiteral("--theme"),
                m_fixture.name(),
                QStringLiteral("--fallback-theme"),
                m_fixture.name()};
    }

    QStringList severityArguments() const
    {
        return {QStringLiteral("--theme-path"),
                m_severityTheme.searchPath(),
                QStringLiteral("--fallback-path"),
                QString(),
                QStringLiteral("--theme"),
                m_severityTheme.name()};
    }

    static Run runInProcess(const QStringList &arguments, const QByteArray &input = QByteArray())
    {
        QByteArray inputBytes = input;
        QBuffer in(&inputBytes);
        in.open(QIODevice::ReadOnly);
        Run run;
        QBuffer out(&run.output);
        out.open(QIODevice::WriteOnly);
        QBuffer err(&run.errors);
        err.open(QIODevice::WriteOnly);
        run.exitCode = ThemeReportCommand::exec(QStringList{QStringLiteral("zel-find-qicon-report")} + arguments, &in, &out, &err);
        return run;
    }

    // The real program, for what only a process shows: standard input, exit status, files left behind.
    Run runProgram(const QStringList &arguments, const QByteArray &input = QByteArray(), const QString &home = QString()) const
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (!home.isEmpty()) {
            environment.insert(QStringLiteral("HOME"), home);
            environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
        }
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(ZEL_FIND_QICON_REPORT_BINARY), arguments);
        Run run;
        if (!process.waitForStarted(10000)) {
            return run;
        }
        process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished(60000)) {
            process.kill();
            process.waitForFinished();
            return run;
        }
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.output = process.readAllStandardOutput();
        run.errors = process.readAllStandardError();
        return run;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_fixture.addStandardIcons();
        storeThemeSettings(m_fixture);

        const QList<int> sizes = {16, 22, 32, 48, 64, 96, 128, 192, 256};
        for (int size : sizes) {
            const QString dir = QStringLiteral("%1x%1/apps").arg(size);
            m_severityTheme.addDirectory(dir, size);
            m_severityTheme.addPng(dir, QStringLiteral("complete"), size);
        }
        m_severityTheme.addPng(QStringLiteral("16x16/apps"), QStringLiteral("partial"), 16);
        m_severityTheme.writeIndex();
    }

    void matchesMainWindow_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"four-sizes", "corrupt-one", "twice", "odd24", "vector", "wide", "no-sizes", "four-sizes-more", "absent", ""}) {
            QTest::newRow(*name ? name : "empty name") << QString::fromLatin1(name);
        }
    }

    void matchesMainWindow()
    {
        QFETCH(QString, name);
        MainWindow window;
        const QStringList expected = windowRemarkLines(&window, name);
        QTRY_VERIFY(!QGuiApplication::overrideCursor());

        const Run text = runInProcess(fixtureArguments() << name);
        QCOMPARE(text.exitCode, int(ThemeReportCommand::ExitClean));
        QCOMPARE(textLines(text.output), expected);

        const Run json = runInProcess(fixtureArguments() << QStringLiteral("--format") << QStringLiteral("json") << name);
        QCOMPARE(json.exitCode, int(ThemeReportCommand::ExitClean));
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(json.output, &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(document.array().size(), 1);
        const QJsonObject object = document.array().first().toObject();
        QCOMPARE(object.value(QStringLiteral("name")).toString(), name);
        QCOMPARE(object.value(QStringLiteral("nameInUse")).toString(), windowChild<QLabel>(&window, "labelFindedIconName")->text());
        QCOMPARE(object.value(QStringLiteral("hasThemeIcon")).toBool() ? QStringLiteral("Exist") : QStringLiteral("Absent"),
                 windowChild<QLabel>(&window, "labelHasThemeIcon")->text());
        QStringList sizes;
        const QJsonArray sizeArray = object.value(QStringLiteral("sizes")).toArray();
        for (const QJsonValue &size : sizeArray) {
            sizes.append(size.toString());
        }
        QCOMPARE(sizes, comboEntries(&window));
        QStringList remarks;
        QString maximum = QStringLiteral("none");
        const QStringList order = {QStringLiteral("none"), QStringLiteral("information"), QStringLiteral("warning"), QStringLiteral("error")};
        const QJsonArray remarkArray = object.value(QStringLiteral("remarks")).toArray();
        for (const QJsonValue &value : remarkArray) {
            const QString severity = value.toObject().value(QStringLiteral("severity")).toString();
            remarks.append(severity + QLatin1Char('\t') + name + QLatin1Char('\t') + value.toObject().value(QStringLiteral("text")).toString());
            if (order.indexOf(severity) > order.indexOf(maximum)) {
                maximum = severity;
            }
        }
        QCOMPARE(remarks, expected);
        QCOMPARE(object.value(QStringLiteral("maxSeverity")).toString(), maximum);
    }

    // After a scan the engine examines the icons of the loading pass, not a fresh lookup.
    void scanMatchesMainWindow()
    {
        MainWindow window;
        windowChild<QPushButton>(&window, "pushButtonScanIconNamesStart")->click();
        QTRY_VERIFY_WITH_TIMEOUT(statusText(&window).startsWith(QLatin1String("Scan icon names done")), 20000);
        auto *model = window.findChild<IconsModel *>();
        QStringList names;
        QStringList expected;
        for (int row = 0; row < model->rowCount(); ++row) {
            names.append(model->iconName(model->index(row)));
        }
        std::sort(names.begin(), names.end());
        QVERIFY(names.contains(QStringLiteral("four-sizes")));
        QVERIFY(names.contains(QStringLiteral("wide")));
        for (const QString &name : qAsConst(names)) {
            const IconRemarks remarks = model->iconRemarks(name);
            for (const IconRemark &remark : remarks) {
                expected.append(ThemeReport::severityKeyword(remark.first) + QLatin1Char('\t') + name + QLatin1Char('\t') + remark.second);
            }
        }

        const Run run = runInProcess(fixtureArguments() << QStringLiteral("--scan") << QStringLiteral("--scope") << QStringLiteral("all"));
        QCOMPARE(run.exitCode, int(ThemeReportCommand::ExitClean));
        QCOMPARE(nameLines(run.output), expected);
        QVERIFY(run.errors.contains(QStringLiteral("Examined %1 icon names:").arg(names.size()).toUtf8()));
    }

    void scanSuffixes()
    {
        const Run run = runInProcess(fixtureArguments() << QStringLiteral("--scan") << QStringLiteral("--suffix") << QStringLiteral("svg")
                                                        << QStringLiteral("--format") << QStringLiteral("json"));
        QCOMPARE(jsonNames(run.output), QStringList({QStringLiteral("vector")}));
    }

    void failOn_data()
    {
        QTest::addColumn<QStringList>("failOn");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("exitCode");
        const QStringList byDefault;
        const QStringList none = {QStringLiteral("--fail-on"), QStringLiteral("none")};
        const QStringList information = {QStringLiteral("--fail-on"), QStringLiteral("information")};
        const QStringList warning = {QStringLiteral("--fail-on"), QStringLiteral("warning")};
        const QStringList error = {QStringLiteral("--fail-on"), QStringLiteral("error")};
        const QString clean = QStringLiteral("complete");
        const QString informed = QStringLiteral("partial");
        const QString warned = QStringLiteral("complete-alias");
        const QString failed = QStringLiteral("absent");
        QTest::newRow("default, error") << byDefault << failed << 0;
        QTest::newRow("none, error") << none << failed << 0;
        QTest::newRow("information, clean") << information << clean << 0;
        QTest::newRow("information, information") << information << informed << 1;
        QTest::newRow("information, error") << information << failed << 1;
        QTest::newRow("warning, information") << warning << informed << 0;
        QTest::newRow("warning, warning") << warning << warned << 1;
        QTest::newRow("error, warning") << error << warned << 0;
        QTest::newRow("error, error") << error << failed << 1;
    }

    void failOn()
    {
        QFETCH(QStringList, failOn);
        QFETCH(QString, name);
        QFETCH(int, exitCode);
        const Run run = runInProcess(severityArguments() + failOn << name);
        QCOMPARE(run.exitCode, exitCode);
    }

    void namesFromStandardInput()
    {
        const Run run =
            runProgram(severityArguments() << QStringLiteral("--stdin") << QStringLiteral("--fail-on") << QStringLiteral("error") << QStringLiteral("partial"),
                       QByteArray("complete\r\n\nabsent\npartial\n"));
        QCOMPARE(run.exitCode, 1);
        const QStringList lines = textLines(run.output);
        QVERIFY(!lines.isEmpty());
        // Arguments first, then standard input; a name given twice is examined once.
        QVERIFY2(lines.first().startsWith(QLatin1String("information\tpartial\t")), qPrintable(lines.first()));
        QCOMPARE(lines.last(), QStringLiteral("error\tabsent\tIcon with name absent not found on current theme"));
        QCOMPARE(lines.filter(QStringLiteral("\tcomplete\t")).size(), 0);
        QVERIFY(run.errors.contains("Examined 3 icon names: 1 with errors, 0 with warnings, 1 with information only, 1 without remarks."));
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown option") << QStringList({QStringLiteral("--frobnicate"), QStringLiteral("complete")})
                                        << QStringLiteral("Unknown option 'frobnicate'.");
        QTest::newRow("missing value") << QStringList({QStringLiteral("complete"), QStringLiteral("--theme")})
                                       << QStringLiteral("Missing value after '--theme'.");
        QTest::newRow("format") << QStringList({QStringLiteral("--format"), QStringLiteral("xml"), QStringLiteral("complete")})
                                << QStringLiteral("Unknown output format \"xml\": use text, json or junit.");
        QTest::newRow("scope") << QStringList({QStringLiteral("--scope"), QStringLiteral("world"), QStringLiteral("complete")})
                               << QStringLiteral("Unknown scope \"world\": use theme, inherited or all.");
        QTest::newRow("minimum severity") << QStringList({QStringLiteral("--min-severity"), QStringLiteral("some"), QStringLiteral("complete")})
                                          << QStringLiteral("Unknown severity \"some\": use none, information, warning or error.");
        QTest::newRow("unknown theme") << (severityArguments() << QStringLiteral("--theme") << QStringLiteral("zelseverty") << QStringLiteral("complete"))
                                       << QStringLiteral("No icon theme \"zelseverty\": no folder of that name with an index.theme in the theme search paths.");
        QTest::newRow("severity") << QStringList({QStringLiteral("--fail-on"), QStringLiteral("fatal"), QStringLiteral("complete")})
                                  << QStringLiteral("Unknown severity \"fatal\": use none, information, warning or error.");
        QTest::newRow("no names") << QStringList() << QStringLiteral("No icon names to examine: give names, --stdin or --scan.");
        QTest::newRow("missing theme path") << QStringList({QStringLiteral("--theme-path"), QStringLiteral("/nonexistent/zel"), QStringLiteral("complete")})
                                            << QStringLiteral("Cannot read the folder \"/nonexistent/zel\".");
        QTest::newRow("fallback path is a file") << QStringList(
            {QStringLiteral("--fallback-path"), QStringLiteral(ZEL_FIND_QICON_REPORT_BINARY), QStringLiteral("complete")})
                                                 << QStringLiteral("Cannot read the folder \"%1\".").arg(QStringLiteral(ZEL_FIND_QICON_REPORT_BINARY));
    }

    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const Run run = runProgram(arguments);
        QCOMPARE(run.exitCode, int(ThemeReportCommand::ExitUsage));
        QVERIFY(run.output.isEmpty());
        QVERIFY2(run.errors.startsWith(QStringLiteral("zel-find-qicon-report: %1\n").arg(message).toUtf8()), run.errors.constData());
    }

    void unreadableFolder()
    {
        if (geteuid() == 0) {
            QSKIP("root reads folders without permission");
        }
        QTemporaryDir dir;
        const QString locked = dir.path() + QStringLiteral("/locked");
        QVERIFY(QDir().mkdir(locked));
        QVERIFY(QFile::setPermissions(locked, QFileDevice::Permissions()));
        const Run run = runInProcess({QStringLiteral("--theme-path"), locked, QStringLiteral("complete")});
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(run.exitCode, int(ThemeReportCommand::ExitUsage));
        QVERIFY(run.errors.contains(locked.toUtf8()));
    }

    void settingsNeverTouched()
    {
        QTemporaryDir home;
        const QString settingsPath = home.path() + QStringLiteral("/.config/zel-find-qicon/application.ini");
        QVERIFY(QDir().mkpath(QFileInfo(settingsPath).path()));
        const QByteArray stored("[General]\nIconThemeName=nowhere\nUsingSystemIconsTheme=false\n");
        FixtureTheme::writeFile(settingsPath, stored);

        const Run run = runProgram(severityArguments() << QStringLiteral("--scan"), QByteArray(), home.path());
        QCOMPARE(run.exitCode, 0);
        // The theme came from the options, not from the stored name.
        QVERIFY(run.errors.contains("Examined 2 icon names: 0 with errors, 0 with warnings, 1 with information only, 1 without remarks."));
        QFile file(settingsPath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), stored);
        QCOMPARE(QDir(QFileInfo(settingsPath).path()).entryList(QDir::Files | QDir::Hidden), QStringList({QStringLiteral("application.ini")}));
    }

    // A child inheriting a parent, and a loose icon in a fallback folder; names keep their inner dots.
    void scanScopes_data()
    {
        QTest::addColumn<QString>("scope");
        QTest::addColumn<QStringList>("names");
        const QStringList own = {QStringLiteral("child-only"), QStringLiteral("org.zel.app")};
        QTest::newRow("theme") << QStringLiteral("theme") << own;
        QTest::newRow("inherited") << QStringLiteral("inherited") << (own + QStringList{QStringLiteral("parent-only")});
        QTest::newRow("all") << QStringLiteral("all")
                             << QStringList{QStringLiteral("child-only"), QStringLiteral("loose"), QStringLiteral("org.zel.app"), QStringLiteral("parent-only")};
    }

    void scanScopes()
    {
        QFETCH(QString, scope);
        QFETCH(QStringList, names);
        QTemporaryDir dir;
        FixtureTheme child(QStringLiteral("zelchild"), dir.filePath(QStringLiteral("themes")));
        child.addDirectory(QStringLiteral("16/apps"), 16);
        child.addPng(QStringLiteral("16/apps"), QStringLiteral("child-only"), 16);
        child.addFile(QStringLiteral("16/apps/org.zel.app.svg"), FixtureTheme::svgBytes(Qt::blue));
        child.setInherits({QStringLiteral("zelparent")});
        child.writeIndex();
        FixtureTheme parent(QStringLiteral("zelparent"), dir.filePath(QStringLiteral("themes")));
        parent.addDirectory(QStringLiteral("16/apps"), 16);
        parent.addPng(QStringLiteral("16/apps"), QStringLiteral("parent-only"), 16);
        parent.writeIndex();
        FixtureTheme::writeFile(dir.filePath(QStringLiteral("loose/loose.png")), FixtureTheme::pngBytes(16, 16, Qt::red));

        const Run run = runInProcess({QStringLiteral("--theme-path"), child.searchPath(), QStringLiteral("--fallback-path"), dir.filePath(QStringLiteral("loose")),
                                      QStringLiteral("--theme"), child.name(), QStringLiteral("--scan"), QStringLiteral("--scope"), scope,
                                      QStringLiteral("--format"), QStringLiteral("json")});
        QVERIFY2(run.exitCode == ThemeReportCommand::ExitClean, run.errors.constData());
        QCOMPARE(jsonNames(run.output), names);
    }

    void indexChecks_data()
    {
        QTest::addColumn<QString>("index");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("remarks");
        const QString head = QStringLiteral("[Icon Theme]\nName=zelindex\nInherits=hicolor\nDirectories=16/apps\n");
        const QString fixed = QStringLiteral("[16/apps]\nSize=16\nType=Fixed\nContext=Applications\n");
        const QStringList icon{QStringLiteral("16/apps/a.png")};
        QTest::newRow("sound") << head + fixed << icon << QStringList();
        QTest::newRow("unlisted folder") << head + fixed << (icon + QStringList{QStringLiteral("extra/16/b.svg"), QStringLiteral("extra/notes.txt")})
                                         << QStringList{QStringLiteral("error\tThe folder extra/16 holds icon files, but index.theme does not list it: no lookup finds them.")};
        QTest::newRow("missing folder") << QString(head + fixed).replace(QStringLiteral("=16/apps\n"), QStringLiteral("=16/apps,gone\n"))
                                                + QStringLiteral("[gone]\nSize=16\nType=Fixed\n")
                                        << icon << QStringList{QStringLiteral("warning\tThe folder gone listed in index.theme does not exist.")};
        QTest::newRow("no size") << head + QStringLiteral("[16/apps]\nType=Fixed\n") << icon << QStringList{QStringLiteral("error\tThe folder 16/apps has no Size.")};
        QTest::newRow("unknown type") << head + QStringLiteral("[16/apps]\nSize=16\nType=Bogus\n") << icon
                                      << QStringList{QStringLiteral("error\tThe folder 16/apps has the unknown Type Bogus.")};
        QTest::newRow("keys of other types") << head + fixed + QStringLiteral("Threshold=4\nMinSize=8\n") << icon
                                             << QStringList{QStringLiteral("warning\tThe folder 16/apps sets Threshold, which its Type Fixed does not use."),
                                                            QStringLiteral("warning\tThe folder 16/apps sets MinSize, which its Type Fixed does not use.")};
        QTest::newRow("range leaves out the size") << head + QStringLiteral("[16/apps]\nSize=16\nType=Scalable\nMinSize=32\nMaxSize=64\n") << icon
                                                   << QStringList{QStringLiteral("error\tThe folder 16/apps has sizes 32 to 64, which leave out its Size 16.")};
        QTest::newRow("range below the size") << head + QStringLiteral("[16/apps]\nSize=16\nType=Scalable\nMinSize=4\nMaxSize=8\n") << icon
                                              << QStringList{QStringLiteral("error\tThe folder 16/apps has sizes 4 to 8, which leave out its Size 16.")};
        QTest::newRow("threshold by default") << head + QStringLiteral("[16/apps]\nSize=16\nThreshold=2\n") << icon << QStringList();
        QTest::newRow("scale without scale 1") << QString(head).replace(QStringLiteral("=16/apps\n"), QStringLiteral("=16@2/apps\n"))
                                                          + QStringLiteral("[16@2/apps]\nSize=16\nScale=2\nType=Fixed\nContext=Applications\n")
                                               << QStringList{QStringLiteral("16@2/apps/a.png")}
                                               << QStringList{QStringLiteral("warning\tThe folder 16@2/apps has Scale 2, but no folder of its Size and Context has scale 1.")};
        QTest::newRow("missing parent") << QString(head + fixed).replace(QStringLiteral("Inherits=hicolor"), QStringLiteral("Inherits=nowhere"))
                                        << icon
                                        << QStringList{QStringLiteral("error\tThe inherited theme nowhere is not found in the theme search paths."),
                                                       QStringLiteral("information\tThe theme does not inherit hicolor, directly or through its parents.")};
        QTest::newRow("hicolor through a parent") << QString(head + fixed).replace(QStringLiteral("Inherits=hicolor"), QStringLiteral("Inherits=zelmiddle"))
                                                  << icon << QStringList();
    }

    void indexChecks()
    {
        QFETCH(QString, index);
        QFETCH(QStringList, files);
        QFETCH(QStringList, remarks);
        QTemporaryDir dir;
        FixtureTheme::writeFile(dir.filePath(QStringLiteral("zelindex/index.theme")), index.toUtf8());
        for (const QString &file : qAsConst(files)) {
            FixtureTheme::writeFile(dir.filePath(QStringLiteral("zelindex/") + file), FixtureTheme::pngBytes(16, 16, Qt::red));
        }
        FixtureTheme::writeFile(dir.filePath(QStringLiteral("zelmiddle/index.theme")), "[Icon Theme]\nName=zelmiddle\nInherits=hicolor\nDirectories=\n");
        FixtureTheme::writeFile(dir.filePath(QStringLiteral("hicolor/index.theme")), "[Icon Theme]\nName=hicolor\nDirectories=\n");
        const Run run = runInProcess({QStringLiteral("--theme-path"), dir.path(), QStringLiteral("--fallback-path"), QString(), QStringLiteral("--theme"),
                                      QStringLiteral("zelindex"), QStringLiteral("--scan"), QStringLiteral("--fail-on"), QStringLiteral("error")});
        QVERIFY2(run.exitCode != ThemeReportCommand::ExitUsage, run.errors.constData());
        QStringList found = textLines(run.output).filter(QStringLiteral("\tzelindex/index.theme\t"));
        found.replaceInStrings(QStringLiteral("\tzelindex/index.theme\t"), QStringLiteral("\t"));
        QCOMPARE(found, remarks);
        const bool failed = !remarks.filter(QRegularExpression(QStringLiteral("^error\t"))).isEmpty();
        QCOMPARE(run.exitCode, failed ? 1 : 0);
    }

    // What is printed follows --min-severity; what fails and the count do not.
    void minimumSeverity()
    {
        const QStringList names{QStringLiteral("partial"), QStringLiteral("absent")};
        const Run run = runInProcess(severityArguments() << QStringLiteral("--min-severity") << QStringLiteral("warning") << names);
        QCOMPARE(textLines(run.output), QStringList{QStringLiteral("error\tabsent\tIcon with name absent not found on current theme")});
        const Run json = runInProcess(severityArguments() << QStringLiteral("--min-severity") << QStringLiteral("warning") << QStringLiteral("--format")
                                                          << QStringLiteral("json") << names);
        QCOMPARE(jsonNames(json.output), QStringList{QStringLiteral("absent")});
        QVERIFY(run.errors.contains("Examined 2 icon names: 1 with errors, 0 with warnings, 1 with information only, 0 without remarks."));
    }

    void filesTheToolkitUses()
    {
        const Run text = runInProcess(fixtureArguments() << QStringLiteral("--files") << QStringLiteral("four-sizes") << QStringLiteral("wide"));
        const QString theme = m_fixture.themePath();
        QStringList expected;
        for (int size : {16, 22, 32, 48}) {
            expected.append(QStringLiteral("file\tfour-sizes\t%1x%1\t%2/%1x%1/apps/four-sizes.png").arg(size).arg(theme));
        }
        expected.append(QStringLiteral("file\twide\t32x16\t%1/wide.png").arg(m_fixture.fallbackPath()));
        QCOMPARE(textLines(text.output).filter(QRegularExpression(QStringLiteral("^file\t"))), expected);

        const Run json = runInProcess(fixtureArguments() << QStringLiteral("--format") << QStringLiteral("json") << QStringLiteral("four-sizes"));
        const QJsonArray files = QJsonDocument::fromJson(json.output).array().first().toObject().value(QStringLiteral("files")).toArray();
        QCOMPARE(files.size(), 4);
        QCOMPARE(files.first().toObject().value(QStringLiteral("file")).toString(), theme + QStringLiteral("/16x16/apps/four-sizes.png"));
    }

    void junit()
    {
        const Run run = runInProcess(severityArguments() << QStringLiteral("--format") << QStringLiteral("junit") << QStringLiteral("--fail-on")
                                                         << QStringLiteral("warning") << QStringLiteral("partial") << QStringLiteral("absent"));
        QCOMPARE(run.exitCode, 1);
        QXmlStreamReader xml(run.output);
        QStringList cases;
        QStringList failures;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement) {
                continue;
            }
            if (xml.name() == QLatin1String("testsuite")) {
                QCOMPARE(xml.attributes().value(QStringLiteral("tests")).toString(), QStringLiteral("2"));
                QCOMPARE(xml.attributes().value(QStringLiteral("failures")).toString(), QStringLiteral("1"));
            } else if (xml.name() == QLatin1String("testcase")) {
                cases.append(xml.attributes().value(QStringLiteral("name")).toString());
            } else if (xml.name() == QLatin1String("failure")) {
                failures.append(xml.attributes().value(QStringLiteral("message")).toString());
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(cases, QStringList({QStringLiteral("partial"), QStringLiteral("absent")}));
        QCOMPARE(failures, QStringList{QStringLiteral("Icon with name absent not found on current theme")});
    }

    // Every name the report examines on breeze is a file of breeze without its suffix.
    void breezeNamesAreItsFiles()
    {
        const QString breeze = QStringLiteral("/usr/share/icons/breeze");
        if (!QFileInfo::exists(breeze + QStringLiteral("/index.theme"))) {
            QSKIP("breeze is not installed");
        }
        QSet<QString> files;
        QDirIterator it(breeze, QDir::Files, QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
        while (it.hasNext()) {
            it.next();
            files.insert(it.fileInfo().completeBaseName());
        }
        const Run run = runInProcess({QStringLiteral("--theme-path"), QStringLiteral("/usr/share/icons"), QStringLiteral("--theme"), QStringLiteral("breeze"),
                                      QStringLiteral("--scan"), QStringLiteral("--scope"), QStringLiteral("theme"), QStringLiteral("--fail-on"),
                                      QStringLiteral("error"), QStringLiteral("--format"), QStringLiteral("json")});
        const QStringList names = jsonNames(run.output);
        QVERIFY(names.size() > 1000);
        for (const QString &name : names) {
            QVERIFY2(files.contains(name), qPrintable(name));
        }
    }

    // A tab or line end in a name must not forge a field or a line; a NUL on standard input
    // would hide the names after it.
    void hostileNames()
    {
        const QString name = QStringLiteral("x\terror\tforged\nerror\x01");
        const Run run = runInProcess(severityArguments() << name);
        QCOMPARE(textLines(run.output),
                 QStringList{QStringLiteral("error\tx\\terror\\tforged\\nerror\\x01\tIcon with name x\\terror\\tforged\\nerror\\x01 not found on current theme")});
        const Run nul = runProgram(severityArguments() << QStringLiteral("--stdin"), QByteArray("complete\nabs\0ent\n", 17));
        QCOMPARE(nul.exitCode, int(ThemeReportCommand::ExitUsage));
        QVERIFY(nul.errors.contains("Standard input holds a NUL byte"));
    }
};

QTEST_MAIN(ThemeReportTest)

#include "themereporttest.moc"

#include "report/themereport.h"
#include "catalogue/iconsmodel.h"
#include "report/themereportcommand.h"

#include "testenvironment.h"
#include "windowfixture.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

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
}

class ThemeReportTest : public QObject
{
    Q_OBJECT

    StandardFixture m_fixture;
    QTemporaryDir m_severityDir;
    FixtureTheme m_severityTheme{m_severityDir.path(), QStringLiteral("zelseverity")};

    QStringList fixtureArguments() const
    {
        return {QStringLiteral("--theme-path"),
                m_fixture.theme.searchPath(),
                QStringLiteral("--fallback-path"),
                m_fixture.fallbackPath(),
                QStringLiteral("--theme"),
                m_fixture.theme.name(),
                QStringLiteral("--fallback-theme"),
                m_fixture.theme.name()};
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
        storeThemeSettings(m_fixture);

        const QList<int> sizes = {16, 22, 32, 48, 64, 96, 128, 192, 256};
        for (int size : sizes) {
            const QString dir = QStringLiteral("%1x%1/apps").arg(size);
            m_severityTheme.addDirectory(dir, size);
            m_severityTheme.addPng(dir, QStringLiteral("complete"), size, size);
        }
        m_severityTheme.addPng(QStringLiteral("16x16/apps"), QStringLiteral("partial"), 16, 16);
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

        const Run run = runInProcess(fixtureArguments() << QStringLiteral("--scan"));
        QCOMPARE(run.exitCode, int(ThemeReportCommand::ExitClean));
        QCOMPARE(textLines(run.output), expected);
        QVERIFY(run.errors.contains(QStringLiteral("Examined %1 icon names:").arg(names.size()).toUtf8()));
    }

    void scanSuffixes()
    {
        const Run run = runInProcess(fixtureArguments() << QStringLiteral("--scan") << QStringLiteral("--suffix") << QStringLiteral("svg")
                                                        << QStringLiteral("--format") << QStringLiteral("json"));
        QStringList names;
        const QJsonArray array = QJsonDocument::fromJson(run.output).array();
        for (const QJsonValue &value : array) {
            names.append(value.toObject().value(QStringLiteral("name")).toString());
        }
        QCOMPARE(names, QStringList({QStringLiteral("no-sizes"), QStringLiteral("vector")}));
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
                                << QStringLiteral("Unknown output format \"xml\": use text or json.");
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

    void misspeltThemeWarned()
    {
        const Run run = runInProcess(severityArguments() << QStringLiteral("--theme") << QStringLiteral("zelseverty") << QStringLiteral("complete"));
        QCOMPARE(run.exitCode, int(ThemeReportCommand::ExitClean));
        QVERIFY(run.errors.contains("Warning: no folder \"zelseverty\" with an index.theme in the theme search paths."));
    }

    void settingsNeverTouched()
    {
        QTemporaryDir home;
        const QString settingsPath = home.path() + QStringLiteral("/.config/zel-find-qicon/application.ini");
        QVERIFY(QDir().mkpath(QFileInfo(settingsPath).path()));
        const QByteArray stored("[General]\nIconThemeName=nowhere\nUsingSystemIconsTheme=false\n");
        StandardFixture::writeFile(settingsPath, stored);

        const Run run = runProgram(severityArguments() << QStringLiteral("--scan"), QByteArray(), home.path());
        QCOMPARE(run.exitCode, 0);
        // The theme came from the options, not from the stored name.
        QVERIFY(run.errors.contains("Examined 2 icon names: 0 with errors, 0 with warnings, 1 with information only, 1 without remarks."));
        QFile file(settingsPath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), stored);
        QCOMPARE(QDir(QFileInfo(settingsPath).path()).entryList(QDir::Files | QDir::Hidden), QStringList({QStringLiteral("application.ini")}));
    }
};

ZEL_TEST_MAIN(ThemeReportTest)

#include "themereporttest.moc"

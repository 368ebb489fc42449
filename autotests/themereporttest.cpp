#include "report/themecheck.h"
#include "report/themereport.h"
#include "catalogue/iconsmodel.h"
#include "report/themereportcommand.h"
#include "testhelpers.h"

#include <ctime>

#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

namespace
{
struct Run {
    int exitCode = -1;
    QByteArray output;
    QByteArray errors;
    // Without the check id that ends each remark, unless asked for.
    QStringList lines(bool withChecks = false) const
    {
        QStringList all = QString::fromUtf8(output).split('\n', Qt::SkipEmptyParts);
        return withChecks ? all : all.replaceInStrings(QRegularExpression(" \\[[a-z-]+\\]$"), QString());
    }
    // The examined names, without the index and the files of a scan.
    QStringList jsonNames() const
    {
        QStringList names;
        for (const QJsonValue &value : QJsonDocument::fromJson(output).array()) {
            if (value["kind"] == "icon") {
                names.append(value["name"].toString());
            }
        }
        return names;
    }
};

Run report(const QStringList &arguments, const QByteArray &input = {})
{
    QByteArray inputBytes = input;
    QBuffer in(&inputBytes);
    in.open(QIODevice::ReadOnly);
    Run run;
    QBuffer out(&run.output);
    out.open(QIODevice::WriteOnly);
    QBuffer err(&run.errors);
    err.open(QIODevice::WriteOnly);
    run.exitCode = ThemeReportCommand::exec(QStringList{"zel-find-qicon-report"} + arguments, &in, &out, &err);
    return run;
}

QString severityOf(const QIcon &decoration)
{
    const QString name = decoration.name();
    return name.startsWith("dialog-") ? name.mid(7) : QString("none");
}
}

class ThemeReportTest : public ZelTestCase
{
    Q_OBJECT
    FixtureTheme m_fixture;

    QStringList fixture() const
    {
        const QString name = m_fixture.name;
        return {"--theme-path", m_fixture.searchPath, "--fallback-path", m_fixture.fallbackPath, "--theme", name, "--fallback-theme", name};
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_fixture.addStandardIcons();
        m_fixture.store();
    }

    // The report and the window must say the same of every name, in text and in JSON.
    void matchesMainWindow_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"four-sizes", "corrupt-one", "twice", "odd24", "vector", "wide", "no-sizes", "four-sizes-more", "absent", ""}) {
            QTest::newRow(*name ? name : "empty name") << QString(name);
        }
    }

    void matchesMainWindow()
    {
        QFETCH(QString, name);
        MainWindow window;
        findByTyping(&window, name);
        QAbstractItemModel *model = windowChild<QListView>(&window, "findedIconRemarksListView")->model();
        QStringList expected;
        for (int row = 0; row < model->rowCount(); ++row) {
            const QModelIndex index = model->index(row, 0);
            expected.append(severityOf(index.data(Qt::DecorationRole).value<QIcon>()) + '\t' + name + '\t' + index.data().toString());
        }

        const Run text = report(fixture() << name);
        QCOMPARE(text.exitCode, int(ThemeReportCommand::ExitClean));
        QCOMPARE(text.lines(), expected);
        // Each remark ends in the id of the check that made it.
        const QList<QPair<QString, QString>> checks = {{"not found on current theme", "icon-not-found"},  {"No available sizes", "no-sizes"},
                                                       {"has no image valid", "size-without-image"},     {"not found, using", "name-substituted"},
                                                       {"The standard size", "standard-size-missing"}};
        for (const QString &line : text.lines(true)) {
            const auto check = std::find_if(checks.cbegin(), checks.cend(), [&line](const QPair<QString, QString> &kind) {
                return line.contains(kind.first);
            });
            QVERIFY2(check != checks.cend() && line.endsWith(" [" + check->second + "]"), qPrintable(line));
        }

        const Run json = report(fixture() << "--format" << "json" << name);
        const QJsonArray array = QJsonDocument::fromJson(json.output).array();
        QCOMPARE(array.size(), 1);
        const QJsonObject object = array.first().toObject();
        QStringList remarks;
        for (const QJsonValue &remark : object["remarks"].toArray()) {
            remarks.append(remark["severity"].toString() + '\t' + name + '\t' + remark["text"].toString());
        }
        QCOMPARE(remarks, expected);
        QCOMPARE(QStringList({object["name"].toString(), object["nameInUse"].toString(), object["hasThemeIcon"].toBool() ? "Exist" : "Absent",
                              object["sizes"].toVariant().toStringList().join(','), object["maxSeverity"].toString()}),
                 QStringList({name, labelText(&window, "labelFindedIconName"), labelText(&window, "labelHasThemeIcon"),
                              column(windowChild<QComboBox>(&window, "comboBoxFindedIconSize")->model()).join(','),
                              expected.isEmpty() ? "none" : expected.first().section('\t', 0, 0)}));
    }

    // After a scan the report examines the icons of the loading pass, as the window does.
    void scanMatchesMainWindow()
    {
        MainWindow window;
        windowChild<QPushButton>(&window, "pushButtonScanIconNamesStart")->click();
        QTRY_VERIFY_WITH_TIMEOUT(statusText(&window).startsWith("Scan icon names done"), 20000);
        auto *model = window.findChild<IconsModel *>();
        QStringList names = column(model);
        std::sort(names.begin(), names.end());
        QVERIFY(names.contains("four-sizes") && names.contains("wide"));
        QStringList expected;
        for (const QString &name : qAsConst(names)) {
            for (const IconRemark &remark : model->iconRemarks(name)) {
                expected.append(ThemeReport::severityKeyword(remark.first) + '\t' + name + '\t' + remark.second);
            }
        }
        const Run run = report(fixture() << "--scan" << "--scope" << "all");
        QCOMPARE(run.exitCode, int(ThemeReportCommand::ExitClean));
        QCOMPARE(run.lines().filter(QRegularExpression("^[^\t]*\t[^\t/]*(?<!\\.png|\\.svg)\t")), expected);
        QVERIFY(run.errors.contains(QString("Examined %1 icon names:").arg(names.size()).toUtf8()));
        QCOMPARE(report(fixture() << "--scan" << "--suffix" << "svg" << "--format" << "json").jsonNames(), QStringList{"vector"});
    }

    // What is printed follows --min-severity; what fails and the count do not.
    void severities_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("printed");
        const QStringList all = {"complete", "four-sizes", "complete-alias", "absent"};
        QTest::newRow("default") << QStringList() << QStringList{"absent"} << 0 << QStringList{"absent"};
        QTest::newRow("none") << QStringList{"--fail-on", "none"} << QStringList{"absent"} << 0 << QStringList{"absent"};
        QTest::newRow("information, clean") << QStringList{"--fail-on", "information"} << QStringList{"complete"} << 0 << QStringList();
        QTest::newRow("information") << QStringList{"--fail-on", "information"} << QStringList{"four-sizes"} << 1 << QStringList{"four-sizes"};
        QTest::newRow("warning, information") << QStringList{"--fail-on", "warning"} << QStringList{"four-sizes"} << 0 << QStringList{"four-sizes"};
        QTest::newRow("warning") << QStringList{"--fail-on", "warning"} << QStringList{"complete-alias"} << 1 << QStringList{"complete-alias"};
        QTest::newRow("error, warning") << QStringList{"--fail-on", "error"} << QStringList{"complete-alias"} << 0 << QStringList{"complete-alias"};
        QTest::newRow("error") << QStringList{"--fail-on", "error"} << QStringList{"absent"} << 1 << QStringList{"absent"};
        QTest::newRow("minimum warning") << QStringList{"--min-severity", "warning", "--fail-on", "information"} << all << 1
                                         << QStringList{"complete-alias", "absent"};
    }

    void severities()
    {
        QFETCH(QStringList, options);
        QFETCH(QStringList, names);
        const Run run = report(fixture() + options + names);
        QTEST(run.exitCode, "exitCode");
        QStringList printed;
        for (const QString &line : run.lines()) {
            if (!printed.contains(line.section('\t', 1, 1))) {
                printed.append(line.section('\t', 1, 1));
            }
        }
        QTEST(printed, "printed");
        const QStringList json = report(fixture() + options + QStringList{"--format", "json"} + names).jsonNames();
        QCOMPARE(json, options.contains("--min-severity") ? printed : names);
        if (names.size() > 1) {
            QVERIFY(run.errors.contains("Examined 4 icon names: 1 with errors, 1 with warnings, 1 with information only, 1 without remarks."));
        }
    }

    // Arguments first, then standard input; a name given twice is examined once. A tab
    // or line end in a name must not forge a field or a line, a NUL would hide names.
    void standardInput()
    {
        Run run = report(fixture() << "--stdin" << "--fail-on" << "error" << "four-sizes", "complete\r\n\nabsent\nfour-sizes\n");
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.lines().first().startsWith("information\tfour-sizes\t"), run.output.constData());
        QCOMPARE(run.lines().last(), "error\tabsent\tIcon with name absent not found on current theme");
        QVERIFY(run.errors.contains("Examined 3 icon names: 1 with errors, 0 with warnings, 1 with information only, 1 without remarks."));

        // Nor may a line splitter's other line ends (C1 controls, U+2028) or what a log does
        // not print (a direction override); JUnit's XML holds none of them either.
        const QString forged = QString::fromUtf8("x\terror\tforged\nerror\x01\xc2\x85\xe2\x80\xa8\xe2\x80\xae");
        const QString escaped = "x\\terror\\tforged\\nerror\\x01\\x85\\u{2028}\\u{202e}";
        run = report(fixture() << forged);
        QCOMPARE(run.lines(), QStringList{"error\t" + escaped + "\tIcon with name " + escaped + " not found on current theme"});
        QVERIFY(report(fixture() << "--format" << "junit" << forged).output.contains("name=\"" + escaped.toUtf8() + "\""));
        run = report(fixture() << "--stdin", QByteArray("complete\nabs\0ent\n", 17));
        QCOMPARE(run.exitCode, int(ThemeReportCommand::ExitUsage));
        QVERIFY(run.errors.contains("Standard input holds a NUL byte"));
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown option") << QStringList{"--frobnicate", "complete"} << "Unknown option 'frobnicate'.";
        QTest::newRow("missing value") << QStringList{"complete", "--theme"} << "Missing value after '--theme'.";
        QTest::newRow("scope") << QStringList{"--scope", "world", "complete"} << "Unknown scope \"world\": use theme, inherited or all.";
        QTest::newRow("fail on") << QStringList{"--fail-on", "fatal", "complete"} << "Unknown severity \"fatal\": use none, information, warning or error.";
        QTest::newRow("unknown theme") << (fixture() << "--theme" << "zelfixtur" << "complete")
                                       << "No icon theme \"zelfixtur\": no folder of that name with an index.theme in the theme search paths.";
        QTest::newRow("no names") << QStringList() << "No icon names to examine: give names, --stdin or --scan.";
        QTest::newRow("missing theme path") << QStringList{"--theme-path", "/nonexistent/zel", "complete"} << "Cannot read the folder \"/nonexistent/zel\".";
        QTest::newRow("unknown check") << QStringList{"--skip", "link-loops", "complete"} << "Unknown check \"link-loops\": --list-checks lists them.";
    }

    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const Run run = report(arguments);
        QCOMPARE(run.exitCode, int(ThemeReportCommand::ExitUsage));
        QVERIFY(run.output.isEmpty());
        QVERIFY2(run.errors.startsWith(QString("zel-find-qicon-report: %1\n").arg(message).toUtf8()), run.errors.constData());
    }

    // An empty --fallback-path leaves no fallback folder to look in.
    void emptyFallbackPath()
    {
        QStringList options = fixture();
        QCOMPARE(report(fixture() << "--files" << "wide").lines().last(), "file\twide\t32x16\t" + m_fixture.fallbackPath + "/wide.png");
        options[3] = QString();
        QCOMPARE(report(options << "wide").lines(), QStringList{"error\twide\tIcon with name wide not found on current theme"});
        QCOMPARE(QIcon::fallbackSearchPaths(), QStringList());
    }

    // A child inheriting a parent, and a loose icon in a fallback folder; names keep their inner dots.
    void scanScopes()
    {
        QTemporaryDir dir;
        FixtureTheme child("zelchild", dir.filePath("themes"));
        FixtureTheme parent("zelparent", dir.filePath("themes"));
        for (FixtureTheme *theme : {&child, &parent}) {
            theme->addDirectory("16/apps", 16);
            theme->addPng("16/apps", theme == &child ? "org.zel.app" : "parent-only", 16);
            theme->writeIndex(theme == &child ? "zelparent" : "");
        }
        writeFile(dir.filePath("loose/loose.png"), pngBytes(16, 16, Qt::red));
        const QStringList scan{"--theme-path", child.searchPath, "--fallback-path", dir.filePath("loose"), "--theme", "zelchild", "--scan", "--format", "json", "--scope"};
        QCOMPARE(report(scan + QStringList{"theme"}).jsonNames(), QStringList{"org.zel.app"});
        QCOMPARE(report(scan + QStringList{"inherited"}).jsonNames(), QStringList({"org.zel.app", "parent-only"}));
        QCOMPARE(report(scan + QStringList{"all"}).jsonNames(), QStringList({"loose", "org.zel.app", "parent-only"}));
    }

    void indexChecks_data()
    {
        QTest::addColumn<QString>("index");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("remarks");
        const QString head = "[Icon Theme]\nName=zelindex\nInherits=hicolor\nDirectories=16/apps\n";
        const QString fixed = head + "[16/apps]\nSize=16\nType=Fixed\nContext=Applications\n";
        const QString scalable = head + "[16/apps]\nSize=16\nType=Scalable\n";
        QTest::newRow("sound") << fixed << QString() << QStringList();
        QTest::newRow("unlisted folder") << fixed << "extra/16/b.svg"
                                         << QStringList{"error\tThe folder extra/16 holds icon files, but index.theme does not list it: no lookup finds them. [unlisted-folder]"};
        QTest::newRow("missing folder") << QString(fixed).replace("=16/apps\n", "=16/apps,gone\n") + "[gone]\nSize=16\nType=Fixed\n"
                                        << QString() << QStringList{"warning\tThe folder gone listed in index.theme does not exist. [missing-folder]"};
        QTest::newRow("no size") << head + "[16/apps]\nType=Fixed\n" << QString() << QStringList{"error\tThe folder 16/apps has no Size. [folder-without-size]"};
        QTest::newRow("unknown type") << head + "[16/apps]\nSize=16\nType=Bogus\n"
                                      << QString() << QStringList{"error\tThe folder 16/apps has the unknown Type Bogus. [unknown-type]"};
        QTest::newRow("keys of other types") << fixed + "Threshold=4\nMinSize=8\n" << QString()
                                             << QStringList{"warning\tThe folder 16/apps sets Threshold, which its Type Fixed does not use. [unused-key]",
                                                            "warning\tThe folder 16/apps sets MinSize, which its Type Fixed does not use. [unused-key]"};
        QTest::newRow("range above the size") << scalable + "MinSize=32\nMaxSize=64\n"
                                              << QString() << QStringList{"error\tThe folder 16/apps has sizes 32 to 64, which leave out its Size 16. [size-range-leaves-size]"};
        QTest::newRow("range below the size") << scalable + "MinSize=4\nMaxSize=8\n"
                                              << QString() << QStringList{"error\tThe folder 16/apps has sizes 4 to 8, which leave out its Size 16. [size-range-leaves-size]"};
        QTest::newRow("range reaching the size") << scalable + "MinSize=16\nMaxSize=16\n" << QString() << QStringList();
        QTest::newRow("threshold by default") << head + "[16/apps]\nSize=16\nThreshold=2\n" << QString() << QStringList();
        QTest::newRow("scale without scale 1") << QString(fixed).replace("Context=", "Scale=2\nContext=") << QString()
                                               << QStringList{"warning\tThe folder 16/apps has Scale 2, but no folder of its Size and Context has scale 1. [scale-without-base]"};
        QTest::newRow("missing parent") << QString(fixed).replace("=hicolor", "=nowhere") << QString()
                                        << QStringList{"error\tThe inherited theme nowhere is not found in the theme search paths. [missing-parent]",
                                                       "information\tThe theme does not inherit hicolor, directly or through its parents. [no-hicolor]"};
        QTest::newRow("a parent inheriting itself") << QString(fixed).replace("=hicolor", "=zelloop") << QString()
                                                   << QStringList{"information\tThe theme does not inherit hicolor, directly or through its parents. [no-hicolor]"};
        QTest::newRow("hicolor through a parent") << QString(fixed).replace("=hicolor", "=zelmiddle") << QString() << QStringList();
    }

    void indexChecks()
    {
        QFETCH(QString, index);
        QFETCH(QString, file);
        QFETCH(QStringList, remarks);
        QTemporaryDir dir;
        writeFile(dir.filePath("zelindex/index.theme"), index.toUtf8());
        for (const QString &icon : {QString("16/apps/a.png"), file, QString("extra/notes.txt")}) {
            if (!icon.isEmpty()) {
                writeFile(dir.filePath("zelindex/" + icon), pngBytes(16, 16, Qt::red));
            }
        }
        writeFile(dir.filePath("zelmiddle/index.theme"), "[Icon Theme]\nName=zelmiddle\nInherits=hicolor\nDirectories=\n");
        writeFile(dir.filePath("hicolor/index.theme"), "[Icon Theme]\nName=hicolor\nDirectories=\n");
        writeFile(dir.filePath("zelloop/index.theme"), "[Icon Theme]\nName=zelloop\nInherits=zelloop\nDirectories=\n");
        const Run run = report({"--theme-path", dir.path(), "--fallback-path", QString(), "--theme", "zelindex", "--scan", "--fail-on", "error"});
        QStringList found = run.lines(true).filter("\tzelindex/index.theme\t");
        found.replaceInStrings("\tzelindex/index.theme\t", "\t");
        QCOMPARE(found, remarks);
        QCOMPARE(run.exitCode, remarks.filter(QRegularExpression("^error\t")).isEmpty() ? 0 : 1);
    }

    // Hostile theme folders: the scan walks each real folder once and never leaves the
    // theme; what it meets there becomes a remark, of each kind twenty at the most.
    void hostileFolders_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("remarks"); // remark kinds of the index entry, "*n" for n of them
        QTest::addColumn<QStringList>("names");
        QTest::newRow("links out, to the root and a file") << "links out" << QStringList{"leads out of the theme*2"} << QStringList{"a"};
        QTest::newRow("25 unlisted folders") << "unlisted" << QStringList{"does not list it*20", "more remarks*1"} << QStringList{"a", "b"};
        QTest::newRow("a link tree of 18 levels") << "dag" << QStringList{"does not list it*19"} << QStringList{"a", "dag-icon"};
        QTest::newRow("a Directories value of 70000 characters") << "long" << QStringList{"past what any theme needs*1"} << QStringList();
        QTest::newRow("an unreadable folder") << "unreadable" << QStringList{"cannot be read*1"} << QStringList{"a"};
    }

    void hostileFolders()
    {
        QFETCH(QString, kind);
        if (kind == QLatin1String("unreadable") && geteuid() == 0) {
            QSKIP("root reads every folder");
        }
        QTemporaryDir dir;
        const QString theme = dir.filePath("zelhostile");
        QString listed = "16/apps";
        writeFile(theme + "/16/apps/a.png", pngBytes(16, 16, Qt::red));
        QVERIFY(kind != QLatin1String("links out") || (QFile::link("/", theme + "/16/apps/root") && QFile::link("/etc/hostname", theme + "/16/apps/out.png")));
        for (int i = 0; kind == QLatin1String("unlisted") && i < 25; ++i) {
            writeFile(theme + QString("/extra/%1/b.png").arg(i), "x");
        }
        QVERIFY(kind != QLatin1String("dag") || buildLinkDag(theme + "/dag", 18));
        for (int i = 0; kind == QLatin1String("long") && i < 7000; ++i) {
            listed += QString(",folder%1").arg(i, 4, 10, QChar('0'));
        }
        if (kind == QLatin1String("unreadable")) {
            writeFile(theme + "/16/apps/locked/c.png", "x");
            QFile::setPermissions(theme + "/16/apps/locked", QFileDevice::Permissions());
        }
        writeFile(theme + "/index.theme", ("[Icon Theme]\nName=zelhostile\nInherits=hicolor\nDirectories=" + listed + "\n[16/apps]\nSize=16\nType=Fixed\n").toUtf8());
        writeFile(dir.filePath("hicolor/index.theme"), "[Icon Theme]\nName=hicolor\nDirectories=\n");
        const Run run = report({"--theme-path", dir.path(), "--fallback-path", QString(), "--theme", "zelhostile", "--scan", "--format", "json"});
        QFile::setPermissions(theme + "/16/apps/locked", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QStringList counted;
        for (const char *known : {"leads out of the theme", "does not list it", "more remarks", "past what any theme needs", "cannot be read"}) {
            const int count = QString::fromUtf8(run.output).count(known);
            if (count > 0) {
                counted.append(QString("%1*%2").arg(known).arg(count));
            }
        }
        QTEST(counted, "remarks");
        QTEST(run.jsonNames(), "names");
    }

    // A theme holding one file of each kind the file checks look for, hostile ones among them.
    static QStringList fileCheckArguments()
    {
        static QTemporaryDir dir;
        if (!QFileInfo::exists(dir.filePath("zelfiles"))) {
            writeFileCheckTheme(dir);
        }
        return {"--theme-path", dir.path(), "--fallback-path", QString(), "--theme", "zelfiles", "--scan"};
    }

    static void writeFileCheckTheme(const QTemporaryDir &dir)
    {
        const QString theme = dir.filePath("zelfiles/");
        writeFile(theme + "index.theme",
                  "[Icon Theme]\nName=zelfiles\nInherits=hicolor\nDirectories=16/apps,22/apps,scalable/apps\n[16/apps]\nSize=16\nType=Fixed\n"
                  "[22/apps]\nSize=22\n[scalable/apps]\nSize=16\nType=Scalable\nMinSize=8\nMaxSize=64\n");
        writeFile(dir.filePath("hicolor/index.theme"), "[Icon Theme]\nName=hicolor\nDirectories=\n");
        writeFile(dir.filePath("outside.png"), pngBytes(16, 16, Qt::blue));
        const QString svgHead = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"16\" height=\"16\">";
        QString laughs = "<!DOCTYPE svg [<!ENTITY a \"aaaaaaaaaa\">";
        for (int i = 1; i < 10; ++i) {
            laughs += QString("<!ENTITY %1 \"%2\">").arg(QChar('a' + i)).arg(QString("&%1;").arg(QChar('a' + i - 1)).repeated(10));
        }
        const QList<QPair<QString, QByteArray>> files = {
            {"16/apps/good.png", pngBytes(16, 16, Qt::red)},
            {"16/apps/a-copy.png", pngBytes(16, 16, Qt::green)},
            {"16/apps/b-same.png", pngBytes(16, 16, Qt::green)},
            {"16/apps/with space.png", pngBytes(16, 16, Qt::gray)},
            {"16/apps/Upper.png", pngBytes(16, 16, Qt::cyan)},
            {"16/apps/big.png", pngBytes(32, 32, Qt::red)},
            {"16/apps/wide.png", pngBytes(16, 8, Qt::red)},
            {"16/apps/broken.png", "\x89PNG\r\n\x1a\ngarbage"},
            {"22/apps/small.png", pngBytes(16, 16, Qt::yellow)},
            {"scalable/apps/raster.png", pngBytes(16, 16, Qt::magenta)},
            {"scalable/apps/good.svg", svgBytes(Qt::red)},
            {"scalable/apps/bad.svg", svgHead.toUtf8() + "<rect></svg>"},
            {"scalable/apps/empty.svg", svgHead.toUtf8() + "</svg>"},
            {"scalable/apps/warn.svg", svgHead.toUtf8() + "<rect width=\"16\" height=\"16\" fill=\"url(#nowhere)\"/><circle r=\"4\" fill=\"blue\"/></svg>"},
            {"scalable/apps/external.svg", "<!DOCTYPE svg [<!ENTITY e SYSTEM \"/etc/hostname\">]>" + svgHead.toUtf8() + "<text>&e;</text></svg>"},
            {"scalable/apps/laughs.svg", (laughs + "]>" + svgHead + "<text>&j;</text></svg>").toUtf8()},
            {"scalable/apps/bomb.svgz", gzipOfSpaces(65)},
        };
        for (const auto &file : files) {
            writeFile(theme + file.first, file.second);
        }
        const QList<QPair<QString, QString>> links = {{"missing.png", "dangling"}, {"loop2.png", "loop1"}, {"loop1.png", "loop2"}, {theme + "16/apps/good.png", "absolute"},
                                                      {"../../../outside.png", "outside"}, {"good.png", "fine-link"}};
        for (const auto &link : links) {
            QVERIFY2(QFile::link(link.first, theme + "16/apps/" + link.second + ".png"), qPrintable(link.second));
        }
        QVERIFY(::link(QFile::encodeName(theme + "16/apps/a-copy.png").constData(), QFile::encodeName(theme + "16/apps/c-hard.png").constData()) == 0);
        QVERIFY(::mkfifo(QFile::encodeName(theme + "16/apps/fifo.png").constData(), 0644) == 0);
    }

    void fileChecks_data()
    {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QStringList>("remarks"); // severity and check id of each
        const QList<std::pair<const char *, QStringList>> rows = {
            {"16/apps/good.png", {}},
            {"16/apps/fine-link.png", {}},
            {"scalable/apps/good.svg", {}},
            {"16/apps/a-copy.png", {}},
            {"16/apps/c-hard.png", {}},
            {"16/apps/b-same.png", {"information duplicate-file"}},
            {"16/apps/dangling.png", {"error link-target-missing"}},
            {"16/apps/loop1.png", {"error link-loop"}},
            {"16/apps/absolute.png", {"warning link-absolute"}},
            {"16/apps/outside.png", {"warning link-outside-theme"}},
            {"16/apps/with space.png", {"error file-name-whitespace"}},
            {"16/apps/Upper.png", {"warning file-name-characters"}},
            {"16/apps/big.png", {"warning raster-size-mismatch"}},
            {"16/apps/wide.png", {"warning raster-not-square", "warning raster-size-mismatch"}},
            {"22/apps/small.png", {"warning raster-size-mismatch"}},
            {"scalable/apps/raster.png", {"warning raster-in-scalable"}},
            {"16/apps/broken.png", {"error image-unreadable"}},
            {"16/apps/fifo.png", {"error file-refused"}},
            {"scalable/apps/bomb.svgz", {"error file-refused"}},
            {"scalable/apps/bad.svg", {"error svg-not-well-formed"}},
            {"scalable/apps/laughs.svg", {"error svg-not-well-formed"}},
            {"scalable/apps/external.svg", {"error svg-external-reference"}},
            {"scalable/apps/warn.svg", {"warning svg-toolkit-message"}},
            {"scalable/apps/empty.svg", {"warning svg-transparent"}},
        };
        for (const auto &row : rows) {
            QTest::newRow(row.first) << QString(row.first) << row.second;
        }
    }

    void fileChecks()
    {
        QFETCH(QString, subject);
        static const QStringList lines = report(fileCheckArguments()).lines(true);
        QStringList remarks;
        for (const QString &line : lines.filter(QRegularExpression("^[a-z]+\t" + QRegularExpression::escape(subject) + "\t"))) {
            remarks.append(line.section('\t', 0, 0) + ' ' + line.section(" [", -1).chopped(1));
        }
        QTEST(remarks, "remarks");
    }

    // The same remarks in JSON and SARIF, each with its check; SARIF valid by its schema.
    void fileCheckFormats()
    {
        const Run text = report(fileCheckArguments() << "--skip" << "link-loop");
        QVERIFY(!text.output.contains("[link-loop]") && text.output.contains("[link-target-missing]"));
        QStringList expected;
        for (const QString &line : text.lines(true)) {
            expected.append(line.section('\t', 1, 1) + ' ' + line.section(" [", -1).chopped(1));
        }
        QStringList json;
        for (const QJsonValue &entry : QJsonDocument::fromJson(report(fileCheckArguments() << "--skip" << "link-loop" << "--format" << "json").output).array()) {
            for (const QJsonValue &remark : entry["remarks"].toArray()) {
                json.append(entry["name"].toString() + ' ' + remark["check"].toString());
            }
        }
        QCOMPARE(json, expected);
        QTemporaryDir dir;
        writeFile(dir.filePath("report.sarif"), report(fileCheckArguments() << "--skip" << "link-loop" << "--format" << "sarif").output);
        const QJsonObject run = QJsonDocument::fromJson(readFile(dir.filePath("report.sarif")))["runs"][0].toObject();
        QStringList sarif;
        for (const QJsonValue &result : run["results"].toArray()) {
            const QJsonObject artifact = result["locations"][0]["physicalLocation"]["artifactLocation"].toObject();
            const bool file = !artifact["uri"].toString().contains("index.theme") && !result["locations"][0]["logicalLocations"].isArray();
            sarif.append((file ? QUrl::fromPercentEncoding(artifact["uri"].toString().toUtf8()) : QString("*")) + ' ' + result["ruleId"].toString());
        }
        QCOMPARE(sarif.filter(QRegularExpression("^(?!\\* )")), expected.filter(QRegularExpression("^[^ ]*/apps/")));
        QCOMPARE(run["originalUriBaseIds"]["FOLDER0"]["uri"].toString(), QUrl::fromLocalFile(fileCheckArguments().at(1) + "/zelfiles/").toString());
        QProcess validator;
        validator.start("python3", {"-c", "import json, sys, jsonschema; jsonschema.validate(json.load(open(sys.argv[1])), json.load(open(sys.argv[2])))",
                                    dir.filePath("report.sarif"), QFINDTESTDATA("data/sarif-schema-2.1.0.json")});
        if (!validator.waitForFinished(60000) || validator.readAllStandardError().contains("No module named")) {
            QSKIP("no python3 with jsonschema (Debian: python3-jsonschema)");
        }
        QVERIFY2(validator.exitCode() == 0, validator.readAllStandardError().constData());
        QCOMPARE(report({"--list-checks"}).lines(true).first(), "icon-not-found\terror\tThe toolkit finds no icon for the name.");
        // The report's man page names every check and every option.
        const QString manPage = QString::fromUtf8(readFile(QFINDTESTDATA("../data/zel-find-qicon-report.1"))).remove('\\');
        QStringList named = QString::fromUtf8(report({"--help"}).output).split(QRegularExpression("[^-a-z]+")).filter(QRegularExpression("^--"));
        for (const ThemeCheck &check : ThemeCheck::all()) {
            named.append(check.id);
        }
        QVERIFY(named.contains("--coverage") && named.contains("--list-checks"));
        for (const QString &name : qAsConst(named)) {
            QVERIFY2(manPage.contains(name), qPrintable(name));
        }
    }

    // A cache as gtk-update-icon-cache writes it, then changed as themes go wrong; the
    // toolkit's own lookup of the name added after the cache says whether it trusts it.
    void iconThemeCaches_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("remark"); // severity and check id
        QTest::addColumn<bool>("found"); // by the toolkit
        QTest::newRow("written after every file") << "none" << QString() << true;
        QTest::newRow("a file added, the cache touched after") << "added" << "error cache-lacks-name" << false;
        QTest::newRow("a file removed, the cache touched after") << "removed" << "warning cache-orphan-name" << true;
        QTest::newRow("a folder changed after the cache") << "stale" << "warning cache-stale" << true;
        QTest::newRow("truncated") << "truncated" << "error cache-unparsable" << true;
        QTest::newRow("a folder count past the end") << "counts" << "error cache-unparsable" << true;
    }

    void iconThemeCaches()
    {
        QFETCH(QString, change);
        QTemporaryDir dir;
        FixtureTheme theme("zelcache", dir.path());
        theme.addDirectory("16/apps", 16);
        for (const char *name : {"one", "gone", "late"}) {
            if (name != QLatin1String("late") || change != "added") {
                theme.addPng("16/apps", name, 16);
            }
        }
        theme.writeIndex();
        QProcess tool;
        tool.start("gtk-update-icon-cache", {"-f", "-q", "-i", theme.themePath});
        if (!tool.waitForFinished() || tool.exitCode() != 0) {
            QSKIP("gtk-update-icon-cache (Debian: gtk-update-icon-cache) is absent");
        }
        const QString cache = theme.themePath + "/icon-theme.cache";
        if (change == "added") {
            theme.addPng("16/apps", "late", 16);
        }
        QVERIFY(change != "removed" || QFile::remove(theme.themePath + "/16/apps/gone.png"));
        QVERIFY(change != "truncated" || QFile::resize(cache, 40));
        if (change == "counts") {
            QByteArray bytes = readFile(cache);
            qToBigEndian<quint32>(0x3fffffff, bytes.data() + qFromBigEndian<quint32>(bytes.constData() + 8));
            writeFile(cache, bytes);
        }
        const auto setTime = [](const QString &path, int later) {
            const utimbuf times{std::time(nullptr) + later, std::time(nullptr) + later};
            return ::utime(QFile::encodeName(path).constData(), &times) == 0;
        };
        QVERIFY(setTime(cache, 60) && (change != "stale" || setTime(theme.themePath + "/16/apps", 120)));
        const QStringList lines = report({"--theme-path", dir.path(), "--fallback-path", QString(), "--theme", "zelcache", "--scan", "--skip", "standard-size-missing"}).lines(true);
        QStringList remarks;
        for (const QString &line : lines.filter(QRegularExpression("^[a-z]+\ticon-theme\\.cache\t"))) {
            remarks.append(line.section('\t', 0, 0) + ' ' + line.section(" [", -1).chopped(1));
        }
        QTEST(remarks.join('|'), "remark");
        QTEST(!QIcon::fromTheme("late").isNull(), "found");
    }

    // Names a theme gives of a list, and those another theme has that it lacks.
    void coverageAndCompare_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("lines"); // of the text output, or kind, covered and names of JSON
        QTest::addColumn<QString>("summary"); // on standard error
        QTest::newRow("a list") << QStringList{"--coverage", "LIST"} << 0
                                << QStringList{"warning\tLIST\tThe theme does not give absent. [coverage-missing]",
                                               "warning\tLIST\tThe theme does not give four-sizes-more. [coverage-missing]"}
                                << "LIST: 1 of 3 names, 33.3%";
        QTest::newRow("a list failing at warnings, JSON") << QStringList{"--coverage", "LIST", "--fail-on", "warning", "--format", "json"} << 1
                                                          << QStringList{"coverage 1 3"} << "LIST: 1 of 3 names, 33.3%";
        QTest::newRow("the standard names") << QStringList{"--coverage", "naming-spec", "--format", "json"} << 0 << QStringList{"coverage 3 250"}
                                            << "naming-spec: 3 of 250 names, 1.2%";
        QTest::newRow("the standard names, no icon-naming-utils") << QStringList{"NODATA", "--coverage", "naming-spec"} << 2 << QStringList()
                                                                  << "icon-naming-utils (its legacy-icon-mapping.xml), which is not installed";
        QTest::newRow("no list") << QStringList{"--coverage", "/nonexistent/list"} << 2 << QStringList()
                                 << "zel-find-qicon-report: Cannot read the list \"/nonexistent/list\".";
        QTest::newRow("another theme") << QStringList{"--compare", "zelother"} << 0
                                       << QStringList{"information\tzelother\tThe theme lacks other-only, which zelother has: OTHER/16/apps/other-only.png. [compare-missing]"}
                                       << "Examined 0 icon names";
        QTest::newRow("another theme not found") << QStringList{"--compare", "zelnone"} << 2 << QStringList() << "No icon theme \"zelnone\"";
    }

    void coverageAndCompare()
    {
        QFETCH(QStringList, options);
        QFETCH(QStringList, lines);
        QFETCH(QString, summary);
        QTemporaryDir dir;
        writeFile(dir.filePath("list"), "four-sizes\n\n# a comment\nabsent # why\nfour-sizes-more\n");
        FixtureTheme other("zelother", dir.filePath("themes"));
        other.addDirectory("16/apps", 16);
        other.addPng("16/apps", "four-sizes", 16);
        other.addPng("16/apps", "other-only", 16);
        other.writeIndex();
        options.replaceInStrings("LIST", dir.filePath("list"));
        if (lines.size() && options.contains("naming-spec") && QStandardPaths::locate(QStandardPaths::GenericDataLocation, "icon-naming-utils/legacy-icon-mapping.xml").isEmpty()) {
            QSKIP("icon-naming-utils is not installed");
        }
        const QByteArray dataDirs = qgetenv("XDG_DATA_DIRS");
        qputenv("XDG_DATA_DIRS", options.removeAll("NODATA") ? dir.path().toUtf8() : dataDirs);
        const Run run = report(fixture() + QStringList{"--theme-path", other.searchPath} + options);
        qputenv("XDG_DATA_DIRS", dataDirs);
        QTEST(run.exitCode, "exitCode");
        QStringList found = run.lines(true);
        if (options.contains("json")) {
            found.clear();
            for (const QJsonValue &entry : QJsonDocument::fromJson(run.output).array()) {
                found.append(QString("%1 %2 %3").arg(entry["kind"].toString()).arg(entry["covered"].toInt()).arg(entry["names"].toInt()));
            }
        }
        QCOMPARE(found, lines.replaceInStrings("LIST", dir.filePath("list")).replaceInStrings("OTHER", other.themePath));
        QVERIFY2(QString::fromUtf8(run.errors).contains(summary.replace("LIST", dir.filePath("list"))), run.errors.constData());
    }

    void filesAndJunit()
    {
        QStringList expected;
        for (int size : {16, 22, 32, 48}) {
            expected.append(QString("file\tfour-sizes\t%1x%1\t%2/%1x%1/apps/four-sizes.png").arg(size).arg(m_fixture.themePath));
        }
        expected.append("file\twide\t32x16\t" + m_fixture.fallbackPath + "/wide.png");
        QCOMPARE(report(fixture() << "--files" << "four-sizes" << "wide").lines().filter(QRegularExpression("^file\t")), expected);
        const QJsonArray files = QJsonDocument::fromJson(report(fixture() << "--format" << "json" << "four-sizes").output)[0]["files"].toArray();
        QCOMPARE(QString("%1 %2").arg(files.size()).arg(files.first()["file"].toString()), "4 " + m_fixture.themePath + "/16x16/apps/four-sizes.png");

        const Run junit = report(fixture() << "--format" << "junit" << "--fail-on" << "warning" << "four-sizes" << "absent");
        QCOMPARE(junit.exitCode, 1);
        QXmlStreamReader xml(junit.output);
        QStringList seen;
        while (!xml.atEnd() && xml.readNext()) {
            for (const char *key : {"tests", "failures", "name", "message"}) {
                if (xml.isStartElement() && xml.attributes().hasAttribute(key)) {
                    seen.append(xml.name() + ':' + xml.attributes().value(key));
                }
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(seen.filter(QRegularExpression("^(testsuite:[0-9]|testcase|failure)")).join('|'),
                 "testsuite:2|testsuite:1|testcase:four-sizes|testcase:absent|failure:Icon with name absent not found on current theme [icon-not-found]");
    }
};

QTEST_MAIN(ThemeReportTest)

#include "themereporttest.moc"

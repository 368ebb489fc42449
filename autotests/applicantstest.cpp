#include "app/constants.h"
#include "applicants/applicantscollector.h"
#include "applicants/applicantsindex.h"
#include "applicants/applicantssortfiltermodel.h"
#include "testhelpers.h"

#include <unistd.h>

namespace
{
const QStringList suffixes = {"png", "svg"};

QStringList walked(const QString &root, const QString &iconName, const QStringList &withSuffixes = suffixes)
{
    QStringList paths;
    ApplicantsIndex::collectByWalk(root, withSuffixes, ApplicantsIndex::applicantBaseNames(iconName), paths);
    return paths;
}

QStringList indexed(ApplicantsIndex &index, const QString &root, const QString &iconName, const QStringList &withSuffixes = suffixes)
{
    QStringList paths;
    index.collect(root, withSuffixes, ApplicantsIndex::applicantBaseNames(iconName), paths);
    return paths;
}

// The order the section texts give, compared afresh at every comparison; without a
// policy, the order of the plain paths.
QStringList referenceOrder(QStringList paths, const QList<IconPathSection> &policy = allIconPathSections)
{
    std::stable_sort(paths.begin(), paths.end(), [&policy](const QString &left, const QString &right) {
        if (policy.isEmpty()) {
            return left < right;
        }
        for (IconPathSection section : policy) {
            const QString a = ApplicantsSortFilterModel::getIconPathSectionText(left, section);
            const QString b = ApplicantsSortFilterModel::getIconPathSectionText(right, section);
            if (a != b) {
                return section == Size ? ApplicantsSortFilterModel::getIconArea(a) < ApplicantsSortFilterModel::getIconArea(b) : a < b;
            }
        }
        return false;
    });
    return paths;
}
}

class ApplicantsTest : public ZelTestCase
{
    Q_OBJECT

    QTemporaryDir m_root;
    ApplicantsIndex m_index;

    QString at(const QString &relative) const
    {
        return m_root.filePath(relative);
    }

    void touch(const QString &relative)
    {
        writeFile(at(relative), QByteArray());
    }

    // The index must give exactly what a full walk gives, in the same order.
    void compareWithWalk(const QString &root, const QString &name)
    {
        QCOMPARE(indexed(m_index, root, name), walked(root, name));
    }

    QStringList found(QWidget *window, const QString &name)
    {
        findByTyping(window, name);
        if (!QTest::qWaitFor([]() {
                return !QGuiApplication::overrideCursor();
            })) {
            return {"(the find never ended)"};
        }
        QStringList rows;
        for (const QString &path : column(windowChild<QListView>(window, "listViewApplicantsIconPaths")->model())) {
            rows.append(QFileInfo(path).fileName());
        }
        rows.sort();
        return rows;
    }

private Q_SLOTS:
    void initTestCase()
    {
        for (const char *file : {"theme/16/apps/edit.png", "theme/16/apps/edit-copy.svg", "theme/16/apps/edit-copy.symbolic.png", "theme/16/apps/edit-cop.png",
                                 "theme/22/apps/edit-copy.png", "theme/22/apps/.edit-copy.png", "theme/22/apps/edit-copy.PNG",
                                 "theme/scalable/apps/edit-copy-symbolic-rtl.svg", "other/apps/edit-copy.png", "theme/16/apps/a.png", "theme/16/apps/a-.png",
                                 "theme/16/apps/a--b.png", "theme/16/apps/a-b.png", "theme/16/apps/nodot"}) {
            touch(file);
        }
        for (const auto &link : {std::make_pair("16", "theme/16@2x"), std::make_pair("edit-copy.svg", "theme/16/apps/edit-copy-symbolic.svg"),
                                 std::make_pair("../../../elsewhere/target.svg", "theme/22/apps/edit-copy-broken.svg"), std::make_pair("..", "theme/22/apps/up"),
                                 std::make_pair("../other", "theme/linked")}) {
            QVERIFY(QFile::link(link.first, at(link.second)));
        }
        storeThemeSettings({m_root.path()}, {}, "theme");
    }

    // Odd roots and names first. Once the folders have settled, the index answers from
    // what it keeps; every change must still show at once, in the changed folder or beyond a link.
    void freshAfterChanges()
    {
        for (const char *root : {"theme/", "theme//16", "", "nothing-here", "theme/16/apps/edit.png", "theme/", ""}) {
            compareWithWalk(at(root), "edit-copy");
        }
        compareWithWalk(at("theme"), "edit-copy-symbolic");
        compareWithWalk(at("theme"), QString());
        const QString theme = at("theme");
        compareWithWalk(theme, "edit-copy");
        compareWithWalk(theme, "edit-copy-broken");
        // Listings of folders changed in the last two seconds are not trusted yet.
        QTest::qWait(2200);
        compareWithWalk(theme, "edit-copy");
        compareWithWalk(theme, "edit-copy");

        touch("theme/22/apps/edit-copy.svg");
        compareWithWalk(theme, "edit-copy");
        QVERIFY(QFile::rename(at("theme/22/apps/edit-copy.png"), at("theme/22/apps/edit-paste.png")));
        compareWithWalk(theme, "edit-copy");
        compareWithWalk(theme, "edit-paste");
        // A broken link comes to life: its own folder does not change, the target's does.
        touch("elsewhere/target.svg");
        compareWithWalk(theme, "edit-copy-broken");
        // A linked folder's target replaced by another folder.
        QVERIFY(QDir(at("other")).removeRecursively());
        touch("other/places/edit-copy.svg");
        compareWithWalk(theme, "edit-copy");
        // A file replaced by a folder of the same name.
        QVERIFY(QFile::remove(at("theme/16/apps/edit-cop.png")));
        touch("theme/16/apps/edit-cop.png/edit-copy.png");
        compareWithWalk(theme, "edit-copy");
        // Other suffixes apply at once.
        QCOMPARE(indexed(m_index, theme, "edit-copy", {"PNG"}), walked(theme, "edit-copy", {"PNG"}));
        QCOMPARE(walked(theme, "edit-copy", {"PNG"}).size(), 1);
        if (geteuid() != 0) {
            QFile::setPermissions(at("other/places"), QFileDevice::Permissions());
            compareWithWalk(theme, "edit-copy");
            QFile::setPermissions(at("other/places"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            compareWithWalk(theme, "edit-copy");
        }
    }

    // Folders linked as levels, each holding two links to the next: 2^levels paths to the
    // last. The index reads each folder once and gives every path; a link back up makes
    // cycles that must be cut as the plain walk cuts them.
    void linkDag()
    {
        for (bool backLink : {false, true}) {
            QTemporaryDir dir;
            QVERIFY(buildLinkDag(dir.path(), 10));
            // l7 reached through l5 and past it: its link up is a cycle on one path only.
            QVERIFY(!backLink || (QFile::link("../l5", dir.filePath("l7/up")) && QFile::link("../l7", dir.filePath("l0/skip"))));
            ApplicantsIndex index;
            const QStringList paths = indexed(index, dir.filePath("l0"), "dag-icon");
            QCOMPARE(paths, walked(dir.filePath("l0"), "dag-icon"));
            QVERIFY(backLink || paths.size() == (2 << 10) - 1);
        }
    }

private Q_SLOTS:
    // The five sections of a path, "|"-joined, and the area its size section stands for.
    void sectionsAndAreas_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("sections");
        QTest::addColumn<int>("area");
        const QString icons = "/usr/share/icons/";
        QTest::newRow("fixed") << icons + "hicolor/48x48/apps/foo.png" << "/usr/share/icons|hicolor|48x48|apps|foo" << 2304;
        QTest::newRow("size below category") << icons + "t/apps/48/foo.svg" << "/usr/share/icons|t|48|apps|foo" << 2304;
        QTest::newRow("scalable is the largest") << icons + "t/scalable/apps/foo.svg" << "/usr/share/icons|t|scalable|apps|foo" << 2147483647;
        QTest::newRow("16x32") << icons + "t/16x32/apps/foo.png" << "/usr/share/icons|t|16x32|apps|foo" << 512;
        QTest::newRow("2x size") << icons + "breeze/actions/16@2x/edit-copy.svg" << "/usr/share/icons|breeze|16@2x|actions|edit-copy" << 324;
        QTest::newRow("16x16@2x") << icons + "t/16x16@2x/apps/foo.png" << "/usr/share/icons|t|16x16@2x|apps|foo" << 324;
        QTest::newRow("huge square") << icons + "t/99999x99999/apps/a.png" << "/usr/share/icons|t|99999x99999|apps|a" << 2147483646;
        QTest::newRow("huge scale") << icons + "t/16@99999999999x/apps/a.png" << "/usr/share/icons|t|16@99999999999x|apps|a" << 2147483646;
        QTest::newRow("pixmaps") << "/usr/share/pixmaps/foo.png" << "/|usr|share|pixmaps|foo" << 0;
        QTest::newRow("deeper") << icons + "t/48x48/apps/extra/foo.png" << "/usr/share/icons/t|48x48|apps|extra|foo" << 0;
        QTest::newRow("home") << "/home/u/.local/share/icons/t/48x48/apps/foo.png" << "||||foo" << 0;
    }

    void sectionsAndAreas()
    {
        QFETCH(QString, path);
        QStringList sections;
        for (IconPathSection section : allIconPathSections) {
            sections.append(ApplicantsSortFilterModel::getIconPathSectionText(path, section));
        }
        QTEST(sections.join('|'), "sections");
        QTEST(ApplicantsSortFilterModel::getIconArea(sections.at(Size)), "area");
    }

    // Each row's sections are worked out once and kept by row; the order must stay the one
    // the texts give as rows come in bulk, change and go, odd paths included.
    void sameOrderAsTheSectionTexts()
    {
        QStringList paths{"/usr/share/icons/t/apps/48\n/a.png", "/usr/share//icons/x/16/apps/a.png", "/usr/share/icons/./t/16/apps/b.png",
                          "/usr/share/icons/t/../u/22/apps/b.png", "icons/t/16/apps/a.png", QString::fromUtf8("/usr/share/icons/t/apps/\xd9\xa1\xd9\xa6/a.png"),
                          "/usr/share/icons/t/16x16@2x/apps/a.b.c.png", "/usr/share/icons/a.png", "/a.png", "/usr/share/pixmaps/.png", "/usr/share/icons/t/16/apps/",
                          "/usr/share/icons/t/16/apps/b.png", "/usr/share/icons/t/16x16/apps/a.png", "/usr/share/icons/t/16x16/apps/B.png",
                          "/usr/share/icons/t/scalable/apps/a.svg", "/usr/share/icons/t/8x8/apps/a.png"};
        QDirIterator it("/usr/share/icons/hicolor", QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext() && paths.size() < 3000) {
            paths.append(it.next());
        }
        QStandardItemModel source;
        ApplicantsSortFilterModel proxy;
        QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
        proxy.sort(0, Qt::AscendingOrder);
        proxy.setSourceModel(&source);
        for (int part : {1, 0}) {
            QList<QStandardItem *> items;
            for (const QString &path : paths.mid(part * paths.size() / 2, part ? -1 : paths.size() / 2)) {
                items.append(new QStandardItem(path));
            }
            source.invisibleRootItem()->insertRows(0, items);
        }
        QCOMPARE(column(&proxy), referenceOrder(column(&source)));
        // One section at a time, so that a section read wrong cannot hide behind another.
        for (const QList<IconPathSection> &policy : QList<QList<IconPathSection>>{{MainPath}, {Theme}, {Size}, {Category}, {Name}, {Size, Name}, {}}) {
            proxy.setSortSectionsPolicy(policy);
            QCOMPARE(column(&proxy), referenceOrder(column(&source), policy));
        }
        // Setters that change nothing leave the proxy as it is; those that change it re-sort.
        QSignalSpy relaid(&proxy, &QAbstractItemModel::layoutChanged);
        proxy.setSortSectionsPolicy({});
        proxy.setIconNameFilter(QString());
        QCOMPARE(relaid.count(), 0);
        proxy.setSortSectionsPolicy(allIconPathSections);
        QCOMPARE(relaid.count(), 1);
        source.item(1)->setText("/usr/share/icons/t/8x8/apps/aaa.png");
        source.removeRows(2, 5);
        QCOMPARE(column(&proxy), referenceOrder(column(&source)));
        proxy.setIconNameFilter("a");
        QStringList named;
        for (const QString &path : column(&source)) {
            if (QFileInfo(path).baseName() == QLatin1String("a")) {
                named.append(path);
            }
        }
        QCOMPARE(column(&proxy), referenceOrder(named));
    }

    // The window lists what a plain walk of every search path finds, file for file.
    void foundInTheWindow_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"edit-copy-symbolic", "a--b", "nodot", "edit-copy", ""}) {
            QTest::newRow(*name ? name : "empty name") << QString::fromLatin1(name);
        }
    }

    void foundInTheWindow()
    {
        QFETCH(QString, name);
        MainWindow window;
        QStringList expected;
        for (const QString &root : QIcon::themeSearchPaths() + QIcon::fallbackSearchPaths()) {
            for (const QString &path : walked(root, name, iconFileSuffixes)) {
                expected.append(QFileInfo(path).fileName());
            }
        }
        expected.sort();
        QCOMPARE(found(&window, name), name.isEmpty() ? QStringList() : expected);
        QVERIFY(name != QLatin1String("a--b") || expected.size() > 2);
        QTRY_VERIFY(!QGuiApplication::overrideCursor());
    }

    // A row's icon is made only when asked for, and must be the file's image; files come and
    // go between finds; the box keeps the rows of the exact name; a row opens in xdg-open.
    void windowFollowsFilesBoxAndOpening()
    {
        QTemporaryDir bin;
        writeFile(bin.filePath("xdg-open"), QString("#!/bin/sh\nprintf '%s|' \"$@\" > '%1.tmp'\nmv '%1.tmp' '%1'\n").arg(bin.filePath("args")).toUtf8());
        QFile::setPermissions(bin.filePath("xdg-open"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.path().toLocal8Bit() + ':' + path);
        writeFile(at("theme/16/apps/pic.png"), pngBytes(16, 16, Qt::green));
        MainWindow window;
        QCOMPARE(found(&window, "pic").size(), 2);
        const QModelIndex row = windowChild<QListView>(&window, "listViewApplicantsIconPaths")->model()->index(0, 0);
        QCOMPARE(row.data(Qt::DecorationRole).value<QIcon>().pixmap(16, 16).toImage().pixelColor(8, 8), QColor(Qt::green));
        window.openFileByApplicantsIconIndex(row);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(bin.filePath("args")), 10000);
        QCOMPARE(QString::fromUtf8(readFile(bin.filePath("args"))), row.data(Qt::ToolTipRole).toString() + '|');
        QVERIFY(row.data(Qt::ToolTipRole).toString().startsWith(at("theme/16")));
        window.openFileByApplicantsIconIndex(QModelIndex());
        qputenv("PATH", path);
        QVERIFY(QFile::remove(at("theme/16/apps/pic.png")));
        QCOMPARE(found(&window, "pic"), QStringList());
        touch("theme/16/apps/pic.png");
        QCOMPARE(found(&window, "pic").size(), 2);
        QVERIFY(QFile::remove(at("theme/16/apps/pic.png")));

        // The box keeps the rows whose base name, cut at the first dot, is the name: for
        // every find made while it is checked.
        auto *box = windowChild<QCheckBox>(&window, "checkBoxApplicantsExactMatchBySearchIconName");
        QCOMPARE(found(&window, "a-b").size(), 4);
        for (bool exact : {true, false}) {
            box->setChecked(exact);
            QCOMPARE(column(windowChild<QListView>(&window, "listViewApplicantsIconPaths")->model()).size(), exact ? 2 : 4);
        }
        box->setChecked(true);
        QStringList exactly;
        for (const QString &path : walked(m_root.path(), "edit-copy")) {
            if (QFileInfo(path).baseName() == QLatin1String("edit-copy")) {
                exactly.append(QFileInfo(path).fileName());
            }
        }
        exactly.sort();
        QVERIFY(exactly.contains("edit-copy.symbolic.png"));
        QCOMPARE(found(&window, "edit-copy"), exactly);
        box->setChecked(false);
        // A folder in both lists is walked twice.
        QIcon::setFallbackSearchPaths({at("theme/16")});
        QCOMPARE(found(&window, "edit").size(), 3);
        QIcon::setFallbackSearchPaths({});
        QTRY_VERIFY(!QGuiApplication::overrideCursor());
    }

    // A walk held past the find's wait: the window answers meanwhile, the rows come when
    // the walk ends and the outcome and the pop of the find's one cursor after them. A
    // newer find or closing the window ends the held find without a trace of it.
    void walkPastTheWait()
    {
        auto *window = new MainWindow;
        window->show();
        auto *collector = window->findChild<ApplicantsCollector *>();
        QSemaphore release;
        QAtomicInt holds;
        connect(
            collector,
            &QThread::started,
            collector,
            [&]() {
                QDeadlineTimer limit(20000);
                while (holds.testAndSetRelaxed(1, 1) && !release.tryAcquire(1, 5) && !collector->isInterruptionRequested() && !limit.hasExpired()) { }
                holds = 0;
            },
            Qt::DirectConnection);
        auto *rows = windowChild<QListView>(window, "listViewApplicantsIconPaths")->model();
        QStringList events;
        connect(rows, &QAbstractItemModel::rowsInserted, window, [&]() {
            events.append(QString("%1 rows").arg(rows->rowCount()));
        });
        connect(windowChild<QStatusBar>(window, "statusbar"), &QStatusBar::messageChanged, window, [&](const QString &message) {
            events.append(message + (QGuiApplication::overrideCursor() ? " (cursor)" : ""));
        });
        const auto held = [&](const QString &name) {
            holds = 1;
            findByTyping(window, name);
            QTest::qWait(50);
        };
        held("a-b");
        QCOMPARE(events, QStringList{"Finding icon by name \"a-b\"... (cursor)"});
        QVERIFY(rows->rowCount() == 0 && QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor);
        release.release();
        QTRY_VERIFY(!QGuiApplication::overrideCursor());
        QCOMPARE(events.mid(1), QStringList({"4 rows", "Failed find icon by name \"a-b\", on current icon theme!"}));

        events.clear();
        held("a-b");
        findByTyping(window, "edit");
        findByTyping(window, "a");
        QCoreApplication::sendPostedEvents();
        QCOMPARE(events.filter("a-b").size(), 1);
        QCOMPARE(events.filter("rows").size(), 2);
        QCOMPARE(found(window, "a").size(), 2);
        QTest::qWait(50);
        QVERIFY(!QGuiApplication::overrideCursor());

        held("a-b");
        QElapsedTimer closing;
        closing.start();
        delete window;
        QVERIFY(closing.elapsed() < 1000);
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    // Trees a hostile theme can build cheaply, run under the hostile label: folders linked as
    // 18 levels of two links each (2^19 - 1 paths to walk), and a link to the root.
    void largeTrees()
    {
        if (qEnvironmentVariableIsEmpty("ZEL_HOSTILE_LARGE")) {
            QSKIP("only under the hostile label");
        }
        QTemporaryDir dir;
        const int levels = 18;
        QVERIFY(buildLinkDag(dir.path(), levels));
        ApplicantsIndex index;
        QStringList paths;
        index.collect(dir.filePath("l0"), {"png"}, ApplicantsIndex::applicantBaseNames("dag-icon"), paths);
        QCOMPARE(paths.size(), (2 << levels) - 1);

        // A find lists at most 200,000 of them, and says there are more.
        storeThemeSettings({dir.filePath("l0")}, {}, "none");
        auto *window = new MainWindow;
        QCOMPARE(found(window, "dag-icon").size(), ApplicantsCollector::maximumPaths);
        QTRY_VERIFY(statusText(window).endsWith("Only the first 200000 applicant files are listed; there are more."));

        // A find's walk of the whole disk ends within a second of a new find, or of the
        // window closing.
        QVERIFY(QFile::link("/", dir.filePath("l0/root")));
        findByTyping(window, "no-such-icon");
        QVERIFY(QGuiApplication::overrideCursor());
        QIcon::setThemeSearchPaths({dir.filePath("l9")});
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(found(window, "dag-icon").size(), (2 << 9) - 1);
        QVERIFY(timer.elapsed() < 1300);
        QIcon::setThemeSearchPaths({dir.filePath("l0")});
        findByTyping(window, "no-such-icon");
        timer.start();
        delete window;
        QVERIFY(timer.elapsed() < 1000);
        QVERIFY(!QGuiApplication::overrideCursor());
    }
};

QTEST_MAIN(ApplicantsTest)

#include "applicantstest.moc"

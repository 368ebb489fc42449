#include "app/constants.h"
#include "catalogue/iconsmodel.h"
#include "catalogue/scaniconnamesthread.h"
#include "testhelpers.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// The walk as QDirIterator gives it, links to ancestors cut by canonical path: what the
// scanner's own walk must match entry for entry.
void iteratorWalk(const QString &dirPath, const QStringList &suffixes, QStringList &ancestors, QStringList &names)
{
    const QString canonical = QFileInfo(dirPath).canonicalFilePath();
    if (canonical.isEmpty() || ancestors.contains(canonical)) {
        return;
    }
    ancestors.append(canonical);
    for (QDirIterator it(dirPath, QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot); it.hasNext();) {
        const QString path = it.next();
        if (it.fileInfo().isDir()) {
            iteratorWalk(path, suffixes, ancestors, names);
        } else if (suffixes.contains(it.fileInfo().suffix()) && !it.fileInfo().baseName().isEmpty()) {
            names.append(it.fileInfo().baseName());
        }
    }
    ancestors.removeLast();
}

QStringList iteratorWalk(const QStringList &roots, const QStringList &suffixes = iconFileSuffixes)
{
    QStringList names;
    for (const QString &root : roots) {
        QStringList ancestors;
        iteratorWalk(root, suffixes, ancestors, names);
    }
    return names;
}

void clickScan(QWidget *window, bool start = true)
{
    windowChild<QPushButton>(window, start ? "pushButtonScanIconNamesStart" : "pushButtonScanIconNamesStop")->click();
}

// Holds a window's walk at its first name until destroyed or timed out: Stop waits for
// the walk, so a hold it cannot end would deadlock.
class WalkHold
{
public:
    explicit WalkHold(MainWindow *window, int holdMs = 5000)
    {
        auto *thread = window->findChild<ScanIconNamesThread *>();
        const auto hold = [gates = m_gates, holdMs]() {
            if (gates->first.testAndSetRelaxed(0, 1)) {
                gates->reached.release();
                gates->resume.tryAcquire(1, holdMs);
            }
        };
        m_connection = QObject::connect(thread, &ScanIconNamesThread::iconNameFinded, thread, hold, Qt::DirectConnection);
        clickScan(window);
        QVERIFY(m_gates->reached.tryAcquire(1, 10000));
    }
    ~WalkHold()
    {
        QObject::disconnect(m_connection);
        m_gates->resume.release();
    }
private:
    struct Gates {
        QAtomicInt first;
        QSemaphore reached;
        QSemaphore resume;
    };
    std::shared_ptr<Gates> m_gates = std::make_shared<Gates>();
    QMetaObject::Connection m_connection;
};
}

class ScanTest : public ZelTestCase
{
    Q_OBJECT
    FixtureTheme m_theme;
    const QString m_done = "Scan icon names done(count: 14).";

    static void verifyScanEnds(QWidget *window, const QString &message)
    {
        QTRY_COMPARE_WITH_TIMEOUT(statusText(window), message, 20000);
        QVERIFY(!windowChild<QPushButton>(window, "pushButtonScanIconNamesStart")->isHidden());
        QVERIFY(windowChild<QPushButton>(window, "pushButtonScanIconNamesStop")->isHidden());
        QVERIFY(!QGuiApplication::overrideCursor());
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_theme.addStandardIcons();
        m_theme.store();
    }

    // Per-file names entry for entry as a plain walk meets them, batches each name once in
    // the order first met, with a per-file receiver or without: over the installed themes,
    // a name that is not UTF-8, and a tree of links with a root given twice and a missing one.
    // A second run must see what changed on disk in between.
    void sameAsDirectoryIterator()
    {
        QTemporaryDir own;
        QCOMPARE(::close(::creat(QByteArray(QFile::encodeName(own.path()) + "/bad\xff\xfename.png").constData(), 0644)), 0);
        for (int i = 0; i < 900; ++i) {
            const int size = QList<int>{16, 22, 32}.at(i % 3);
            writeFile(own.filePath(QString("%1/apps/n%2-%1.png").arg(size).arg(i % (size * 5))), "x");
        }
        QVERIFY(QFile::link("../22", own.filePath("16/to22")) && QFile::link("../16", own.filePath("32/to16")) && QFile::link("..", own.filePath("22/apps/up")));
        // Odd entries: "link=target" (relative to its folder) and "fifo!"; names are cut at the first dot.
        for (const char *entry : {"odd/a/b/c.png", "odd/a/d.svg", "odd/a/e.svgz", "odd/a/f.xpm", "odd/a/e.txt", "odd/f.PNG", "odd/z.jpeg", "odd/org.example.Viewer.svg",
                                  "odd/icon.png.svg", "odd/plain.txt.png", "odd/trail.", "odd/.cache/x.png", "odd/.hidden.png", "odd/shown/.y.png", "odd/png",
                                  "odd/dir.png/inner.svg", "odd/a/up=..", "odd/a/self=.", "odd/x/toy=../y", "odd/y/tox=../x", "odd/y/y1.png", "odd/gone.png=missing.png",
                                  "odd/alias.png=a/d.svg", "odd/p.png!", "odd/one=two", "odd/two=one", "odd/locked/l.png"}) {
            const QString path = own.filePath(QString(entry).section('=', 0, 0).remove('!'));
            if (QString(entry).endsWith('!')) {
                QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
            } else if (QString(entry).contains('=')) {
                QDir().mkpath(QFileInfo(path).path());
                QVERIFY(QFile::link(QString(entry).section('=', 1), path));
            } else {
                writeFile(path, "x");
            }
        }
        QFile::setPermissions(own.filePath("odd/locked"), QFileDevice::Permissions());
        QList<QStringList> rootLists{{own.path()}, {own.filePath("missing"), own.filePath("32"), own.path(), own.path()}, {m_theme.searchPath + '/'}};
        if (QFileInfo("/usr/share/icons/Adwaita").isDir()) {
            rootLists.append({"/usr/share/icons/Adwaita"});
        }
        for (const QStringList &suffixes : {QStringList(iconFileSuffixes), QStringList{QString(), "PNG"}}) {
            for (const QStringList &roots : qAsConst(rootLists)) {
                for (int run = 0; run < 4; ++run) {
                    const bool perFile = run % 2;
                    ScanIconNamesThread thread;
                    thread.setDirPaths(roots);
                    thread.setSearchIconSuffixes(suffixes);
                    QStringList names;
                    collectBatches(&thread, &names);
                    QSignalSpy perFileNames(&thread, &ScanIconNamesThread::iconNameFinded);
                    if (!perFile) {
                        disconnect(&thread, &ScanIconNamesThread::iconNameFinded, nullptr, nullptr);
                    }
                    thread.start();
                    QVERIFY(thread.wait(20000) && !thread.isNeedStop());
                    QStringList expected = iteratorWalk(roots, suffixes);
                    QStringList spied;
                    std::transform(perFileNames.cbegin(), perFileNames.cend(), std::back_inserter(spied), [](const QVariantList &arguments) {
                        return arguments.at(0).toString();
                    });
                    QCOMPARE(spied, perFile ? expected : QStringList());
                    expected.removeDuplicates();
                    QCOMPARE(names, expected);
                    if (run == 1 && roots == rootLists.first() && suffixes.size() > 2) {
                        writeFile(own.filePath("22/apps/later.svg"), "x");
                        QVERIFY(QFile::remove(own.filePath("16/apps/n0-16.png")));
                    }
                }
            }
        }
        QFile::setPermissions(own.filePath("odd/locked"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    // Started by the option, stopped at its first name and fifty times more; a scan after
    // stopped ones runs to its end. The last walk ends while no event is handled, so every
    // name is still queued at Stop.
    void scanInTheWindow()
    {
        Settings().setScanIconNamesOnStart(true);
        MainWindow window;
        Settings().setScanIconNamesOnStart(false);
        window.show();
        window.openArguments({"zel-find-qicon", "from-command-line", "four-sizes"});
        window.openArguments({"zel-find-qicon"});
        verifyScanEnds(&window, m_done);
        // Rows come in the order found; the list is sorted once the walk ends.
        QStringList listed = column(windowChild<QListView>(&window, "listViewIconNames")->model());
        QVERIFY(listed.size() == 14 && !listed.contains("from-command-line"));
        std::sort(listed.begin(), listed.end(), [](const QString &a, const QString &b) {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        });
        QCOMPARE(column(windowChild<QListView>(&window, "listViewIconNames")->model()), listed);
        auto *model = window.findChild<IconsModel *>();
        QCOMPARE(model->icon(model->findIcon("four-sizes")).name(), "four-sizes");
        {
            WalkHold hold(&window, 300);
            QCOMPARE(statusText(&window), "Scanning icon names...");
            QVERIFY(windowChild<QPushButton>(&window, "pushButtonScanIconNamesStart")->isHidden());
            QVERIFY(!windowChild<QPushButton>(&window, "pushButtonScanIconNamesStop")->isHidden());
            QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::BusyCursor);
            clickScan(&window, false);
        }
        verifyScanEnds(&window, "Scan icon names stoped(count: 1).");
        for (int cycle = 0; cycle < 50; ++cycle) {
            clickScan(&window);
            clickScan(&window, false);
            QTRY_VERIFY_WITH_TIMEOUT(!windowChild<QPushButton>(&window, "pushButtonScanIconNamesStart")->isHidden() && statusText(&window).startsWith("Scan icon names "), 30000);
        }
        clickScan(&window);
        verifyScanEnds(&window, m_done);
        clickScan(&window);
        QVERIFY(window.findChild<ScanIconNamesThread *>()->wait(20000));
        clickScan(&window, false);
        verifyScanEnds(&window, "Scan icon names stoped(count: 14).");
    }

    // The list filters by fixed text, case counting; names given anew replace the list, the
    // empty one dropped from it but opened, and the current name given is the one opened.
    void filterAndOpening()
    {
        MainWindow window;
        auto *list = windowChild<QListView>(&window, "listViewIconNames");
        auto *name = windowChild<QLineEdit>(&window, "lineEditIconName");
        window.openIconNames({"zeta"}, QString());
        // Several names on the command line replace the list; the first is looked up.
        window.openArguments({"zel-find-qicon", "beta", "Alpha", "GAMMA-alpha", "alphabet", "a.p"});
        QCOMPARE(labelText(&window, "labelSearchIconName") + '|' + column(list->model()).join(','), "beta|a.p,Alpha,alphabet,beta,GAMMA-alpha");
        windowChild<QLineEdit>(&window, "lineEditIconNamesFilter")->setText("alpha");
        QCOMPARE(column(list->model()), QStringList({"alphabet", "GAMMA-alpha"}));
        windowChild<QLineEdit>(&window, "lineEditIconNamesFilter")->setText("a.p");
        QCOMPARE(column(list->model()), QStringList({"a.p"}));
        windowChild<QLineEdit>(&window, "lineEditIconNamesFilter")->clear();
        // Sorted as QString compares without case, ties in the order added: '_' and '['
        // fall between upper and lower case letters, and non-ASCII names follow their folds.
        // Given in both orders, so that each pair is compared both ways round.
        QStringList odd{"b", "Edit", "_x", "[y", "Z", "z1", "edit", "Äb", "äa", "ǅ", "ǆa", "a\u0301", "A"};
        for (int round = 0; round < 2; ++round) {
            std::reverse(odd.begin(), odd.end());
            window.openIconNames(odd, QString());
            std::stable_sort(odd.begin(), odd.end(), [](const QString &a, const QString &b) {
                return a.compare(b, Qt::CaseInsensitive) < 0;
            });
            QCOMPARE(column(list->model()), odd);
        }
        window.openIconNames({QString(), "four-sizes"}, QString());
        QCOMPARE(column(list->model()), QStringList{"four-sizes"});
        QCOMPARE(name->text(), QString());
        window.openIconNameByIndex(list->model()->index(0, 0));
        QCOMPARE(labelText(&window, "labelFindedIconName"), "four-sizes");
        window.openIconNameByIndex(QModelIndex());
        QCOMPARE(name->text(), "four-sizes");
        window.openIconNames({"a", "vector"}, "vector");
        QCOMPARE(name->text(), "vector");
        window.openArguments({"zel-find-qicon", "four-sizes"});
        QCOMPARE(name->text() + '|' + column(list->model()).join(','), "four-sizes|a,vector");
        // A find scrolls to its name also past the rows the list has laid out so far.
        QStringList many;
        for (int i = 0; i < 500; ++i) {
            many.append(QString("name-%1").arg(i, 3, 10, QChar('0')));
        }
        window.show();
        window.openIconNames(many, "name-499");
        QCOMPARE(list->currentIndex().data().toString(), "name-499");
        QVERIFY(list->viewport()->rect().intersects(list->visualRect(list->currentIndex())));
        QTRY_VERIFY(!QGuiApplication::overrideCursor());
        // The filter's clear button fades out through an animation that frees itself when it stops.
        QTest::qWait(400);
    }

    // Closing the window stops its walk rather than waiting for it to end: a link to the
    // root makes a walk that only Stop can end in time.
    void windowClosedDuringScan()
    {
        QTemporaryDir root;
        writeFile(root.filePath("a.png"), "x");
        QVERIFY(QFile::link("/", root.filePath("root")));
        auto *window = new MainWindow;
        window->show();
        QIcon::setThemeSearchPaths({root.path()});
        {
            WalkHold hold(window, 300);
        }
        QElapsedTimer closing;
        closing.start();
        delete window;
        QVERIFY(closing.elapsed() < 1000);
        // The busy cursor of a scan that never finished stays pushed.
        while (QGuiApplication::overrideCursor()) {
            QGuiApplication::restoreOverrideCursor();
        }
    }
};

QTEST_MAIN(ScanTest)

#include "scantest.moc"

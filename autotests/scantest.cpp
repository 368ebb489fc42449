#include "app/constants.h"
#include "catalogue/iconsmodel.h"
#include "catalogue/scaniconnamesthread.h"
#include "testhelpers.h"

#include <QDirIterator>
#include <QScrollBar>
#include <QSemaphore>

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

QStringList distinct(QStringList names)
{
    names.removeDuplicates();
    return names;
}

QStringList perFileNames(ScanIconNamesThread &thread, const QString &root)
{
    QSignalSpy spy(&thread, &ScanIconNamesThread::iconNameFinded);
    thread.scanIconNamesByDirPath(root);
    QStringList names;
    for (const QList<QVariant> &arguments : qAsConst(spy)) {
        names.append(arguments.at(0).toString());
    }
    return names;
}

// QSignalSpy::wait() misses a finished that comes before the wait begins, as a short run's does.
bool runToEnd(ScanIconNamesThread &thread)
{
    thread.start();
    return thread.wait(10000);
}

// Holds a window's walk at its first name until destroyed or timed out: Stop waits for
// the walk, so a hold it cannot end would deadlock.
class WalkHold
{
public:
    explicit WalkHold(MainWindow *window, int holdMs = 5000)
    {
        ScanIconNamesThread *thread = MainWindowAccess::d(window)->scanIconNamesThread;
        const auto hold = [gates = m_gates, holdMs]() {
            if (gates->first.testAndSetRelaxed(0, 1)) {
                gates->reached.release();
                gates->resume.tryAcquire(1, holdMs);
            }
        };
        m_connection = QObject::connect(thread, &ScanIconNamesThread::iconNameFinded, thread, hold, Qt::DirectConnection);
    }
    ~WalkHold()
    {
        QObject::disconnect(m_connection);
        m_gates->resume.release();
    }
    bool reached()
    {
        return m_gates->reached.tryAcquire(1, 10000);
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

QStringList s_warnings;
QtMessageHandler s_previousHandler = nullptr;
}

class ScanTest : public ZelTestCase
{
    Q_OBJECT
    FixtureTheme m_theme;
    const QString m_done = "Scan icon names done(count: 14).";

    static void clickScan(QWidget *window, bool start = true)
    {
        windowChild<QPushButton>(window, start ? "pushButtonScanIconNamesStart" : "pushButtonScanIconNamesStop")->click();
    }

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
        storeThemeSettings(m_theme);
    }

    // Entries: a file, "link=target" (relative to the root), "fifo!" or a "locked/" folder.
    void walk_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("suffixes") << QStringList{"a/b/c.png", "a/d.svg", "a/e.svgz", "a/f.xpm", "a/e.txt", "f.PNG", "z.jpeg"} << QStringList{"c", "d", "e", "f", "z"};
        QTest::newRow("base name to the first dot") << QStringList{"org.example.Viewer.svg", "icon.png.svg", "plain.txt.png", "trail."}
                                                    << QStringList{"icon", "org", "plain"};
        QTest::newRow("once per file") << QStringList{"16/a.png", "22/a.png", "22/a.svg"} << QStringList{"a", "a", "a"};
        QTest::newRow("hidden skipped") << QStringList{".cache/x.png", ".hidden.png", "shown/.y.png", "shown/z.png"} << QStringList{"z"};
        QTest::newRow("no suffix, no name") << QStringList{"png", "dir.png/inner.svg"} << QStringList{"inner"};
        QTest::newRow("link to an ancestor") << QStringList{"a/b.png", "top.png", "a/up=.."} << QStringList{"b", "top"};
        QTest::newRow("link to itself") << QStringList{"a/b.png", "a/self=."} << QStringList{"b"};
        QTest::newRow("mutual links") << QStringList{"x/x1.png", "y/y1.png", "x/toy=../y", "y/tox=../x"} << QStringList{"x1", "x1", "y1", "y1"};
        QTest::newRow("links to files") << QStringList{"a.png", "gone.png=missing.png", "alias.png=a.png", "p.png!", "to-p.png=p.png", "one=two", "two=one"}
                                        << QStringList{"a", "alias", "to-p"};
        QTest::newRow("locked folder") << QStringList{"locked/a.png", "open/b.png", "locked/"} << QStringList{"b"};
    }

    void walk()
    {
        QFETCH(QStringList, entries);
        QTemporaryDir root;
        for (const QString &entry : qAsConst(entries)) {
            const QString path = root.filePath(entry.section('=', 0, 0));
            if (entry.endsWith('/')) {
                if (geteuid() == 0) {
                    QSKIP("root reads any folder");
                }
                QFile::setPermissions(path, QFileDevice::Permissions());
            } else if (entry.endsWith('!')) {
                QCOMPARE(::mkfifo(QFile::encodeName(path.chopped(1)).constData(), 0644), 0);
            } else if (entry.contains('=')) {
                QVERIFY(QFile::link(entry.section('=', 1), path));
            } else {
                FixtureTheme::writeFile(path, "x");
            }
        }
        ScanIconNamesThread thread;
        QStringList names = perFileNames(thread, root.path());
        QFile::setPermissions(root.filePath("locked"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        names.sort();
        QTEST(names, "expected");
    }

    // Entry for entry, in order, as a plain walk of the installed themes and of this test's own,
    // with a name that is not UTF-8, as old theme files sometimes have.
    void sameAsDirectoryIterator()
    {
        QTemporaryDir own;
        QCOMPARE(::close(::creat(QByteArray(QFile::encodeName(own.path()) + "/bad\xff\xfename.png").constData(), 0644)), 0);
        QStringList roots{own.path(), m_theme.searchPath(), m_theme.searchPath() + '/'};
        for (const char *real : {"/usr/share/icons/hicolor", "/usr/share/icons/Adwaita"}) {
            if (QFileInfo(real).isDir()) {
                roots.append(real);
            }
        }
        for (const QStringList &suffixes : {QStringList(iconFileSuffixes), QStringList{QString(), "PNG"}}) {
            for (const QString &dir : qAsConst(roots)) {
                ScanIconNamesThread thread;
                thread.setSearchIconSuffixes(suffixes);
                QCOMPARE(perFileNames(thread, dir), iteratorWalk({dir}, suffixes));
            }
        }
    }

    // Batches carry every name once, in the order a plain walk first meets it, however many
    // links and roots lead to the same folders, with a per-file receiver or without; the
    // next run must see what changed on disk in between.
    void batchesInFirstSeenOrder_data()
    {
        QTest::addColumn<bool>("perFile");
        QTest::newRow("batches alone") << false;
        QTest::newRow("with per-file names") << true;
    }

    void batchesInFirstSeenOrder()
    {
        QFETCH(bool, perFile);
        QTemporaryDir root;
        for (int size : {16, 22, 32}) {
            for (int i = 0; i < 300; ++i) {
                FixtureTheme::writeFile(root.filePath(QString("%1/apps/n%2-%1.png").arg(size).arg(i % (size * 5))), "x");
            }
        }
        QVERIFY(QFile::link("../22", root.filePath("16/to22")) && QFile::link("../16", root.filePath("32/to16")) && QFile::link("..", root.filePath("22/apps/up")));
        // A missing root and one given twice, which the run walks from what it already read.
        const QStringList roots{root.filePath("missing"), root.filePath("32"), root.path(), root.path()};
        ScanIconNamesThread thread;
        thread.setDirPaths(roots);
        for (int run = 0; run < 2; ++run) {
            QStringList names;
            collectBatches(&thread, &names);
            QSignalSpy perFileNames(&thread, &ScanIconNamesThread::iconNameFinded);
            if (!perFile) {
                disconnect(&thread, &ScanIconNamesThread::iconNameFinded, nullptr, nullptr);
            }
            QVERIFY(runToEnd(thread));
            QCOMPARE(names, distinct(iteratorWalk(roots)));
            QCOMPARE(perFileNames.count(), perFile ? iteratorWalk(roots).size() : 0);
            QVERIFY(!thread.isNeedStop());
            disconnect(&thread, &ScanIconNamesThread::iconNamesFinded, nullptr, nullptr);
            FixtureTheme::writeFile(root.filePath("22/apps/later.svg"), "x");
            QVERIFY(run == 1 || QFile::remove(root.filePath("16/apps/n0-16.png")));
        }
    }

    // A receiver that takes nothing holds the walk at two batches; each one it takes lets
    // one more go; Stop hands over the batch the walk was holding, and the next run starts afresh.
    void batchesWaitForTheReceiver()
    {
        QTemporaryDir root;
        for (int i = 0; i < 2000; ++i) {
            FixtureTheme::writeFile(root.filePath(QString("apps/name-%1.png").arg(i)), "x");
        }
        for (int i = 0; i < 20; ++i) {
            QVERIFY(QFile::link("apps", root.filePath(QString("link-%1").arg(i))));
        }
        ScanIconNamesThread thread;
        thread.setDirPaths({root.path()});
        QMutex mutex;
        QList<QStringList> batches;
        const auto take = [&mutex, &batches](const QStringList &names) {
            QMutexLocker locker(&mutex);
            batches.append(names);
        };
        connect(&thread, &ScanIconNamesThread::iconNamesFinded, &thread, take, Qt::DirectConnection);
        const auto taken = [&mutex, &batches]() {
            QMutexLocker locker(&mutex);
            return batches.size();
        };
        thread.start();
        QTRY_COMPARE(taken(), ScanIconNamesThread::batchesInFlight);
        QTest::qWait(50);
        QCOMPARE(taken(), ScanIconNamesThread::batchesInFlight);
        thread.releaseBatch();
        QTRY_COMPARE(taken(), ScanIconNamesThread::batchesInFlight + 1);
        thread.stop();
        QVERIFY(thread.wait(1000));
        QVERIFY(thread.isNeedStop());
        QCOMPARE(taken(), ScanIconNamesThread::batchesInFlight + 2);
        QStringList names;
        for (const QStringList &batch : qAsConst(batches)) {
            QCOMPARE(batch.size(), ScanIconNamesThread::batchNames);
            names += batch;
        }
        QCOMPARE(names, distinct(iteratorWalk({root.path()})).mid(0, names.size()));

        disconnect(&thread, &ScanIconNamesThread::iconNamesFinded, nullptr, nullptr);
        QSignalSpy perFile(&thread, &ScanIconNamesThread::iconNameFinded);
        QVERIFY(runToEnd(thread));
        QVERIFY(!thread.isNeedStop());
        QCOMPARE(perFile.count(), 2000 * 21);
    }

    // Started by the option, stopped at its first name; a scan after a stopped one runs
    // to its end. The last walk ends while no event is handled, so every name is still
    // queued at Stop.
    void scanInTheWindow()
    {
        Settings().setScanIconNamesOnStart(true);
        MainWindow window;
        Settings().setScanIconNamesOnStart(false);
        window.show();
        window.openIconNames({"from-command-line", "four-sizes"}, QString());
        window.postArgumets();
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
            clickScan(&window);
            QCOMPARE(statusText(&window), "Scanning icon names...");
            QVERIFY(windowChild<QPushButton>(&window, "pushButtonScanIconNamesStart")->isHidden());
            QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::BusyCursor);
            QVERIFY(hold.reached());
            clickScan(&window, false);
        }
        verifyScanEnds(&window, "Scan icon names stoped(count: 1).");
        clickScan(&window);
        verifyScanEnds(&window, m_done);
        clickScan(&window);
        QVERIFY(MainWindowAccess::d(&window)->scanIconNamesThread->wait(20000));
        clickScan(&window, false);
        verifyScanEnds(&window, "Scan icon names stoped(count: 14).");
    }

    // While a scan runs one row's size stands for all; a find must still bring a row into
    // view, and once the scan ends each row has its own width again.
    void rowsDuringAndAfterScan()
    {
        const QString longName = "a-" + QString(120, 'x');
        QTemporaryDir root;
        for (int i = 0; i < 1233; ++i) {
            FixtureTheme::writeFile(root.filePath(QString("apps/name%1.png").arg(i)), "x");
        }
        FixtureTheme::writeFile(root.filePath("apps/" + longName + ".png"), "x");
        MainWindow window;
        window.resize(800, 600);
        window.show();
        QIcon::setThemeSearchPaths({root.path()});
        QIcon::setFallbackSearchPaths({});
        auto *list = windowChild<QListView>(&window, "listViewIconNames");
        {
            WalkHold hold(&window);
            clickScan(&window);
            QVERIFY(hold.reached());
            for (int i = 0; i < 2000; ++i) {
                window.findChild<IconsModel *>()->addIcon(QString("zz-added-%1").arg(i, 4, 10, QLatin1Char('0')));
            }
            QCoreApplication::processEvents();
            window.openIconName("zz-added-1999");
            QCOMPARE(list->currentIndex().data().toString(), "zz-added-1999");
            QVERIFY(list->viewport()->rect().intersects(list->visualRect(list->currentIndex())));
        }
        QTRY_VERIFY_WITH_TIMEOUT(statusText(&window).startsWith("Scan icon names done"), 20000);
        // Counts are written without grouping.
        clickScan(&window);
        verifyScanEnds(&window, "Scan icon names done(count: 1234).");
        const QModelIndex first = list->model()->index(0, 0);
        QCOMPARE(first.data().toString(), longName);
        QVERIFY(list->visualRect(first).width() >= list->fontMetrics().horizontalAdvance(longName));
        QVERIFY(list->horizontalScrollBar()->maximum() > 0);
        QIcon::setThemeSearchPaths({});
        clickScan(&window);
        verifyScanEnds(&window, "Scan icon names done(count: 0).");
    }

    // The filter stays while names arrive; the empty name is dropped from the list but opened.
    void filterAndOpening()
    {
        MainWindow window;
        auto *list = windowChild<QListView>(&window, "listViewIconNames");
        auto *name = windowChild<QLineEdit>(&window, "lineEditIconName");
        auto *filter = windowChild<QLineEdit>(&window, "lineEditIconNamesFilter");
        window.openIconNames({"beta", "Alpha", "GAMMA-alpha", "alphabet"}, QString());
        QCOMPARE(column(list->model()), QStringList({"Alpha", "alphabet", "beta", "GAMMA-alpha"}));
        filter->setText("alpha");
        QCOMPARE(column(list->model()), QStringList({"alphabet", "GAMMA-alpha"}));
        filter->setText("a.p");
        QCOMPARE(column(list->model()), QStringList());
        filter->setText("et");
        window.findChild<IconsModel *>()->addIcons({"zeta", "omega"});
        QCOMPARE(column(list->model()), QStringList({"alphabet", "beta", "zeta"}));
        filter->clear();
        window.openIconNames({QString(), "four-sizes"}, QString());
        QCOMPARE(column(list->model()), QStringList{"four-sizes"});
        QCOMPARE(name->text(), QString());
        window.openIconNameByIndex(list->model()->index(0, 0));
        QCOMPARE(labelText(&window, "labelFindedIconName"), "four-sizes");
        name->setText("unchanged");
        window.openIconNameByIndex(QModelIndex());
        QCOMPARE(name->text(), "unchanged");
        window.openIconNames({"a", "vector"}, "vector");
        QCOMPARE(name->text(), "vector");
        QTRY_VERIFY(!QGuiApplication::overrideCursor());
    }

    // Closing the window stops its walk rather than waiting for it to end.
    void windowClosedDuringScan()
    {
        s_previousHandler = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &message) {
            s_warnings.append(message);
            s_previousHandler(type, context, message);
        });
        // A link to the root makes a walk that only Stop can end in time.
        QTemporaryDir root;
        FixtureTheme::writeFile(root.filePath("a.png"), "x");
        QVERIFY(QFile::link("/", root.filePath("root")));
        auto *window = new MainWindow;
        window->show();
        QIcon::setThemeSearchPaths({root.path()});
        WalkHold hold(window, 300);
        clickScan(window);
        QVERIFY(hold.reached());
        delete window;
        QCoreApplication::processEvents();
        qInstallMessageHandler(s_previousHandler);
        QCOMPARE(s_warnings.filter("Destroyed while thread"), QStringList());
        // The busy cursor of a scan that never finished stays pushed.
        while (QGuiApplication::overrideCursor()) {
            QGuiApplication::restoreOverrideCursor();
        }
    }
};

QTEST_MAIN(ScanTest)

#include "scantest.moc"

#include "app/constants.h"
#include "catalogue/iconsmodel.h"
#include "catalogue/scaniconnamesthread.h"
#include "testhelpers.h"

#include <QDirIterator>
#include <QScrollBar>
#include <QSemaphore>

#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
void touch(const QString &path)
{
    FixtureTheme::writeFile(path, "x");
}

// The walk as QDirIterator gives it, links to ancestors cut by canonical path: what the
// scanner's own walk must match entry for entry.
void iteratorWalk(const QString &dirPath, const QStringList &suffixes, QSet<QString> &ancestors, QStringList &names)
{
    const QString canonical = QFileInfo(dirPath).canonicalFilePath();
    if (canonical.isEmpty() || ancestors.contains(canonical)) {
        return;
    }
    ancestors.insert(canonical);
    QDirIterator it(dirPath, QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QString path = it.next();
        if (it.fileInfo().isDir()) {
            iteratorWalk(path, suffixes, ancestors, names);
        } else if (suffixes.contains(it.fileInfo().suffix()) && !it.fileInfo().baseName().isEmpty()) {
            names.append(it.fileInfo().baseName());
        }
    }
    ancestors.remove(canonical);
}

QStringList iteratorWalk(const QStringList &roots, const QStringList &suffixes = iconFileSuffixes)
{
    QStringList names;
    for (const QString &root : roots) {
        QSet<QString> ancestors;
        iteratorWalk(root, suffixes, ancestors, names);
    }
    return names;
}

QStringList distinct(const QStringList &names)
{
    QStringList result;
    QSet<QString> seen;
    for (const QString &name : names) {
        if (!seen.contains(name)) {
            seen.insert(name);
            result.append(name);
        }
    }
    return result;
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

// Holds a window's walk at its first name until the test lets it go, or the time runs
// out: Stop waits for the walk, so a hold it cannot end would deadlock.
class WalkHold
{
public:
    explicit WalkHold(MainWindow *window, int holdMs = 5000)
    {
        const std::shared_ptr<Gates> gates = m_gates;
        ScanIconNamesThread *thread = MainWindowAccess::d(window)->scanIconNamesThread;
        m_connection = QObject::connect(
            thread,
            &ScanIconNamesThread::iconNameFinded,
            thread,
            [gates, holdMs]() {
                if (gates->reached.available() == 0) {
                    gates->reached.release();
                    gates->resume.tryAcquire(1, holdMs);
                }
            },
            Qt::DirectConnection);
    }
    ~WalkHold()
    {
        QObject::disconnect(m_connection);
        m_gates->resume.release(1000);
    }
    bool reached()
    {
        const bool reached = m_gates->reached.tryAcquire(1, 10000);
        m_gates->reached.release();
        return reached;
    }
    void resume()
    {
        m_gates->resume.release(1000);
    }

private:
    struct Gates {
        QSemaphore reached;
        QSemaphore resume;
    };
    std::shared_ptr<Gates> m_gates = std::make_shared<Gates>();
    QMetaObject::Connection m_connection;
};

QMutex s_warningsMutex;
QStringList s_warnings;
QtMessageHandler s_previousHandler = nullptr;
}

class ScanTest : public ZelTestCase
{
    Q_OBJECT

    FixtureTheme m_theme;
    const int m_names = 14;

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

    void walk_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("links"); // link=target, relative to the root
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("suffixes") << QStringList{"a/b/c.png", "a/d.svg", "a/e.txt", "f.PNG"} << QStringList() << QStringList{"c", "d"};
        QTest::newRow("base name to the first dot") << QStringList{"org.example.Viewer.svg", "icon.png.svg", "plain.txt.png"} << QStringList()
                                                    << QStringList{"icon", "org", "plain"};
        QTest::newRow("once per file") << QStringList{"16/a.png", "22/a.png", "22/a.svg"} << QStringList() << QStringList{"a", "a", "a"};
        QTest::newRow("hidden skipped") << QStringList{".cache/x.png", ".hidden.png", "shown/.y.png", "shown/z.png"} << QStringList() << QStringList{"z"};
        QTest::newRow("no suffix, no name") << QStringList{"png", "dir.png/inner.svg"} << QStringList() << QStringList{"inner"};
        QTest::newRow("link to an ancestor") << QStringList{"a/b.png", "top.png"} << QStringList{"a/up=.."} << QStringList{"b", "top"};
        QTest::newRow("link to itself") << QStringList{"a/b.png"} << QStringList{"a/self=."} << QStringList{"b"};
        QTest::newRow("mutual links") << QStringList{"x/x1.png", "y/y1.png"} << QStringList{"x/toy=../y", "y/tox=../x"} << QStringList{"x1", "x1", "y1", "y1"};
        QTest::newRow("broken link") << QStringList{"a.png"} << QStringList{"gone.png=missing.png"} << QStringList{"a"};
        QTest::newRow("locked folder") << QStringList{"locked/a.png", "open/b.png"} << QStringList{"locked"} << QStringList{"b"};
    }

    void walk()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, links);
        QFETCH(QStringList, expected);
        QTemporaryDir root;
        for (const QString &file : qAsConst(files)) {
            touch(root.filePath(file));
        }
        for (const QString &link : qAsConst(links)) {
            if (!link.contains('=')) {
                if (geteuid() == 0) {
                    QSKIP("root reads any folder");
                }
                QFile::setPermissions(root.filePath(link), QFileDevice::Permissions());
                continue;
            }
            QVERIFY(QFile::link(link.section('=', 1), root.filePath(link.section('=', 0, 0))));
        }
        ScanIconNamesThread thread;
        QStringList names = perFileNames(thread, root.path());
        for (const QString &link : qAsConst(links)) {
            QFile::setPermissions(root.filePath(link), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        }
        names.sort();
        QCOMPARE(names, expected);
    }

    void sameAsDirectoryIterator()
    {
        QTemporaryDir root;
        for (const char *file : {"16/apps/a.png", "16/apps/b.svgz", "16/apps/org.kde.c.svg", "16/apps/d.PNG", "16/apps/e.tar.xpm", "22/apps/a.png", "22/.hid/x.png",
                                 "22/apps/.y.png", "22/apps/noext", "22/apps/trail.", "scalable/apps/\xc3\xa9t\xc3\xa9.svg", "scalable/apps/z.jpeg"}) {
            touch(root.filePath(QString::fromUtf8(file)));
        }
        // A name that is not valid UTF-8, as old theme files sometimes have.
        const QByteArray raw = QFile::encodeName(root.path()) + "/16/apps/bad\xff\xfename.png";
        const int fd = ::open(raw.constData(), O_CREAT | O_WRONLY, 0644);
        QVERIFY(fd >= 0);
        ::close(fd);
        QVERIFY(::mkfifo(QFile::encodeName(root.filePath("16/apps/pipe.png")).constData(), 0644) == 0);
        for (const auto &link : {std::make_pair("pipe.png", "16/apps/to-pipe.png"), std::make_pair("../../22", "16/apps/up"), std::make_pair("a.png", "22/apps/alias.png"),
                                 std::make_pair("nowhere.png", "22/apps/broken.png"), std::make_pair("22", "24"), std::make_pair(".", "scalable/here")}) {
            QVERIFY(QFile::link(link.first, root.filePath(link.second)));
        }
        QStringList roots{root.path(), root.path() + '/', root.filePath("16/apps/up")};
        for (const QString &real : {"/usr/share/icons/hicolor", "/usr/share/icons/Adwaita"}) {
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
    // links and roots lead to the same folders, with a per-file receiver or without.
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
                touch(root.filePath(QString("%1/apps/n%2-%1.png").arg(size).arg(i % (size * 5))));
            }
        }
        QVERIFY(QFile::link("../22", root.filePath("16/to22")) && QFile::link("../16", root.filePath("32/to16")) && QFile::link("..", root.filePath("22/apps/up")));
        // A missing root and one given twice, which the run walks from what it already read.
        const QStringList roots{root.filePath("missing"), root.filePath("32"), root.path(), root.path()};
        ScanIconNamesThread thread;
        thread.setDirPaths(roots);
        QStringList names;
        collectBatches(&thread, &names);
        QSignalSpy perFileNames(&thread, &ScanIconNamesThread::iconNameFinded);
        if (!perFile) {
            disconnect(&thread, &ScanIconNamesThread::iconNameFinded, nullptr, nullptr);
        }
        QSignalSpy finished(&thread, &QThread::finished);
        QVERIFY(runToEnd(thread));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(names, distinct(iteratorWalk(roots)));
        QCOMPARE(perFileNames.count(), perFile ? iteratorWalk(roots).size() : 0);
        QVERIFY(!thread.isNeedStop());
        thread.setDirPaths({});
        names.clear();
        QVERIFY(runToEnd(thread));
        QCOMPARE(finished.count(), 2);
        QVERIFY(names.isEmpty());
    }

    // A receiver that takes nothing holds the walk at two batches; each one it takes lets
    // one more go; Stop hands over the batch the walk was holding, and the next run starts afresh.
    void batchesWaitForTheReceiver()
    {
        QTemporaryDir root;
        for (int i = 0; i < 2000; ++i) {
            touch(root.filePath(QString("apps/name-%1.png").arg(i)));
        }
        for (int i = 0; i < 20; ++i) {
            QVERIFY(QFile::link("apps", root.filePath(QString("link-%1").arg(i))));
        }
        ScanIconNamesThread thread;
        thread.setDirPaths({root.path()});
        QMutex mutex;
        QList<QStringList> batches;
        connect(
            &thread,
            &ScanIconNamesThread::iconNamesFinded,
            &thread,
            [&mutex, &batches](const QStringList &names) {
                QMutexLocker locker(&mutex);
                batches.append(names);
            },
            Qt::DirectConnection);
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

        batches.clear();
        disconnect(&thread, &ScanIconNamesThread::iconNamesFinded, nullptr, nullptr);
        QSignalSpy perFile(&thread, &ScanIconNamesThread::iconNameFinded);
        QVERIFY(runToEnd(thread));
        QVERIFY(!thread.isNeedStop());
        QCOMPARE(perFile.count(), 2000 * 21);
    }

    // Folders met again within a run are not read again; the next run must still see
    // what changed on disk in between.
    void eachRunReadsAfresh()
    {
        QTemporaryDir root;
        touch(root.filePath("real/x.png"));
        QVERIFY(QFile::link("real", root.filePath("via")));
        ScanIconNamesThread thread;
        QCOMPARE(perFileNames(thread, root.path()), QStringList({"x", "x"}));
        touch(root.filePath("real/y.png"));
        QVERIFY(QFile::remove(root.filePath("real/x.png")));
        QCOMPARE(perFileNames(thread, root.path()), QStringList({"y", "y"}));
        thread.setDirPaths({root.filePath("via")});
        QSignalSpy names(&thread, &ScanIconNamesThread::iconNameFinded);
        QVERIFY(runToEnd(thread));
        QCOMPARE(names.count(), 1);
    }

    void scanInTheWindow()
    {
        MainWindow window;
        window.show();
        window.openIconNames({"from-command-line", "four-sizes"}, QString());
        QCOMPARE(column(windowChild<QListView>(&window, "listViewIconNames")->model()), QStringList({"four-sizes", "from-command-line"}));
        clickScan(&window);
        QCOMPARE(statusText(&window), QString("Scanning icon names..."));
        QVERIFY(windowChild<QPushButton>(&window, "pushButtonScanIconNamesStart")->isHidden());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::BusyCursor);
        verifyScanEnds(&window, QString("Scan icon names done(count: %1).").arg(m_names));
        const QStringList listed = column(windowChild<QListView>(&window, "listViewIconNames")->model());
        QCOMPARE(listed.size(), m_names);
        QVERIFY(!listed.contains("from-command-line"));
        auto *model = window.findChild<IconsModel *>();
        QCOMPARE(model->icon(model->findIcon("four-sizes")).name(), QString("four-sizes"));

        // Stopped at its first name; a scan after a stopped one runs to its end.
        {
            WalkHold hold(&window, 300);
            clickScan(&window);
            QVERIFY(hold.reached());
            clickScan(&window, false);
        }
        verifyScanEnds(&window, "Scan icon names stoped(count: 1).");
        clickScan(&window);
        verifyScanEnds(&window, QString("Scan icon names done(count: %1).").arg(m_names));
        // The walk ends while no event is handled, so every name is still queued at Stop.
        clickScan(&window);
        QVERIFY(MainWindowAccess::d(&window)->scanIconNamesThread->wait(20000));
        clickScan(&window, false);
        verifyScanEnds(&window, QString("Scan icon names stoped(count: %1).").arg(m_names));
    }

    // While a scan runs one row's size stands for all; a find must still bring a row into
    // view, and once the scan ends each row has its own width again.
    void rowsDuringAndAfterScan()
    {
        const QString longName = "a-" + QString(120, 'x');
        QTemporaryDir root;
        for (int i = 0; i < 1233; ++i) {
            touch(root.filePath(QString("apps/name%1.png").arg(i)));
        }
        touch(root.filePath("apps/" + longName + ".png"));
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
            auto *model = window.findChild<IconsModel *>();
            for (int i = 0; i < 2000; ++i) {
                model->addIcon(QString("zz-added-%1").arg(i, 4, 10, QLatin1Char('0')));
            }
            QCoreApplication::processEvents();
            window.openIconName("zz-added-1999");
            QCOMPARE(list->currentIndex().data().toString(), QString("zz-added-1999"));
            QVERIFY(list->viewport()->rect().intersects(list->visualRect(list->currentIndex())));
        }
        QTRY_COMPARE_WITH_TIMEOUT(statusText(&window).left(22), QString("Scan icon names done(c"), 20000);
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

    void filterAndOpening()
    {
        MainWindow window;
        auto *list = windowChild<QListView>(&window, "listViewIconNames");
        window.openIconNames({"beta", "Alpha", "GAMMA-alpha", "alphabet"}, QString());
        QCOMPARE(column(list->model()), QStringList({"Alpha", "alphabet", "beta", "GAMMA-alpha"}));
        auto *filter = windowChild<QLineEdit>(&window, "lineEditIconNamesFilter");
        filter->setText("alpha");
        QCOMPARE(column(list->model()), QStringList({"alphabet", "GAMMA-alpha"}));
        filter->setText("a.p");
        QCOMPARE(column(list->model()), QStringList());
        // The filter stays while names arrive.
        filter->setText("et");
        window.findChild<IconsModel *>()->addIcons({"zeta", "omega"});
        QCOMPARE(column(list->model()), QStringList({"alphabet", "beta", "zeta"}));
        filter->clear();

        // The empty name is dropped from the list but opened.
        window.openIconNames({QString(), "four-sizes"}, QString());
        QCOMPARE(column(list->model()), QStringList{"four-sizes"});
        QCOMPARE(windowChild<QLineEdit>(&window, "lineEditIconName")->text(), QString());
        window.openIconNameByIndex(list->model()->index(0, 0));
        QCOMPARE(labelText(&window, "labelFindedIconName"), QString("four-sizes"));
        windowChild<QLineEdit>(&window, "lineEditIconName")->setText("unchanged");
        window.openIconNameByIndex(QModelIndex());
        QCOMPARE(windowChild<QLineEdit>(&window, "lineEditIconName")->text(), QString("unchanged"));
        window.openIconNames({"a", "vector"}, "vector");
        QCOMPARE(windowChild<QLineEdit>(&window, "lineEditIconName")->text(), QString("vector"));
        QTRY_VERIFY(!QGuiApplication::overrideCursor());
    }

    void scanOnStart_data()
    {
        QTest::addColumn<bool>("option");
        QTest::newRow("on") << true;
        QTest::newRow("off") << false;
    }

    void scanOnStart()
    {
        QFETCH(bool, option);
        Settings().setScanIconNamesOnStart(option);
        MainWindow window;
        window.show();
        window.postArgumets();
        QVERIFY(statusText(&window).isEmpty());
        if (option) {
            verifyScanEnds(&window, QString("Scan icon names done(count: %1).").arg(m_names));
        } else {
            QTest::qWait(300);
            QVERIFY(statusText(&window).isEmpty());
        }
        Settings().setScanIconNamesOnStart(false);
    }

    void windowClosedDuringScan()
    {
        s_warnings.clear();
        s_previousHandler = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &message) {
            if (type == QtWarningMsg || type == QtCriticalMsg) {
                QMutexLocker locker(&s_warningsMutex);
                s_warnings.append(message);
            }
            s_previousHandler(type, context, message);
        });
        {
            auto *window = new MainWindow;
            window->show();
            WalkHold hold(window);
            clickScan(window);
            QVERIFY(hold.reached());
            hold.resume();
            delete window;
        }
        QCoreApplication::processEvents();
        qInstallMessageHandler(s_previousHandler);
        for (const QString &warning : qAsConst(s_warnings)) {
            QVERIFY2(!warning.contains("Destroyed while thread"), qPrintable(warning));
        }
        // The busy cursor of a scan that never finished stays pushed.
        while (QGuiApplication::overrideCursor()) {
            QGuiApplication::restoreOverrideCursor();
        }
    }
};

QTEST_MAIN(ScanTest)

#include "scantest.moc"

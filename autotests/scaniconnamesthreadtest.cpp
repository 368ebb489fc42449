#include "catalogue/scaniconnamesthread.h"

#include "fixturetheme.h"
#include "testenvironment.h"

#include "app/constants.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMutex>
#include <QSignalSpy>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class ScanIconNamesThreadTest : public QObject
{
    Q_OBJECT

    static void touch(const QString &path)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("x");
    }

    static QStringList sorted(QStringList names)
    {
        names.sort();
        return names;
    }

    // QSignalSpy::wait() misses a finished that fires before the wait begins, which a
    // short run easily does; QThread::wait() returns only after finished was emitted.
    static bool runToEnd(ScanIconNamesThread &thread)
    {
        thread.start();
        return thread.wait(10000);
    }

    static QStringList reported(const QSignalSpy &spy)
    {
        QStringList names;
        for (const QList<QVariant> &arguments : spy) {
            names.append(arguments.at(0).toString());
        }
        return names;
    }

    // The walk as a QDirIterator with Dirs, Files and NoDotAndDotDot gives it, links to
    // ancestors cut by their canonical path: what the scanner's own walk must match entry for entry.
    static void iteratorWalk(const QString &dirPath, const QStringList &suffixes, QSet<QString> &ancestors, QStringList &names)
    {
        const QString canonical = QFileInfo(dirPath).canonicalFilePath();
        if (canonical.isEmpty() || ancestors.contains(canonical)) {
            return;
        }
        ancestors.insert(canonical);
        QDirIterator it(dirPath, QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot, QDirIterator::NoIteratorFlags);
        while (it.hasNext()) {
            const QString path = it.next();
            const QFileInfo info = it.fileInfo();
            if (info.isDir()) {
                iteratorWalk(path, suffixes, ancestors, names);
            } else if (suffixes.contains(info.suffix()) && !info.baseName().isEmpty()) {
                names.append(info.baseName());
            }
        }
        ancestors.remove(canonical);
    }

    static QStringList iteratorWalk(const QString &root, const QStringList &suffixes)
    {
        QSet<QString> ancestors;
        QStringList names;
        iteratorWalk(root, suffixes, ancestors, names);
        return names;
    }

private Q_SLOTS:
    void walk_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("links"); // "link=target", relative to the root
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("suffixes") << QStringList{QStringLiteral("a/b/c.png"), QStringLiteral("a/d.svg"), QStringLiteral("a/e.txt"), QStringLiteral("f.PNG")}
                                  << QStringList() << QStringList{QStringLiteral("c"), QStringLiteral("d")};
        QTest::newRow("base name to the first dot") << QStringList{QStringLiteral("org.example.Viewer.svg"),
                                                                   QStringLiteral("icon.png.svg"),
                                                                   QStringLiteral("plain.txt.png")}
                                                    << QStringList() << QStringList{QStringLiteral("icon"), QStringLiteral("org"), QStringLiteral("plain")};
        QTest::newRow("once per file") << QStringList{QStringLiteral("16/a.png"), QStringLiteral("22/a.png"), QStringLiteral("22/a.svg")} << QStringList()
                                       << QStringList{QStringLiteral("a"), QStringLiteral("a"), QStringLiteral("a")};
        QTest::newRow("hidden skipped") << QStringList{QStringLiteral(".cache/x.png"),
                                                       QStringLiteral(".hidden.png"),
                                                       QStringLiteral("shown/.y.png"),
                                                       QStringLiteral("shown/z.png")}
                                        << QStringList() << QStringList{QStringLiteral("z")};
        QTest::newRow("no suffix, no name") << QStringList{QStringLiteral("png"), QStringLiteral("dir.png/inner.svg")} << QStringList()
                                            << QStringList{QStringLiteral("inner")};
        QTest::newRow("link to an ancestor") << QStringList{QStringLiteral("a/b.png"), QStringLiteral("top.png")} << QStringList{QStringLiteral("a/up=..")}
                                             << QStringList{QStringLiteral("b"), QStringLiteral("top")};
        QTest::newRow("link to itself") << QStringList{QStringLiteral("a/b.png")} << QStringList{QStringLiteral("a/self=.")}
                                        << QStringList{QStringLiteral("b")};
        QTest::newRow("mutual links") << QStringList{QStringLiteral("x/x1.png"), QStringLiteral("y/y1.png")}
                                      << QStringList{QStringLiteral("x/toy=../y"), QStringLiteral("y/tox=../x")}
                                      << QStringList{QStringLiteral("x1"), QStringLiteral("x1"), QStringLiteral("y1"), QStringLiteral("y1")};
        QTest::newRow("link to a sibling tree") << QStringList{QStringLiteral("p/p1.png"), QStringLiteral("q/q1.svg")}
                                                << QStringList{QStringLiteral("p/toq=../q")}
                                                << QStringList{QStringLiteral("p1"), QStringLiteral("q1"), QStringLiteral("q1")};
        QTest::newRow("broken link") << QStringList{QStringLiteral("a.png")} << QStringList{QStringLiteral("gone.png=missing.png")}
                                     << QStringList{QStringLiteral("a")};
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
            const QStringList parts = link.split(QLatin1Char('='));
            QVERIFY(QFile::link(parts.at(1), root.filePath(parts.at(0))));
        }
        ScanIconNamesThread thread;
        QSignalSpy spy(&thread, &ScanIconNamesThread::iconNameFinded);
        QVERIFY(spy.isValid());
        thread.scanIconNamesByDirPath(root.path());
        QCOMPARE(sorted(reported(spy)), sorted(expected));
    }

    void sameAsDirectoryIterator()
    {
        QTemporaryDir root;
        for (const char *file : {"16/apps/a.png",
                                 "16/apps/b.svgz",
                                 "16/apps/org.kde.c.svg",
                                 "16/apps/d.PNG",
                                 "16/apps/e.tar.xpm",
                                 "22/apps/a.png",
                                 "22/.hid/x.png",
                                 "22/apps/.y.png",
                                 "22/apps/noext",
                                 "22/apps/trail.",
                                 "scalable/apps/\xc3\xa9t\xc3\xa9.svg",
                                 "scalable/apps/z.jpeg"}) {
            touch(root.filePath(QString::fromUtf8(file)));
        }
        // A name that is not valid UTF-8, as old theme files sometimes are.
        const QByteArray raw = QFile::encodeName(root.path()) + "/16/apps/bad\xff\xfename.png";
        const int rawFd = ::open(raw.constData(), O_CREAT | O_WRONLY, 0644);
        QVERIFY(rawFd >= 0);
        ::close(rawFd);
        QVERIFY(::mkfifo(QFile::encodeName(root.filePath(QStringLiteral("16/apps/pipe.png"))).constData(), 0644) == 0);
        QVERIFY(QFile::link(QStringLiteral("pipe.png"), root.filePath(QStringLiteral("16/apps/to-pipe.png"))));
        QVERIFY(QFile::link(QStringLiteral("../../22"), root.filePath(QStringLiteral("16/apps/up"))));
        QVERIFY(QFile::link(QStringLiteral("a.png"), root.filePath(QStringLiteral("22/apps/alias.png"))));
        QVERIFY(QFile::link(QStringLiteral("nowhere.png"), root.filePath(QStringLiteral("22/apps/broken.png"))));
        QVERIFY(QFile::link(QStringLiteral("22"), root.filePath(QStringLiteral("24"))));
        QVERIFY(QFile::link(QStringLiteral("."), root.filePath(QStringLiteral("scalable/here"))));

        QStringList roots{root.path(), root.path() + QLatin1Char('/'), root.filePath(QStringLiteral("16/apps/up"))};
        for (const QString &real : {QStringLiteral("/usr/share/icons/hicolor"), QStringLiteral("/usr/share/icons/Adwaita")}) {
            if (QFileInfo(real).isDir()) {
                roots.append(real);
            }
        }
        for (const QStringList &suffixes : {QStringList(iconFileSuffixes), QStringList{QString(), QStringLiteral("PNG")}}) {
            for (const QString &dir : qAsConst(roots)) {
                ScanIconNamesThread thread;
                thread.setSearchIconSuffixes(suffixes);
                QSignalSpy spy(&thread, &ScanIconNamesThread::iconNameFinded);
                thread.scanIconNamesByDirPath(dir);
                QCOMPARE(reported(spy), iteratorWalk(dir, suffixes));
            }
        }
    }

    void runOverRoots()
    {
        QTemporaryDir first;
        QTemporaryDir second;
        touch(first.filePath(QStringLiteral("apps/one.png")));
        touch(second.filePath(QStringLiteral("apps/two.xpm")));
        touch(second.filePath(QStringLiteral("apps/three.gif")));

        ScanIconNamesThread thread;
        thread.setSearchIconSuffixes({QStringLiteral("png"), QStringLiteral("gif")});
        thread.setDirPaths({first.filePath(QStringLiteral("missing")), first.path(), second.path()});
        QSignalSpy names(&thread, &ScanIconNamesThread::iconNameFinded);
        QSignalSpy finished(&thread, &QThread::finished);
        QVERIFY(finished.isValid());
        QVERIFY(runToEnd(thread));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(sorted(reported(names)), (QStringList{QStringLiteral("one"), QStringLiteral("three")}));
        QVERIFY(!thread.isNeedStop());

        // No roots: the run ends at once and finished still follows.
        thread.setDirPaths({});
        names.clear();
        QVERIFY(runToEnd(thread));
        QCOMPARE(finished.count(), 2);
        QCOMPARE(names.count(), 0);
    }

    void stopDuringWalk_data()
    {
        QTest::addColumn<int>("stopAt");
        QTest::newRow("first name") << 1;
        QTest::newRow("last name of the first root") << 50;
        // The second root is the first again, walked from what the run already read.
        QTest::newRow("inside the second root") << 60;
    }

    void stopDuringWalk()
    {
        QFETCH(int, stopAt);
        QTemporaryDir root;
        for (int i = 0; i < 50; ++i) {
            touch(root.filePath(QStringLiteral("d%1/n%1.png").arg(i)));
        }
        ScanIconNamesThread thread;
        thread.setDirPaths({root.path(), root.path()});
        int seen = 0;
        // Runs on the worker and raises the flag, as Stop would.
        connect(
            &thread,
            &ScanIconNamesThread::iconNameFinded,
            &thread,
            [&thread, &seen, stopAt]() {
                if (++seen == stopAt) {
                    thread.stop();
                }
            },
            Qt::DirectConnection);
        QSignalSpy finished(&thread, &QThread::finished);
        QVERIFY(runToEnd(thread));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(seen, stopAt);
        QVERIFY(thread.isNeedStop());

        // The next run clears the flag and walks every root from the first.
        disconnect(&thread, &ScanIconNamesThread::iconNameFinded, &thread, nullptr);
        QSignalSpy names(&thread, &ScanIconNamesThread::iconNameFinded);
        QVERIFY(runToEnd(thread));
        QCOMPARE(finished.count(), 2);
        QCOMPARE(names.count(), 100);
        QVERIFY(!thread.isNeedStop());
    }

    static QStringList distinct(const QStringList &names)
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

    // A receiver that takes nothing holds the walk at two batches; each one it takes
    // lets one more go, and Stop hands over the batch the walk was holding.
    void batchesWaitForTheReceiver()
    {
        QTemporaryDir root;
        for (int i = 0; i < 2000; ++i) {
            touch(root.filePath(QStringLiteral("apps/name-%1.png").arg(i)));
        }
        for (int i = 0; i < 20; ++i) {
            QVERIFY(QFile::link(QStringLiteral("apps"), root.filePath(QStringLiteral("link-%1").arg(i))));
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
        QTest::qWait(100);
        QCOMPARE(taken(), ScanIconNamesThread::batchesInFlight);
        QVERIFY(thread.isRunning());

        thread.releaseBatch();
        QTRY_COMPARE(taken(), ScanIconNamesThread::batchesInFlight + 1);
        thread.stop();
        QVERIFY(thread.wait(1000));
        QCOMPARE(taken(), ScanIconNamesThread::batchesInFlight + 2);
        QStringList names;
        for (const QStringList &batch : qAsConst(batches)) {
            QCOMPARE(batch.size(), ScanIconNamesThread::batchNames);
            names += batch;
        }
        QCOMPARE(names, distinct(iteratorWalk(root.path(), iconFileSuffixes)).mid(0, names.size()));
    }

    // Batches carry every name once, in the order a plain walk first meets it, however
    // many links and roots lead to the same folders, with or without a per-file receiver.
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
                touch(root.filePath(QStringLiteral("%1/apps/n%2-%1.png").arg(size).arg(i % (size * 5))));
            }
        }
        QVERIFY(QFile::link(QStringLiteral("../22"), root.filePath(QStringLiteral("16/to22"))));
        QVERIFY(QFile::link(QStringLiteral("../16"), root.filePath(QStringLiteral("32/to16"))));
        QVERIFY(QFile::link(QStringLiteral(".."), root.filePath(QStringLiteral("22/apps/up"))));
        const QStringList roots{root.filePath(QStringLiteral("32")), root.path(), root.path()};

        QStringList plain;
        for (const QString &dir : roots) {
            plain += iteratorWalk(dir, iconFileSuffixes);
        }
        ScanIconNamesThread thread;
        thread.setDirPaths(roots);
        QStringList names;
        connect(
            &thread,
            &ScanIconNamesThread::iconNamesFinded,
            &thread,
            [&thread, &names](const QStringList &batch) {
                names += batch;
                thread.releaseBatch();
            },
            Qt::DirectConnection);
        QSignalSpy perFileNames(&thread, &ScanIconNamesThread::iconNameFinded);
        if (!perFile) {
            disconnect(&thread, &ScanIconNamesThread::iconNameFinded, nullptr, nullptr);
        }
        QVERIFY(runToEnd(thread));
        QCOMPARE(names, distinct(plain));
        QCOMPARE(perFileNames.count(), perFile ? plain.size() : 0);
    }

    // Directories reached again within a run are not read again; the next run must
    // still see what changed on disk in between.
    void eachRunReadsAfresh()
    {
        const QString x = QStringLiteral("x");
        const QString y = QStringLiteral("y");
        QTemporaryDir root;
        touch(root.filePath(QStringLiteral("real/x.png")));
        QVERIFY(QFile::link(QStringLiteral("real"), root.filePath(QStringLiteral("via"))));
        ScanIconNamesThread thread;
        thread.setDirPaths({root.path(), root.filePath(QStringLiteral("via"))});
        QSignalSpy names(&thread, &ScanIconNamesThread::iconNameFinded);
        QVERIFY(runToEnd(thread));
        QCOMPARE(reported(names), (QStringList{x, x, x}));

        touch(root.filePath(QStringLiteral("real/y.png")));
        QVERIFY(QFile::remove(root.filePath(QStringLiteral("real/x.png"))));
        names.clear();
        QVERIFY(runToEnd(thread));
        QCOMPARE(reported(names), (QStringList{y, y, y}));

        names.clear();
        thread.scanIconNamesByDirPath(root.path());
        thread.scanIconNamesByDirPath(root.path());
        QCOMPARE(reported(names), (QStringList{y, y, y, y}));
    }

    void unreadableDirectory()
    {
        if (geteuid() == 0) {
            QSKIP("root reads any directory");
        }
        QTemporaryDir root;
        touch(root.filePath(QStringLiteral("locked/a.png")));
        touch(root.filePath(QStringLiteral("open/b.png")));
        QFile::setPermissions(root.filePath(QStringLiteral("locked")), QFileDevice::Permissions());
        ScanIconNamesThread thread;
        QSignalSpy spy(&thread, &ScanIconNamesThread::iconNameFinded);
        thread.scanIconNamesByDirPath(root.path());
        QFile::setPermissions(root.filePath(QStringLiteral("locked")), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(reported(spy), QStringList{QStringLiteral("b")});
    }
};

ZEL_TEST_MAIN(ScanIconNamesThreadTest)

#include "scaniconnamesthreadtest.moc"

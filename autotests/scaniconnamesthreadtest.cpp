#include "catalogue/scaniconnamesthread.h"

#include "fixturetheme.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>

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

private Q_SLOTS:
    void walk_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("links"); // "link=target", relative to the root
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("suffixes") << QStringList{QStringLiteral("a/b/c.png"), QStringLiteral("a/d.svg"), QStringLiteral("a/e.txt"), QStringLiteral("f.PNG")}
                                  << QStringList() << QStringList{QStringLiteral("c"), QStringLiteral("d")};
        QTest::newRow("base name to the first dot")
            << QStringList{QStringLiteral("org.example.Viewer.svg"), QStringLiteral("icon.png.svg"), QStringLiteral("plain.txt.png")} << QStringList()
            << QStringList{QStringLiteral("icon"), QStringLiteral("org"), QStringLiteral("plain")};
        QTest::newRow("once per file") << QStringList{QStringLiteral("16/a.png"), QStringLiteral("22/a.png"), QStringLiteral("22/a.svg")} << QStringList()
                                       << QStringList{QStringLiteral("a"), QStringLiteral("a"), QStringLiteral("a")};
        QTest::newRow("hidden skipped") << QStringList{QStringLiteral(".cache/x.png"), QStringLiteral(".hidden.png"), QStringLiteral("shown/.y.png"),
                                                       QStringLiteral("shown/z.png")}
                                        << QStringList() << QStringList{QStringLiteral("z")};
        QTest::newRow("no suffix, no name") << QStringList{QStringLiteral("png"), QStringLiteral("dir.png/inner.svg")} << QStringList()
                                            << QStringList{QStringLiteral("inner")};
        QTest::newRow("link to an ancestor") << QStringList{QStringLiteral("a/b.png"), QStringLiteral("top.png")} << QStringList{QStringLiteral("a/up=..")}
                                             << QStringList{QStringLiteral("b"), QStringLiteral("top")};
        QTest::newRow("link to itself") << QStringList{QStringLiteral("a/b.png")} << QStringList{QStringLiteral("a/self=.")} << QStringList{QStringLiteral("b")};
        QTest::newRow("mutual links") << QStringList{QStringLiteral("x/x1.png"), QStringLiteral("y/y1.png")}
                                      << QStringList{QStringLiteral("x/toy=../y"), QStringLiteral("y/tox=../x")}
                                      << QStringList{QStringLiteral("x1"), QStringLiteral("x1"), QStringLiteral("y1"), QStringLiteral("y1")};
        QTest::newRow("link to a sibling tree") << QStringList{QStringLiteral("p/p1.png"), QStringLiteral("q/q1.svg")} << QStringList{QStringLiteral("p/toq=../q")}
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

    void stopDuringWalk()
    {
        QTemporaryDir root;
        for (int i = 0; i < 50; ++i) {
            touch(root.filePath(QStringLiteral("d%1/n%1.png").arg(i)));
        }
        ScanIconNamesThread thread;
        thread.setDirPaths({root.path(), root.path()});
        int seen = 0;
        // Runs on the worker: the first name raises the flag, as Stop would.
        connect(
            &thread,
            &ScanIconNamesThread::iconNameFinded,
            &thread,
            [&thread, &seen]() {
                ++seen;
                thread.stop();
            },
            Qt::DirectConnection);
        QSignalSpy finished(&thread, &QThread::finished);
        QVERIFY(runToEnd(thread));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(seen, 1);
        QVERIFY(thread.isNeedStop());

        // The next run clears the flag and walks every root from the first.
        disconnect(&thread, &ScanIconNamesThread::iconNameFinded, &thread, nullptr);
        QSignalSpy names(&thread, &ScanIconNamesThread::iconNameFinded);
        QVERIFY(runToEnd(thread));
        QCOMPARE(finished.count(), 2);
        QCOMPARE(names.count(), 100);
        QVERIFY(!thread.isNeedStop());
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

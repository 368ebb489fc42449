#include "catalogue/iconsmodel.h"
#include "catalogue/scaniconnamesthread.h"

#include "mainwindowaccess.h"
#include "testenvironment.h"
#include "windowfixture.h"

#include <QListView>
#include <QScrollBar>
#include <QSemaphore>
#include <QSortFilterProxyModel>

namespace
{
QStringList s_warnings;
QtMessageHandler s_previousHandler = nullptr;

void recordWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg || type == QtCriticalMsg) {
        s_warnings.append(message);
    }
    s_previousHandler(type, context, message);
}
}

class IconNamesFlowTest : public QObject
{
    Q_OBJECT

    StandardFixture m_fixture;
    int m_distinctNames = 0;

    static QStringList listed(QWidget *window)
    {
        QAbstractItemModel *model = windowChild<QListView>(window, "listViewIconNames")->model();
        QStringList names;
        for (int row = 0; row < model->rowCount(); ++row) {
            names.append(model->index(row, 0).data().toString());
        }
        return names;
    }

    static void verifyIdle(QWidget *window)
    {
        QVERIFY(!windowChild<QPushButton>(window, "pushButtonScanIconNamesStart")->isHidden());
        QVERIFY(windowChild<QPushButton>(window, "pushButtonScanIconNamesStop")->isHidden());
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    static ScanIconNamesThread *scanner(MainWindow *window)
    {
        return MainWindowAccess::d(window)->scanIconNamesThread;
    }

    // Holds the walk right after its first name until the test has pressed Stop.
    static void holdAfterFirstName(ScanIconNamesThread *thread, QSemaphore *firstName, int holdMilliseconds)
    {
        QObject::connect(
            thread,
            &ScanIconNamesThread::iconNameFinded,
            thread,
            [firstName, holdMilliseconds]() {
                if (firstName->available() == 0) {
                    firstName->release();
                    QThread::msleep(holdMilliseconds);
                }
            },
            Qt::DirectConnection);
    }

private Q_SLOTS:
    void initTestCase()
    {
        storeThemeSettings(m_fixture);
        // four-sizes corrupt-one twice odd24 base emblem emblem-green vector dialog-* (3), wide, no-sizes
        m_distinctNames = 13;
    }

    void init()
    {
        Settings settings;
        settings.setScanIconNamesOnStart(false);
    }

    void fullScan()
    {
        MainWindow window;
        window.show();
        window.openIconNames({QStringLiteral("from-command-line"), QStringLiteral("four-sizes")}, QString());
        QCOMPARE(listed(&window), (QStringList{QStringLiteral("four-sizes"), QStringLiteral("from-command-line")}));

        windowChild<QPushButton>(&window, "pushButtonScanIconNamesStart")->click();
        QCOMPARE(statusText(&window), QStringLiteral("Scanning icon names..."));
        QVERIFY(windowChild<QPushButton>(&window, "pushButtonScanIconNamesStart")->isHidden());
        QVERIFY(!windowChild<QPushButton>(&window, "pushButtonScanIconNamesStop")->isHidden());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::BusyCursor);

        QTRY_COMPARE_WITH_TIMEOUT(statusText(&window), QStringLiteral("Scan icon names done(count: %1).").arg(m_distinctNames), 20000);
        verifyIdle(&window);
        QVERIFY(!listed(&window).contains(QStringLiteral("from-command-line")));
        QCOMPARE(listed(&window).size(), m_distinctNames);
        // The loading pass ran: the decoration is the theme icon now.
        auto *model = window.findChild<IconsModel *>();
        QCOMPARE(model->icon(model->findIcon(QStringLiteral("four-sizes"))).name(), QStringLiteral("four-sizes"));
    }

    void stopDuringScan()
    {
        MainWindow window;
        window.show();
        QSemaphore firstName;
        holdAfterFirstName(scanner(&window), &firstName, 200);
        windowChild<QPushButton>(&window, "pushButtonScanIconNamesStart")->click();
        QVERIFY(firstName.tryAcquire(1, 10000));
        firstName.release();
        windowChild<QPushButton>(&window, "pushButtonScanIconNamesStop")->click();
        QTRY_COMPARE_WITH_TIMEOUT(statusText(&window), QStringLiteral("Scan icon names stoped(count: 1)."), 20000);
        verifyIdle(&window);

        // A second scan after a stopped one runs to its end.
        disconnect(scanner(&window), &ScanIconNamesThread::iconNameFinded, scanner(&window), nullptr);
        windowChild<QPushButton>(&window, "pushButtonScanIconNamesStart")->click();
        QTRY_COMPARE_WITH_TIMEOUT(statusText(&window), QStringLiteral("Scan icon names done(count: %1).").arg(m_distinctNames), 20000);
        verifyIdle(&window);
    }

    // While a scan runs the list is laid out in batches; a find must still bring a row
    // the batches have not reached into view.
    void findDuringScanShowsRow()
    {
        MainWindow window;
        window.resize(800, 600);
        window.show();
        QSemaphore firstName;
        holdAfterFirstName(scanner(&window), &firstName, 3000);
        windowChild<QPushButton>(&window, "pushButtonScanIconNamesStart")->click();
        QVERIFY(firstName.tryAcquire(1, 10000));
        firstName.release();
        auto *model = window.findChild<IconsModel *>();
        for (int i = 0; i < 2000; ++i) {
            model->addIcon(QStringLiteral("zz-added-%1").arg(i, 4, 10, QLatin1Char('0')));
        }
        QCoreApplication::processEvents();
        const QString name = QStringLiteral("zz-added-1999");
        window.openIconName(name);
        auto *list = windowChild<QListView>(&window, "listViewIconNames");
        QCOMPARE(list->currentIndex().data().toString(), name);
        QVERIFY(list->viewport()->rect().intersects(list->visualRect(list->currentIndex())));
        windowChild<QPushButton>(&window, "pushButtonScanIconNamesStop")->click();
        QTRY_VERIFY_WITH_TIMEOUT(statusText(&window).startsWith(QLatin1String("Scan icon names stoped")), 20000);
        verifyIdle(&window);
    }

    void stopAfterWalkEnded()
    {
        MainWindow window;
        window.show();
        windowChild<QPushButton>(&window, "pushButtonScanIconNamesStart")->click();
        // The walk ends while no event is handled, so every name is still queued.
        QVERIFY(scanner(&window)->wait(20000));
        windowChild<QPushButton>(&window, "pushButtonScanIconNamesStop")->click();
        QTRY_COMPARE_WITH_TIMEOUT(statusText(&window), QStringLiteral("Scan icon names stoped(count: %1).").arg(m_distinctNames), 20000);
        verifyIdle(&window);
    }

    void countsAreWrittenWithoutGrouping()
    {
        QTemporaryDir root;
        QDir().mkpath(root.filePath(QStringLiteral("apps")));
        for (int i = 0; i < 1234; ++i) {
            QFile file(root.filePath(QStringLiteral("apps/name%1.png").arg(i)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        MainWindow window;
        QIcon::setThemeSearchPaths({root.path()});
        QIcon::setFallbackSearchPaths({});
        windowChild<QPushButton>(&window, "pushButtonScanIconNamesStart")->click();
        QTRY_COMPARE_WITH_TIMEOUT(statusText(&window), QStringLiteral("Scan icon names done(count: 1234)."), 20000);
        verifyIdle(&window);
    }

    // While a scan runs, one row's size stands for all; once it ends each row must have
    // its own again, or a name longer than the first is cut off with no way to scroll to it.
    void rowsTakeTheirOwnWidthAfterScan()
    {
        // The list takes the last row's size for all; the long name sorts first.
        const QString longName = QStringLiteral("a-") + QString(120, QLatin1Char('x'));
        QTemporaryDir root;
        QDir().mkpath(root.filePath(QStringLiteral("apps")));
        for (const QString &name : {QStringLiteral("zz"), longName}) {
            QFile file(root.filePath(QStringLiteral("apps/%1.png").arg(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        MainWindow window;
        window.resize(800, 600);
        window.show();
        QIcon::setThemeSearchPaths({root.path()});
        QIcon::setFallbackSearchPaths({});
        windowChild<QPushButton>(&window, "pushButtonScanIconNamesStart")->click();
        QTRY_COMPARE_WITH_TIMEOUT(statusText(&window), QStringLiteral("Scan icon names done(count: 2)."), 20000);
        auto *list = windowChild<QListView>(&window, "listViewIconNames");
        const QModelIndex row = list->model()->index(0, 0);
        QCOMPARE(row.data().toString(), longName);
        QVERIFY(list->visualRect(row).width() >= list->fontMetrics().horizontalAdvance(longName));
        QVERIFY(list->horizontalScrollBar()->maximum() > 0);
    }

    void emptyRoots()
    {
        MainWindow window;
        QIcon::setThemeSearchPaths({});
        QIcon::setFallbackSearchPaths({});
        windowChild<QPushButton>(&window, "pushButtonScanIconNamesStart")->click();
        QTRY_COMPARE_WITH_TIMEOUT(statusText(&window), QStringLiteral("Scan icon names done(count: 0)."), 20000);
        verifyIdle(&window);
    }

    void filter()
    {
        MainWindow window;
        window.openIconNames({QStringLiteral("beta"), QStringLiteral("Alpha"), QStringLiteral("GAMMA-alpha"), QStringLiteral("alphabet")}, QString());
        QCOMPARE(listed(&window), (QStringList{QStringLiteral("Alpha"), QStringLiteral("alphabet"), QStringLiteral("beta"), QStringLiteral("GAMMA-alpha")}));
        auto *filterEdit = windowChild<QLineEdit>(&window, "lineEditIconNamesFilter");
        filterEdit->setText(QStringLiteral("alpha"));
        QCOMPARE(listed(&window), (QStringList{QStringLiteral("alphabet"), QStringLiteral("GAMMA-alpha")}));
        filterEdit->setText(QStringLiteral("a.p"));
        QCOMPARE(listed(&window), QStringList());
        // The filter stays while names arrive.
        filterEdit->setText(QStringLiteral("et"));
        window.findChild<IconsModel *>()->addIcon(QStringLiteral("zeta"));
        window.findChild<IconsModel *>()->addIcon(QStringLiteral("omega"));
        QCOMPARE(listed(&window), (QStringList{QStringLiteral("alphabet"), QStringLiteral("beta"), QStringLiteral("zeta")}));
        filterEdit->clear();
        QCOMPARE(listed(&window).size(), 6);
        QTRY_VERIFY(!QGuiApplication::overrideCursor());
    }

    void openingNames()
    {
        MainWindow window;
        // Two names, the first empty: the empty one is dropped from the list but opened.
        window.openIconNames({QString(), QStringLiteral("four-sizes")}, QString());
        QCOMPARE(listed(&window), QStringList{QStringLiteral("four-sizes")});
        QCOMPARE(windowChild<QLineEdit>(&window, "lineEditIconName")->text(), QString());

        auto *list = windowChild<QListView>(&window, "listViewIconNames");
        window.openIconNameByIndex(list->model()->index(0, 0));
        QCOMPARE(windowChild<QLineEdit>(&window, "lineEditIconName")->text(), QStringLiteral("four-sizes"));
        QCOMPARE(windowChild<QLabel>(&window, "labelFindedIconName")->text(), QStringLiteral("four-sizes"));

        windowChild<QLineEdit>(&window, "lineEditIconName")->setText(QStringLiteral("unchanged"));
        window.openIconNameByIndex(QModelIndex());
        QCOMPARE(windowChild<QLineEdit>(&window, "lineEditIconName")->text(), QStringLiteral("unchanged"));

        window.openIconNames({QStringLiteral("a"), QStringLiteral("vector")}, QStringLiteral("vector"));
        QCOMPARE(windowChild<QLineEdit>(&window, "lineEditIconName")->text(), QStringLiteral("vector"));
        window.openIconNames({}, QString());
        QCOMPARE(listed(&window), QStringList());
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
        {
            Settings settings;
            settings.setScanIconNamesOnStart(option);
        }
        MainWindow window;
        window.show();
        window.postArgumets();
        QVERIFY(statusText(&window).isEmpty());
        if (option) {
            QTRY_COMPARE_WITH_TIMEOUT(statusText(&window), QStringLiteral("Scan icon names done(count: %1).").arg(m_distinctNames), 20000);
        } else {
            QTest::qWait(400);
            QVERIFY(statusText(&window).isEmpty());
        }
        verifyIdle(&window);
    }

    void windowDestroyedDuringScan()
    {
        s_warnings.clear();
        s_previousHandler = qInstallMessageHandler(recordWarnings);
        {
            auto *window = new MainWindow;
            window->show();
            QSemaphore firstName;
            holdAfterFirstName(scanner(window), &firstName, 300);
            windowChild<QPushButton>(window, "pushButtonScanIconNamesStart")->click();
            QVERIFY(firstName.tryAcquire(1, 10000));
            delete window;
        }
        QCoreApplication::processEvents();
        qInstallMessageHandler(s_previousHandler);
        for (const QString &warning : qAsConst(s_warnings)) {
            QVERIFY2(!warning.contains(QLatin1String("Destroyed while thread")), qPrintable(warning));
        }
        // The busy cursor of a scan that never finished stays pushed; take it off for the next tests.
        while (QGuiApplication::overrideCursor()) {
            QGuiApplication::restoreOverrideCursor();
        }
    }
};

ZEL_TEST_MAIN(IconNamesFlowTest)

#include "iconnamesflowtest.moc"

#include "app/mainwindow.h"

#include "applicants/applicantssortfiltermodel.h"
#include "remarks/iconsremarksdelegate.h"
#include "settingsprobeclient.h"
#include "testenvironment.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QToolButton>

class MainWindowFrameTest : public QObject
{
    Q_OBJECT

private:
    template<typename T>
    static T *child(QWidget *window, const char *name)
    {
        return window->findChild<T *>(QLatin1String(name));
    }

    static QToolButton *settingsButton(QWidget *window)
    {
        const auto buttons = window->findChildren<QToolButton *>(QString(), Qt::FindDirectChildrenOnly);
        return buttons.size() == 1 ? buttons.first() : nullptr;
    }

private Q_SLOTS:
    void init()
    {
        QFile::remove(TestEnvironment::settingsFilePath());
    }

    void firstStart()
    {
        MainWindow window;
        QCOMPARE(window.size(), QSize(1161, 823));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QVERIFY(child<QPushButton>(&window, "pushButtonScanIconNamesStop")->isHidden());
        QVERIFY(!child<QPushButton>(&window, "pushButtonScanIconNamesStart")->isHidden());
        QVERIFY(child<QGroupBox>(&window, "groupBoxFindedIconRemarks")->isHidden());
        QVERIFY(!child<QAction>(&window, "actionShowRemarksInIconNames")->isChecked());
        QVERIFY(!child<QAction>(&window, "actionShowRemarksAboutFindedIcon")->isChecked());
        QVERIFY(!child<QCheckBox>(&window, "checkBoxApplicantsExactMatchBySearchIconName")->isChecked());
        QVERIFY(!dynamic_cast<IconsRemarksDelegate *>(child<QListView>(&window, "listViewIconNames")->itemDelegate()));

        // Stretch factors share the space: 3 to 5, 1 to 3, 2 to 1.
        const QList<int> main = child<QSplitter>(&window, "splitterMain")->sizes();
        QVERIFY2(main.at(0) < main.at(1), qPrintable(QStringLiteral("%1 %2").arg(main.at(0)).arg(main.at(1))));
        const QList<int> applicants = child<QSplitter>(&window, "splitterApplicantsRemarks")->sizes();
        QVERIFY(applicants.at(1) == 0 || applicants.at(0) > applicants.at(1));

        QToolButton *button = settingsButton(&window);
        QVERIFY(button);
        QCOMPARE(button->size(), QSize(32, 32));
        QCOMPARE(button->geometry().right(), window.width() - 2);
        QCOMPARE(button->y(), window.menuBar()->height() + 1);
        QCOMPARE(child<QLineEdit>(&window, "lineEditIconNamesFilter")->placeholderText(), QStringLiteral("Filter"));
        QCOMPARE(child<QAction>(&window, "actionViewIconsRemarks")->shortcut(), QKeySequence(Qt::Key_F2));
        QCOMPARE(child<QAction>(&window, "actionQuit")->shortcut(), QKeySequence(QKeySequence::Quit));
    }

    void settingsButtonFollowsResize_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("narrower") << QSize(1100, 850);
        QTest::newRow("larger") << QSize(1400, 950);
    }

    void settingsButtonFollowsResize()
    {
        QFETCH(QSize, size);
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.resize(size);
        QTRY_COMPARE(window.size(), size);
        QToolButton *button = settingsButton(&window);
        QCOMPARE(button->x(), window.width() - button->width() - 1);
        QCOMPARE(button->y(), window.menuBar()->height() + 1);
    }

    void remarksDelegateToggle()
    {
        MainWindow window;
        auto *list = child<QListView>(&window, "listViewIconNames");
        QAbstractItemDelegate *original = list->itemDelegate();
        QAction *action = child<QAction>(&window, "actionShowRemarksInIconNames");
        action->trigger();
        QVERIFY(dynamic_cast<IconsRemarksDelegate *>(list->itemDelegate()));
        // The check mark is not what decides: put it out of step and trigger again.
        action->setChecked(true);
        action->trigger();
        QCOMPARE(list->itemDelegate(), original);
    }

    void remarksGroupToggle()
    {
        MainWindow window;
        window.show();
        auto *group = child<QGroupBox>(&window, "groupBoxFindedIconRemarks");
        QAction *action = child<QAction>(&window, "actionShowRemarksAboutFindedIcon");
        QVERIFY(group->isHidden());
        action->trigger();
        QVERIFY(!group->isHidden());
        action->setChecked(false);
        action->trigger();
        QVERIFY(group->isHidden());
        action->setChecked(false);
        action->trigger();
        QVERIFY(!group->isHidden());
    }

    void exactMatchBoxSetsApplicantFilter()
    {
        MainWindow window;
        auto *box = child<QCheckBox>(&window, "checkBoxApplicantsExactMatchBySearchIconName");
        auto *proxy = qobject_cast<ApplicantsSortFilterModel *>(child<QListView>(&window, "listViewApplicantsIconPaths")->model());
        QVERIFY(proxy);

        box->setChecked(true);
        QCOMPARE(proxy->iconNameFilter(), QString());

        child<QLineEdit>(&window, "lineEditIconName")->setText(QStringLiteral("no-such-icon-xyz"));
        child<QPushButton>(&window, "pushButtonFindIcon")->click();
        QCOMPARE(proxy->iconNameFilter(), QStringLiteral("no-such-icon-xyz"));

        box->setChecked(false);
        QCOMPARE(proxy->iconNameFilter(), QString());
        box->setChecked(true);
        QCOMPARE(proxy->iconNameFilter(), QStringLiteral("no-such-icon-xyz"));
    }

    void saveAndRestore()
    {
        QByteArray mainState;
        QList<int> mainSizes;
        {
            MainWindow window;
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            window.resize(1250, 900);
            QTRY_COMPARE(window.size(), QSize(1250, 900));
            auto *splitter = child<QSplitter>(&window, "splitterMain");
            splitter->setSizes({300, 950});
            mainSizes = splitter->sizes();
            mainState = splitter->saveState();
            child<QAction>(&window, "actionShowRemarksInIconNames")->trigger();
            child<QAction>(&window, "actionShowRemarksAboutFindedIcon")->trigger();
            child<QCheckBox>(&window, "checkBoxApplicantsExactMatchBySearchIconName")->setChecked(true);
        }

        // The file itself, read by a fresh process, holds what the window saved.
        const auto values = runSettingsProbe();
        QCOMPARE(values.value(QStringLiteral("ShowRemarksInIconNames")), QStringLiteral("1"));
        QCOMPARE(values.value(QStringLiteral("ShowRemarksInFindedIcon")), QStringLiteral("1"));
        QCOMPARE(values.value(QStringLiteral("ApplicantsExactMatchBySearchIconName")), QStringLiteral("1"));
        QVERIFY(values.value(QStringLiteral("MainWindowGeometry")).toInt() > 0);
        for (const char *key : {"SplitterMainState", "SplitterSecondState", "SplitterFindedIconState", "SplitterApplicantsRemarksState"}) {
            QVERIFY2(values.value(QLatin1String(key)).toInt() > 0, key);
        }
        // Only what the window itself saves was written on close.
        QCOMPARE(values.value(QStringLiteral("PreviewIconSize")), QStringLiteral("256"));
        QFile file(TestEnvironment::settingsFilePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY(!text.contains("PreviewIconSize"));
        QVERIFY(!text.contains("IconThemeName"));

        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.size(), QSize(1250, 900));
        QCOMPARE(child<QSplitter>(&window, "splitterMain")->sizes(), mainSizes);
        QVERIFY(dynamic_cast<IconsRemarksDelegate *>(child<QListView>(&window, "listViewIconNames")->itemDelegate()));
        QVERIFY(child<QAction>(&window, "actionShowRemarksInIconNames")->isChecked());
        QVERIFY(!child<QGroupBox>(&window, "groupBoxFindedIconRemarks")->isHidden());
        QVERIFY(child<QAction>(&window, "actionShowRemarksAboutFindedIcon")->isChecked());
        QVERIFY(child<QCheckBox>(&window, "checkBoxApplicantsExactMatchBySearchIconName")->isChecked());
    }

    void garbledFileKeepsUnsavedValues()
    {
        const QString path = TestEnvironment::settingsFilePath();
        QDir().mkpath(QFileInfo(path).path());
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("[General]\nScanIconNamesIconSize=banana\nPreviewIconSize=-5\nShowRemarksInIconNames=perhaps\n"
                       "IconThemeSearchPaths=42\nMainWindowGeometry=@ByteArray(garbage)\nSplitterMainState=@ByteArray(\\0\\0\\xff)\n"
                       "IconPathSortSectionsPolicy=Size, Bogus\n");
        }
        {
            MainWindow window;
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QCOMPARE(child<QListView>(&window, "listViewIconNames")->iconSize(), QSize(0, 0));
            // "perhaps" is true by Qt's own conversion.
            QVERIFY(dynamic_cast<IconsRemarksDelegate *>(child<QListView>(&window, "listViewIconNames")->itemDelegate()));
            QCOMPARE(QIcon::themeSearchPaths(), QStringList{QStringLiteral("42")});
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY2(text.contains("ScanIconNamesIconSize=banana"), text.constData());
        QVERIFY(text.contains("PreviewIconSize=-5"));
        QVERIFY(text.contains("IconPathSortSectionsPolicy=Size, Bogus"));
    }
};

ZEL_TEST_MAIN(MainWindowFrameTest)

#include "mainwindowframetest.moc"

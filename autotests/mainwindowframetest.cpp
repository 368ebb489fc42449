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

    void remarksDelegateToggle()
    {
        MainWindow window;
        auto *list = windowChild<QListView>(&window, "listViewIconNames");
        QAbstractItemDelegate *original = list->itemDelegate();
        QAction *action = windowChild<QAction>(&window, "actionShowRemarksInIconNames");
        action->trigger();
        QVERIFY(dynamic_cast<IconsRemarksDelegate *>(list->itemDelegate()));
        // The check mark is not what decides: put it out of step and trigger again.
        action->setChecked(true);
        action->trigger();
        QCOMPARE(list->itemDelegate(), original);
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
            auto *splitter = windowChild<QSplitter>(&window, "splitterMain");
            splitter->setSizes({300, 950});
            mainSizes = splitter->sizes();
            mainState = splitter->saveState();
            windowChild<QAction>(&window, "actionShowRemarksInIconNames")->trigger();
            windowChild<QAction>(&window, "actionShowRemarksAboutFindedIcon")->trigger();
            windowChild<QCheckBox>(&window, "checkBoxApplicantsExactMatchBySearchIconName")->setChecked(true);
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
        QCOMPARE(windowChild<QSplitter>(&window, "splitterMain")->sizes(), mainSizes);
        QVERIFY(dynamic_cast<IconsRemarksDelegate *>(windowChild<QListView>(&window, "listViewIconNames")->itemDelegate()));
        QVERIFY(windowChild<QAction>(&window, "actionShowRemarksInIconNames")->isChecked());
        QVERIFY(!windowChild<QGroupBox>(&window, "groupBoxFindedIconRemarks")->isHidden());
        QVERIFY(windowChild<QAction>(&window, "actionShowRemarksAboutFindedIcon")->isChecked());
        QVERIFY(windowChild<QCheckBox>(&window, "checkBoxApplicantsExactMatchBySearchIconName")->isChecked());
    }

    void garbledFileKeepsUnsavedValues()
    {
        const QString path = TestEnvironment::settingsFilePath();
        QDir().mkpath(QFileInfo(path).path());
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(
                "[General]\nScanIconNamesIconSize=banana\nPreviewIconSize=-5\nShowRemarksInIconNames=perhaps\n"
                "IconThemeSearchPaths=42\nMainWindowGeometry=@ByteArray(garbage)\nSplitterMainState=@ByteArray(\\0\\0\\xff)\n"
                "IconPathSortSectionsPolicy=Size, Bogus\n");
        }
        {
            MainWindow window;
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QCOMPARE(windowChild<QListView>(&window, "listViewIconNames")->iconSize(), QSize(0, 0));
            // "perhaps" is true by Qt's own conversion.
            QVERIFY(dynamic_cast<IconsRemarksDelegate *>(windowChild<QListView>(&window, "listViewIconNames")->itemDelegate()));
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

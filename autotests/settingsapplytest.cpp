#include "app/mainwindow.h"

#include "applicants/applicantssortfiltermodel.h"
#include "catalogue/scaniconnamesthread.h"
#include "mainwindowaccess.h"
#include "modaldriver.h"
#include "settingsprobeclient.h"
#include "standardfixture.h"
#include "testenvironment.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>

class SettingsApplyTest : public QObject
{
    Q_OBJECT

private:
    static QToolButton *settingsButton(QWidget *window)
    {
        const auto buttons = window->findChildren<QToolButton *>(QString(), Qt::FindDirectChildrenOnly);
        return buttons.size() == 1 ? buttons.first() : nullptr;
    }

    static QByteArray settingsFileBytes()
    {
        QFile file(TestEnvironment::settingsFilePath());
        if (!file.open(QIODevice::ReadOnly)) {
            return QByteArray("<none>");
        }
        return file.readAll();
    }

    // Opens the dialog from the menu, lets the action change it, then presses OK or Cancel.
    static void runDialog(MainWindow *window, std::function<void(SettingsDialog *)> action, bool accept)
    {
        bool reached = false;
        whenModal<SettingsDialog>([&](SettingsDialog *dialog) {
            reached = true;
            action(dialog);
            if (accept) {
                dialog->accept();
            } else {
                dialog->reject();
            }
        });
        window->execSettings();
        QVERIFY(reached);
    }

    static void restoreApplicationAttributes()
    {
        QCoreApplication::setAttribute(Qt::AA_Use96Dpi, false);
        QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps, false);
    }

    QStringList m_paths;

private Q_SLOTS:
    void initTestCase()
    {
        m_paths = QIcon::themeSearchPaths();
    }

    void init()
    {
        QFile::remove(TestEnvironment::settingsFilePath());
        restoreApplicationAttributes();
    }

    void entriesChooseTheTab()
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        int tab = -1;
        whenModal<SettingsDialog>([&](SettingsDialog *dialog) {
            tab = dialog->currentTab();
            dialog->reject();
        });
        QToolButton *button = settingsButton(&window);
        QVERIFY(button);
        button->click();
        QCOMPARE(tab, int(SettingsDialog::TabIconsOptions));

        tab = -1;
        whenModal<SettingsDialog>([&](SettingsDialog *dialog) {
            tab = dialog->currentTab();
            dialog->reject();
        });
        windowChild<QAction>(&window, "actionSettings")->trigger();
        QCOMPARE(tab, int(SettingsDialog::TabGeneral));
    }

    void viewSizeShownAsStandardSize_data()
    {
        QTest::addColumn<int>("viewSize");
        QTest::addColumn<int>("shown");
        QTest::newRow("between sizes") << 20 << 22;
        QTest::newRow("above the largest") << 300 << 16;
        QTest::newRow("standard") << 48 << 48;
    }

    void viewSizeShownAsStandardSize()
    {
        QFETCH(int, viewSize);
        QFETCH(int, shown);
        MainWindow window;
        auto *names = windowChild<QListView>(&window, "listViewIconNames");
        MainWindow::setIconSize(names, viewSize);

        QString label;
        runDialog(
            &window,
            [&](SettingsDialog *dialog) {
                label = windowChild<QLabel>(dialog, "labelScanIconNamesIconSize")->text();
            },
            true);
        QCOMPARE(label, QString::number(shown) + QStringLiteral(" px"));
        QCOMPARE(names->iconSize(), QSize(shown, shown));
        QCOMPARE(runSettingsProbe().value(QStringLiteral("ScanIconNamesIconSize")), QString::number(shown));
    }

    void restoreDefaultsWritesNothingUntilOk()
    {
        MainWindow window;
        {
            Settings settings;
            settings.setScanIconNamesIconSize(64);
            settings.setSearchIconSuffixes({QStringLiteral("gif")});
        }
        const QByteArray before = settingsFileBytes();
        runDialog(
            &window,
            [](SettingsDialog *dialog) {
                windowChild<QDialogButtonBox>(dialog, "buttonBox")->button(QDialogButtonBox::RestoreDefaults)->click();
                QVERIFY(dialog->isVisible());
            },
            false);
        QCOMPARE(settingsFileBytes(), before);

        bool systemBox = false;
        runDialog(
            &window,
            [&](SettingsDialog *dialog) {
                dialog->setUsingSystemIconsTheme(false);
                windowChild<QDialogButtonBox>(dialog, "buttonBox")->button(QDialogButtonBox::RestoreDefaults)->click();
                systemBox = dialog->isUsingSystemIconsTheme();
            },
            true);
        QVERIFY(!systemBox);
        const auto stored = runSettingsProbe();
        QCOMPARE(stored.value(QStringLiteral("ScanIconNamesIconSize")), QStringLiteral("16"));
        QCOMPARE(stored.value(QStringLiteral("SearchIconSuffixes")), QStringLiteral("[png|jpg|jpeg|svg|svgz|xcf|xpm]"));
        QCOMPARE(stored.value(QStringLiteral("UsingSystemIconsTheme")), QStringLiteral("0"));
    }

    void okWritesAndApplies_data()
    {
        QTest::addColumn<bool>("usingSystemTheme");
        QTest::addColumn<QString>("caption");
        QTest::newRow("custom theme") << false << QStringLiteral("Current custom options:");
        // The box only disables the fields; what they hold is applied either way.
        QTest::newRow("system box checked") << true << QStringLiteral("Current system options:");
    }

    void okWritesAndApplies()
    {
        QFETCH(bool, usingSystemTheme);
        QFETCH(QString, caption);

        StandardFixture fixture;
        MainWindow window;
        MainWindowPrivate *d = MainWindowAccess::d(&window);
        const QList<IconPathSection> policy{IconPathSection::Name,
                                            IconPathSection::Size,
                                            IconPathSection::MainPath,
                                            IconPathSection::Theme,
                                            IconPathSection::Category};
        const QStringList suffixes{QStringLiteral("svg"), QStringLiteral("png")};

        runDialog(
            &window,
            [&](SettingsDialog *dialog) {
                dialog->setScanIconNamesOnStart(true);
                dialog->setScanIconNamesIconSize(32);
                dialog->setApplicantsIconPathsIconSize(64);
                dialog->setPreviewIconSizeEnable(true);
                dialog->setPreviewIconSize(96);
                dialog->setSearchIconSuffixes(suffixes);
                dialog->setUsingSystemIconsTheme(usingSystemTheme);
                dialog->setThemeSearchPaths({fixture.theme.searchPath()});
                dialog->setFallbackSearchPaths({fixture.fallbackPath()});
                dialog->setThemeName(fixture.theme.name());
                dialog->setFallbackThemeName(QStringLiteral("hicolor"));
                dialog->setApplicantsSortSectionsPolicy(policy);
                dialog->setUse96Dpi(true);
                dialog->setUseHighDpiPixmaps(true);
            },
            true);

        QCOMPARE(QIcon::themeSearchPaths(), QStringList{fixture.theme.searchPath()});
        QCOMPARE(QIcon::fallbackSearchPaths(), QStringList{fixture.fallbackPath()});
        QCOMPARE(QIcon::themeName(), fixture.theme.name());
        QCOMPARE(QIcon::fallbackThemeName(), QStringLiteral("hicolor"));
        QVERIFY(QIcon::hasThemeIcon(QStringLiteral("four-sizes")));
        QCOMPARE(windowChild<QListView>(&window, "listViewIconNames")->iconSize(), QSize(32, 32));
        QCOMPARE(windowChild<QListView>(&window, "listViewApplicantsIconPaths")->iconSize(), QSize(64, 64));
        QCOMPARE(d->scanIconNamesThread->searchIconSuffixes(), suffixes);
        QCOMPARE(d->applicantsSortFilterModel->sortSectionsPolicy(), policy);
        QVERIFY(d->scanIconNamesOnStart);
        QVERIFY(d->previewIconSizeEnable);
        QCOMPARE(d->previewIconSize, 96);
        QCOMPARE(d->usingSystemIconsTheme, usingSystemTheme);
        QVERIFY(QCoreApplication::testAttribute(Qt::AA_Use96Dpi));
        QVERIFY(QCoreApplication::testAttribute(Qt::AA_UseHighDpiPixmaps));
        QCOMPARE(windowChild<QGroupBox>(&window, "groupBoxIconsOptions")->title(), caption);
        QCOMPARE(windowChild<QLabel>(&window, "labelThemeName")->text(), fixture.theme.name());

        const auto stored = runSettingsProbe();
        QCOMPARE(stored.value(QStringLiteral("ScanIconNamesOnStart")), QStringLiteral("1"));
        QCOMPARE(stored.value(QStringLiteral("ScanIconNamesIconSize")), QStringLiteral("32"));
        QCOMPARE(stored.value(QStringLiteral("ApplicantsIconPathsIconSize")), QStringLiteral("64"));
        QCOMPARE(stored.value(QStringLiteral("PreviewIconSizeEnable")), QStringLiteral("1"));
        QCOMPARE(stored.value(QStringLiteral("PreviewIconSize")), QStringLiteral("96"));
        QCOMPARE(stored.value(QStringLiteral("SearchIconSuffixes")), QStringLiteral("[svg|png]"));
        QCOMPARE(stored.value(QStringLiteral("UsingSystemIconsTheme")), usingSystemTheme ? QStringLiteral("1") : QStringLiteral("0"));
        QCOMPARE(stored.value(QStringLiteral("IconThemeSearchPaths")), QLatin1Char('[') + fixture.theme.searchPath() + QLatin1Char(']'));
        QCOMPARE(stored.value(QStringLiteral("IconFallbackSearchPaths")), QLatin1Char('[') + fixture.fallbackPath() + QLatin1Char(']'));
        QCOMPARE(stored.value(QStringLiteral("IconThemeName")), fixture.theme.name());
        QCOMPARE(stored.value(QStringLiteral("IconFallbackThemeName")), QStringLiteral("hicolor"));
        QCOMPARE(stored.value(QStringLiteral("ApplicationAttributeUse96Dpi")), QStringLiteral("1"));
        QCOMPARE(stored.value(QStringLiteral("ApplicationAttributeUseHighDpiPixmaps")), QStringLiteral("1"));
        QCOMPARE(stored.value(QStringLiteral("IconPathSortSectionsPolicy")), QStringLiteral("4,2,0,1,3"));
        QCOMPARE(stored.value(QStringLiteral("ApplicationAttributeEnableHighDpiScaling")), QStringLiteral("0"));

        QIcon::setThemeSearchPaths(m_paths);
    }

    void cancelLeavesEverything()
    {
        MainWindow window;
        MainWindowPrivate *d = MainWindowAccess::d(&window);
        const QString themeName = QIcon::themeName();
        const QStringList paths = QIcon::themeSearchPaths();
        const QStringList suffixes = d->scanIconNamesThread->searchIconSuffixes();
        const QSize viewSize = windowChild<QListView>(&window, "listViewIconNames")->iconSize();
        const QByteArray before = settingsFileBytes();

        runDialog(
            &window,
            [](SettingsDialog *dialog) {
                dialog->setThemeName(QStringLiteral("elsewhere"));
                dialog->setThemeSearchPaths({QStringLiteral("/nowhere")});
                dialog->setSearchIconSuffixes({QStringLiteral("gif")});
                dialog->setScanIconNamesIconSize(128);
                dialog->setUse96Dpi(true);
                dialog->setEnableHighDpiScaling(true);
            },
            false);

        QCOMPARE(settingsFileBytes(), before);
        QCOMPARE(QIcon::themeName(), themeName);
        QCOMPARE(QIcon::themeSearchPaths(), paths);
        QCOMPARE(d->scanIconNamesThread->searchIconSuffixes(), suffixes);
        QCOMPARE(windowChild<QListView>(&window, "listViewIconNames")->iconSize(), viewSize);
        QVERIFY(!QCoreApplication::testAttribute(Qt::AA_Use96Dpi));
    }

    void attributeChangesAskNoRestart_data()
    {
        QTest::addColumn<bool>("use96Dpi");
        QTest::addColumn<bool>("highDpiPixmaps");
        QTest::newRow("assume 96 dpi") << true << false;
        QTest::newRow("high-dpi pixmaps") << false << true;
        QTest::newRow("nothing changed") << false << false;
    }

    void attributeChangesAskNoRestart()
    {
        QFETCH(bool, use96Dpi);
        QFETCH(bool, highDpiPixmaps);
        MainWindow window;
        ModalWatcher<QMessageBox> questions;
        runDialog(
            &window,
            [&](SettingsDialog *dialog) {
                dialog->setUse96Dpi(use96Dpi);
                dialog->setUseHighDpiPixmaps(highDpiPixmaps);
            },
            true);
        QCOMPARE(questions.count(), 0);
        QCOMPARE(QCoreApplication::testAttribute(Qt::AA_Use96Dpi), use96Dpi);
        QCOMPARE(QCoreApplication::testAttribute(Qt::AA_UseHighDpiPixmaps), highDpiPixmaps);
    }

    void scalingChangeOffersRestart_data()
    {
        QTest::addColumn<bool>("enable");
        QTest::addColumn<bool>("disable");
        QTest::newRow("enable") << true << false;
        QTest::newRow("disable") << false << true;
        QTest::newRow("both") << true << true;
    }

    void scalingChangeOffersRestart()
    {
        QFETCH(bool, enable);
        QFETCH(bool, disable);
        MainWindow window;
        QString title;
        QString text;
        QMessageBox::StandardButtons buttons;
        runDialog(
            &window,
            [&](SettingsDialog *dialog) {
                dialog->setEnableHighDpiScaling(enable);
                dialog->setDisableHighDpiScaling(disable);
                whenModal<QMessageBox>([&](QMessageBox *box) {
                    title = box->windowTitle();
                    text = box->text();
                    buttons = box->standardButtons();
                    box->button(QMessageBox::Cancel)->click();
                });
            },
            true);
        QCOMPARE(title, QStringLiteral("Information"));
        QCOMPARE(text, QStringLiteral("High-dpi scaling attributes will be changed after application restart\nRestart now?"));
        QCOMPARE(buttons, QMessageBox::Ok | QMessageBox::Cancel);
        QVERIFY(window.isEnabled());

        const auto stored = runSettingsProbe(QStringLiteral("highdpi"));
        QCOMPARE(stored.value(QStringLiteral("enable")), enable ? QStringLiteral("1") : QStringLiteral("0"));
        QCOMPARE(stored.value(QStringLiteral("disable")), disable ? QStringLiteral("1") : QStringLiteral("0"));

        // Reopened, the dialog shows the scaling in effect, and OK then stores it back unasked.
        bool shownEnable = true;
        bool shownDisable = true;
        ModalWatcher<QMessageBox> questions;
        runDialog(
            &window,
            [&](SettingsDialog *dialog) {
                shownEnable = dialog->enableHighDpiScaling();
                shownDisable = dialog->disableHighDpiScaling();
            },
            true);
        QCOMPARE(shownEnable, QCoreApplication::testAttribute(Qt::AA_EnableHighDpiScaling));
        QCOMPARE(shownDisable, QCoreApplication::testAttribute(Qt::AA_DisableHighDpiScaling));
        QCOMPARE(questions.count(), 0);
        const auto restored = runSettingsProbe(QStringLiteral("highdpi"));
        QCOMPARE(restored.value(QStringLiteral("enable")), QStringLiteral("0"));
        QCOMPARE(restored.value(QStringLiteral("disable")), QStringLiteral("0"));
    }
};

ZEL_TEST_MAIN(SettingsApplyTest)

#include "settingsapplytest.moc"

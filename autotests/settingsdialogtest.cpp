#include "settings/lineeditdialog.h"
#include "settings/settingsdialog.h"
#include "settings/stringlistedit.h"
#include "settings/stringlistorderedit.h"

#include "app/constants.h"
#include "catalogue/scaniconnamesthread.h"
#include "applicants/applicantssortfiltermodel.h"
#include "testhelpers.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QMessageBox>
#include <QSlider>
#include <QToolButton>

Q_DECLARE_METATYPE(QList<IconPathSection>)

class SettingsDialogTest : public ZelTestCase
{
    Q_OBJECT

    static void makeCurrent(QWidget *editor, int row)
    {
        auto *view = windowChild<QListView>(editor, "listView");
        view->setCurrentIndex(row < 0 ? QModelIndex() : view->model()->index(row, 0));
    }

    static bool enabled(QWidget *editor, const char *button)
    {
        return windowChild<QToolButton>(editor, button)->isEnabled();
    }

    // Opens the dialog from the window, lets the action change it, then presses OK or Cancel.
    static bool runDialog(MainWindow *window, const std::function<void(SettingsDialog *)> &action, bool accept)
    {
        ModalAnswer<SettingsDialog> answer([&](SettingsDialog *dialog) {
            action(dialog);
            accept ? dialog->accept() : dialog->reject();
        });
        window->execSettings();
        return answer.count() == 1;
    }

private Q_SLOTS:
    void init()
    {
        QFile::remove(settingsFilePath());
        QCoreApplication::setAttribute(Qt::AA_Use96Dpi, false);
        QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps, false);
    }

    void sizesShownAsStandardSizes_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("shown");
        QTest::newRow("negative") << -5 << 16;
        QTest::newRow("smallest") << 16 << 16;
        QTest::newRow("just above smallest") << 17 << 22;
        QTest::newRow("exact") << 96 << 96;
        QTest::newRow("largest") << 256 << 256;
        QTest::newRow("above largest") << 257 << 16;
    }

    void sizesShownAsStandardSizes()
    {
        QFETCH(int, size);
        QFETCH(int, shown);
        SettingsDialog dialog;
        dialog.setScanIconNamesIconSize(size);
        dialog.setApplicantsIconPathsIconSize(size);
        dialog.setPreviewIconSize(size);
        QCOMPARE(QList<int>({dialog.scanIconNamesIconSize(), dialog.applicantsIconPathsIconSize(), dialog.previewIconSize()}), QList<int>({shown, shown, shown}));
        for (const char *label : {"labelScanIconNamesIconSize", "labelApplicantsIconPathsIconSize", "labelPreviewIconSize"}) {
            QCOMPARE(labelText(&dialog, label), QString::number(shown) + " px");
        }
        // The window's own list size goes the same way, and OK stores what was shown.
        MainWindow window;
        auto *names = windowChild<QListView>(&window, "listViewIconNames");
        MainWindow::setIconSize(names, size);
        QVERIFY(runDialog(&window, [](SettingsDialog *) {}, true));
        QCOMPARE(names->iconSize(), QSize(shown, shown));
        QCOMPARE(runSettingsProbe().value("ScanIconNamesIconSize"), QString::number(shown));
    }

    void boxesEnableTheirFieldsAndKeepThem()
    {
        SettingsDialog dialog;
        dialog.setPreviewIconSizeEnable(true);
        QVERIFY(windowChild<QSlider>(&dialog, "horizontalSliderPreviewIconSize")->isEnabled());
        dialog.setPreviewIconSizeEnable(false);
        QVERIFY(!windowChild<QSlider>(&dialog, "horizontalSliderPreviewIconSize")->isEnabled());
        QVERIFY(!windowChild<QLabel>(&dialog, "labelPreviewIconSize")->isEnabled());
        dialog.setThemeSearchPaths({"/a", "/b"});
        dialog.setThemeName("mine");
        for (bool system : {false, true}) {
            dialog.setUsingSystemIconsTheme(system);
            for (const char *name : {"groupBoxThemeSearchPaths", "groupBoxFallbackSearchPaths", "widgetThemeNames"}) {
                QCOMPARE(windowChild<QWidget>(&dialog, name)->isEnabled(), !system);
            }
        }
        QCOMPARE(dialog.themeSearchPaths(), QStringList({"/a", "/b"}));
        QCOMPARE(dialog.themeName(), QString("mine"));
        dialog.setEnableHighDpiScaling(true);
        dialog.setDisableHighDpiScaling(true);
        QVERIFY(dialog.enableHighDpiScaling() && dialog.disableHighDpiScaling());
    }

    void restoreDefaults()
    {
        MainWindow window;
        Settings().setScanIconNamesIconSize(64);
        const QByteArray before = FixtureTheme::readFile(settingsFilePath());
        QVERIFY(runDialog(
            &window,
            [](SettingsDialog *dialog) {
                windowChild<QDialogButtonBox>(dialog, "buttonBox")->button(QDialogButtonBox::RestoreDefaults)->click();
            },
            false));
        QCOMPARE(FixtureTheme::readFile(settingsFilePath()), before);

        QVERIFY(runDialog(
            &window,
            [](SettingsDialog *dialog) {
                dialog->setScanIconNamesOnStart(true);
                dialog->setApplicantsIconPathsIconSize(128);
                dialog->setPreviewIconSizeEnable(true);
                dialog->setPreviewIconSize(32);
                dialog->setSearchIconSuffixes({"gif"});
                dialog->setThemeName("mine");
                dialog->setFallbackThemeName("other");
                dialog->setThemeSearchPaths({"/nowhere"});
                dialog->setApplicantsSortSectionsPolicy({Name, Size});
                dialog->setUsingSystemIconsTheme(false);
                dialog->setUse96Dpi(true);
                windowChild<QDialogButtonBox>(dialog, "buttonBox")->button(QDialogButtonBox::RestoreDefaults)->click();
                QVERIFY(dialog->isVisible());
                // The system box and the attributes are not among what defaults restore.
                QVERIFY(!dialog->isUsingSystemIconsTheme());
                QVERIFY(dialog->use96Dpi());
                QVERIFY(!windowChild<QSlider>(dialog, "horizontalSliderPreviewIconSize")->isEnabled());
                QCOMPARE(dialog->themeSearchPaths(), Settings::systemIconThemeSearchPaths());
                QCOMPARE(dialog->fallbackSearchPaths(), Settings::systemIconFallbackSearchPaths());
                QCOMPARE(dialog->fallbackThemeName(), Settings::systemIconFallbackThemeName());
                QCOMPARE(windowChild<StringListOrderEdit>(dialog, "widgetApplicantsSortPolicy")->items(),
                         QStringList({"Main path", "Icons theme", "Size", "Category", "Icon name"}));
            },
            true));
        const auto stored = runSettingsProbe();
        QCOMPARE(stored.value("ScanIconNamesIconSize"), QString("16"));
        QCOMPARE(stored.value("ScanIconNamesOnStart"), QString("0"));
        QCOMPARE(stored.value("ApplicantsIconPathsIconSize"), QString("16"));
        QCOMPARE(stored.value("PreviewIconSizeEnable"), QString("0"));
        QCOMPARE(stored.value("PreviewIconSize"), QString("256"));
        QCOMPARE(stored.value("SearchIconSuffixes"), QString("[png|jpg|jpeg|svg|svgz|xcf|xpm]"));
        QCOMPARE(stored.value("IconThemeName"), Settings::systemIconThemeName());
        QCOMPARE(stored.value("IconPathSortSectionsPolicy"), QString("0,1,2,3,4"));
        QCOMPARE(stored.value("UsingSystemIconsTheme"), QString("0"));
    }

    void sortPolicy_data()
    {
        QTest::addColumn<QList<IconPathSection>>("policy");
        QTest::newRow("default") << Settings::defaultApplicantsSortSectionsPolicy();
        QTest::newRow("reversed") << QList<IconPathSection>{Name, Category, Size, Theme, MainPath};
        QTest::newRow("partial") << QList<IconPathSection>{Size, Name};
        QTest::newRow("empty") << QList<IconPathSection>{};
    }

    void sortPolicy()
    {
        QFETCH(QList<IconPathSection>, policy);
        SettingsDialog dialog;
        dialog.setApplicantsSortSectionsPolicy(policy);
        QCOMPARE(dialog.applicantsSortSectionsPolicy(), policy);
        if (policy.size() == 5) {
            auto *editor = windowChild<StringListOrderEdit>(&dialog, "widgetApplicantsSortPolicy");
            makeCurrent(editor, 4);
            editor->upItem();
            editor->upItem();
            QCOMPARE(dialog.applicantsSortSectionsPolicy(), (QList<IconPathSection>{policy[0], policy[1], policy[4], policy[2], policy[3]}));
        }
        QVERIFY(SettingsDialog::iconPathSectionName(static_cast<IconPathSection>(9)).isNull());
    }

    void listEdits_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("add") << "toolButtonAdd" << "xpm" << true << QStringList{"png", "svg", "xpm"};
        QTest::newRow("add empty") << "toolButtonAdd" << QString() << true << QStringList{"png", "svg", QString()};
        QTest::newRow("add a repeat") << "toolButtonAdd" << "png" << true << QStringList{"png", "svg", "png"};
        QTest::newRow("add cancelled") << "toolButtonAdd" << "xpm" << false << QStringList{"png", "svg"};
        QTest::newRow("edit") << "toolButtonEdit" << "xpm" << true << QStringList{"png", "xpm"};
        QTest::newRow("edit emptied") << "toolButtonEdit" << QString() << true << QStringList{"png", QString()};
        QTest::newRow("edit cancelled") << "toolButtonEdit" << "xpm" << false << QStringList{"png", "svg"};
        QTest::newRow("remove asks nothing") << "toolButtonRemove" << QString() << true << QStringList{"png"};
    }

    void listEdits()
    {
        QFETCH(QString, button);
        QFETCH(QString, text);
        QFETCH(bool, accept);
        QFETCH(QStringList, expected);
        StringListEdit editor;
        QAbstractItemModelTester tester(windowChild<QListView>(&editor, "listView")->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        editor.setItems({"png", "svg"});
        QVERIFY(!enabled(&editor, "toolButtonEdit") && !enabled(&editor, "toolButtonRemove") && enabled(&editor, "toolButtonAdd"));
        // Without a current entry, edit and remove do nothing.
        {
            ModalAnswer<LineEditDialog> none([](LineEditDialog *dialog) {
                dialog->reject();
            });
            editor.editItem();
            editor.removeItem();
            QCOMPARE(none.count(), 0);
        }
        QCOMPARE(editor.items(), QStringList({"png", "svg"}));

        makeCurrent(&editor, 1);
        QVERIFY(enabled(&editor, "toolButtonEdit") && enabled(&editor, "toolButtonRemove"));
        QString shown = "none";
        QString title;
        ModalAnswer<LineEditDialog> answer([&](LineEditDialog *dialog) {
            shown = dialog->text();
            title = dialog->windowTitle();
            windowChild<QLineEdit>(dialog, "lineEdit")->setText(text);
            accept ? dialog->accept() : dialog->reject();
        });
        windowChild<QToolButton>(&editor, qPrintable(button))->click();
        QCOMPARE(editor.items(), expected);
        if (button == QLatin1String("toolButtonRemove")) {
            QCOMPARE(shown, QString("none"));
            const bool current = windowChild<QListView>(&editor, "listView")->currentIndex().isValid();
            QCOMPARE(enabled(&editor, "toolButtonRemove"), current);
            return;
        }
        QCOMPARE(title, button == QLatin1String("toolButtonAdd") ? QString("Add") : QString("Edit"));
        QCOMPARE(shown, button == QLatin1String("toolButtonAdd") ? QString() : QString("svg"));
        // A new entry is not made current.
        QCOMPARE(windowChild<QListView>(&editor, "listView")->currentIndex().row(), 1);
    }

    void orderMoves_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("down");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("currentAfter");
        QTest::newRow("no current") << -1 << true << QStringList{"a", "b", "c"} << -1;
        QTest::newRow("middle down") << 1 << true << QStringList{"a", "c", "b"} << 2;
        QTest::newRow("middle up") << 1 << false << QStringList{"b", "a", "c"} << 0;
        QTest::newRow("first up refused") << 0 << false << QStringList{"a", "b", "c"} << 0;
        QTest::newRow("last down refused") << 2 << true << QStringList{"a", "b", "c"} << 2;
    }

    void orderMoves()
    {
        QFETCH(int, row);
        QFETCH(bool, down);
        QFETCH(QStringList, expected);
        QFETCH(int, currentAfter);
        StringListOrderEdit editor;
        QAbstractItemModelTester tester(windowChild<QListView>(&editor, "listView")->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        editor.setItems({"a", "b", "c"});
        makeCurrent(&editor, row);
        QCOMPARE(enabled(&editor, "toolButtonUp"), row > 0);
        QCOMPARE(enabled(&editor, "toolButtonDown"), row >= 0 && row < 2);
        // The slots themselves: a refused move is reached even where its button is off.
        down ? editor.downItem() : editor.upItem();
        QCOMPARE(editor.items(), expected);
        QCOMPARE(windowChild<QListView>(&editor, "listView")->currentIndex().row(), currentAfter);
        QCOMPARE(enabled(&editor, "toolButtonUp"), currentAfter > 0);
        QCOMPARE(enabled(&editor, "toolButtonDown"), currentAfter >= 0 && currentAfter < 2);
    }

    void entriesChooseTheTab()
    {
        MainWindow window;
        window.show();
        int tab = -1;
        for (int round = 0; round < 2; ++round) {
            ModalAnswer<SettingsDialog> answer([&tab](SettingsDialog *dialog) {
                tab = dialog->currentTab();
                dialog->reject();
            });
            if (round == 0) {
                const auto buttons = window.findChildren<QToolButton *>(QString(), Qt::FindDirectChildrenOnly);
                QCOMPARE(buttons.size(), 1);
                buttons.first()->click();
                QCOMPARE(tab, int(SettingsDialog::TabIconsOptions));
            } else {
                windowChild<QAction>(&window, "actionSettings")->trigger();
                QCOMPARE(tab, int(SettingsDialog::TabGeneral));
            }
        }
    }

    void okWritesAndApplies_data()
    {
        QTest::addColumn<bool>("system");
        QTest::addColumn<QString>("caption");
        QTest::newRow("custom theme") << false << "Current custom options:";
        // The box only disables the fields; what they hold is applied either way.
        QTest::newRow("system box checked") << true << "Current system options:";
    }

    void okWritesAndApplies()
    {
        QFETCH(bool, system);
        QFETCH(QString, caption);
        const QStringList paths = QIcon::themeSearchPaths();
        FixtureTheme theme;
        theme.addStandardIcons();
        MainWindow window;
        MainWindowPrivate *d = MainWindowAccess::d(&window);
        const QList<IconPathSection> policy{Name, Size, MainPath, Theme, Category};
        QVERIFY(runDialog(
            &window,
            [&](SettingsDialog *dialog) {
                dialog->setScanIconNamesOnStart(true);
                dialog->setScanIconNamesIconSize(32);
                dialog->setApplicantsIconPathsIconSize(64);
                dialog->setPreviewIconSizeEnable(true);
                dialog->setPreviewIconSize(96);
                dialog->setSearchIconSuffixes({"svg", "png"});
                dialog->setUsingSystemIconsTheme(system);
                dialog->setThemeSearchPaths({theme.searchPath()});
                dialog->setFallbackSearchPaths({theme.fallbackPath()});
                dialog->setThemeName(theme.name());
                dialog->setFallbackThemeName("hicolor");
                dialog->setApplicantsSortSectionsPolicy(policy);
                dialog->setUse96Dpi(true);
                dialog->setUseHighDpiPixmaps(true);
            },
            true));
        QCOMPARE(QIcon::themeSearchPaths(), QStringList{theme.searchPath()});
        QCOMPARE(QIcon::fallbackSearchPaths(), QStringList{theme.fallbackPath()});
        QCOMPARE(QIcon::themeName(), theme.name());
        QCOMPARE(QIcon::fallbackThemeName(), QString("hicolor"));
        QVERIFY(QIcon::hasThemeIcon("four-sizes"));
        QCOMPARE(windowChild<QListView>(&window, "listViewIconNames")->iconSize(), QSize(32, 32));
        QCOMPARE(windowChild<QListView>(&window, "listViewApplicantsIconPaths")->iconSize(), QSize(64, 64));
        QCOMPARE(d->scanIconNamesThread->searchIconSuffixes(), QStringList({"svg", "png"}));
        QCOMPARE(d->applicantsSortFilterModel->sortSectionsPolicy(), policy);
        QVERIFY(d->scanIconNamesOnStart && d->previewIconSizeEnable);
        QCOMPARE(d->previewIconSize, 96);
        QVERIFY(QCoreApplication::testAttribute(Qt::AA_Use96Dpi) && QCoreApplication::testAttribute(Qt::AA_UseHighDpiPixmaps));
        QCOMPARE(windowChild<QGroupBox>(&window, "groupBoxIconsOptions")->title(), caption);
        QCOMPARE(labelText(&window, "labelThemeName"), theme.name());

        const auto stored = runSettingsProbe();
        const QMap<QString, QString> expected{{"ScanIconNamesOnStart", "1"},
                                              {"ScanIconNamesIconSize", "32"},
                                              {"ApplicantsIconPathsIconSize", "64"},
                                              {"PreviewIconSizeEnable", "1"},
                                              {"PreviewIconSize", "96"},
                                              {"SearchIconSuffixes", "[svg|png]"},
                                              {"UsingSystemIconsTheme", system ? "1" : "0"},
                                              {"IconThemeSearchPaths", '[' + theme.searchPath() + ']'},
                                              {"IconFallbackSearchPaths", '[' + theme.fallbackPath() + ']'},
                                              {"IconThemeName", theme.name()},
                                              {"IconFallbackThemeName", "hicolor"},
                                              {"ApplicationAttributeUse96Dpi", "1"},
                                              {"ApplicationAttributeUseHighDpiPixmaps", "1"},
                                              {"IconPathSortSectionsPolicy", "4,2,0,1,3"},
                                              {"ApplicationAttributeEnableHighDpiScaling", "0"}};
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            QCOMPARE(stored.value(it.key()), it.value());
        }
        QIcon::setThemeSearchPaths(paths);
    }

    void cancelLeavesEverything()
    {
        MainWindow window;
        const QString themeName = QIcon::themeName();
        const QStringList suffixes = MainWindowAccess::d(&window)->scanIconNamesThread->searchIconSuffixes();
        QVERIFY(runDialog(
            &window,
            [](SettingsDialog *dialog) {
                dialog->setThemeName("elsewhere");
                dialog->setSearchIconSuffixes({"gif"});
                dialog->setScanIconNamesIconSize(128);
                dialog->setUse96Dpi(true);
                dialog->setEnableHighDpiScaling(true);
            },
            false));
        QVERIFY(!QFile::exists(settingsFilePath()));
        QCOMPARE(QIcon::themeName(), themeName);
        QCOMPARE(MainWindowAccess::d(&window)->scanIconNamesThread->searchIconSuffixes(), suffixes);
        QCOMPARE(windowChild<QListView>(&window, "listViewIconNames")->iconSize(), QSize(16, 16));
        QVERIFY(!QCoreApplication::testAttribute(Qt::AA_Use96Dpi));
    }

    // Only the two scaling attributes need a restart; the question comes once, and a
    // dialog reopened shows the scaling in effect, which OK then stores back unasked.
    void restartOnlyForScaling_data()
    {
        QTest::addColumn<bool>("use96Dpi");
        QTest::addColumn<bool>("enable");
        QTest::addColumn<bool>("disable");
        QTest::newRow("assume 96 dpi") << true << false << false;
        QTest::newRow("nothing changed") << false << false << false;
        QTest::newRow("enable scaling") << false << true << false;
        QTest::newRow("disable scaling") << false << false << true;
        QTest::newRow("both") << false << true << true;
    }

    void restartOnlyForScaling()
    {
        QFETCH(bool, use96Dpi);
        QFETCH(bool, enable);
        QFETCH(bool, disable);
        const bool asks = enable || disable;
        MainWindow window;
        for (int round = 0; round < 2; ++round) {
            QString text;
            QMessageBox::StandardButtons buttons;
            ModalAnswer<QMessageBox> question([&](QMessageBox *box) {
                text = box->windowTitle() + '|' + box->text();
                buttons = box->standardButtons();
                box->button(QMessageBox::Cancel)->click();
            });
            QVERIFY(runDialog(
                &window,
                [&](SettingsDialog *dialog) {
                    if (round == 0) {
                        dialog->setUse96Dpi(use96Dpi);
                        dialog->setEnableHighDpiScaling(enable);
                        dialog->setDisableHighDpiScaling(disable);
                    } else {
                        QCOMPARE(dialog->enableHighDpiScaling(), QCoreApplication::testAttribute(Qt::AA_EnableHighDpiScaling));
                    }
                },
                true));
            QCOMPARE(question.count(), round == 0 && asks ? 1 : 0);
            const auto stored = runSettingsProbe("highdpi");
            QCOMPARE(stored.value("enable"), round == 0 && enable ? QString("1") : QString("0"));
            QCOMPARE(stored.value("disable"), round == 0 && disable ? QString("1") : QString("0"));
            if (round == 0 && asks) {
                QCOMPARE(text, QString("Information|High-dpi scaling attributes will be changed after application restart\nRestart now?"));
                QCOMPARE(buttons, QMessageBox::Ok | QMessageBox::Cancel);
            }
        }
        QCOMPARE(QCoreApplication::testAttribute(Qt::AA_Use96Dpi), use96Dpi);
    }
};

QTEST_MAIN(SettingsDialogTest)

#include "settingsdialogtest.moc"

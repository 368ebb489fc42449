#include "settings/settingsdialog.h"
#include "applicants/applicantssortfiltermodel.h"
#include "settings/lineeditdialog.h"
#include "settings/stringlistedit.h"
#include "settings/stringlistorderedit.h"
#include "testhelpers.h"

class SettingsDialogTest : public ZelTestCase
{
    Q_OBJECT

    // Opens the dialog from the window's menu, or from the options button at the icons
    // options, lets the action change it, then presses OK or Cancel.
    static bool runDialog(MainWindow *window, const std::function<void(SettingsDialog *)> &action, bool accept = true, bool optionsButton = false)
    {
        bool atIconsOptions = false;
        ModalAnswer<SettingsDialog> answer([&](SettingsDialog *dialog) {
            atIconsOptions = dialog->currentTab() == SettingsDialog::TabIconsOptions;
            action(dialog);
            windowChild<QDialogButtonBox>(dialog, "buttonBox")->button(accept ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
        });
        optionsButton ? windowChild<QToolButton>(window, "buttonIconsOptions")->click() : windowChild<QAction>(window, "actionSettings")->trigger();
        return answer.count == 1 && (!optionsButton || atIconsOptions);
    }

    // Every setting away from its default, the scaling attributes aside.
    static void changeAll(SettingsDialog *dialog)
    {
        dialog->setScanIconNamesOnStart(true);
        dialog->setScanIconNamesIconSize(32);
        dialog->setApplicantsIconPathsIconSize(64);
        dialog->setPreviewIconSizeEnable(true);
        dialog->setPreviewIconSize(96);
        dialog->setSearchIconSuffixes({"svg", "png"});
        dialog->setUsingSystemIconsTheme(false);
        dialog->setThemeSearchPaths({"/nowhere"});
        dialog->setThemeName("mine");
        dialog->setFallbackThemeName("hicolor");
        dialog->setApplicantsSortSectionsPolicy({Name, Size, MainPath, Theme, Category});
        dialog->setUse96Dpi(true);
        dialog->setUseHighDpiPixmaps(true);
    }

private Q_SLOTS:
    void init()
    {
        QFile::remove(settingsFilePath());
        QCoreApplication::setAttribute(Qt::AA_Use96Dpi, false);
        QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps, false);
    }

    // A size is shown, and stored by OK, as the standard size at or above it.
    void sizesShownAsStandardSizes_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("shown");
        QTest::newRow("negative") << -5 << 16;
        QTest::newRow("just above smallest") << 17 << 22;
        QTest::newRow("largest") << 256 << 256;
        QTest::newRow("above largest") << 257 << 16;
    }

    void sizesShownAsStandardSizes()
    {
        QFETCH(int, size);
        QFETCH(int, shown);
        MainWindow window;
        QVERIFY(runDialog(&window, [&](SettingsDialog *dialog) {
            dialog->setScanIconNamesIconSize(size);
            dialog->setApplicantsIconPathsIconSize(size);
            dialog->setPreviewIconSize(size);
            for (const char *label : {"labelScanIconNamesIconSize", "labelApplicantsIconPathsIconSize", "labelPreviewIconSize"}) {
                QCOMPARE(labelText(dialog, label), QString::number(shown) + " px");
            }
        }));
        QCOMPARE(storedMismatches(QString("ScanIconNamesIconSize=%1 ApplicantsIconPathsIconSize=%1 PreviewIconSize=%1").arg(shown)), QStringList());
    }

    // Cancel changes nothing, not even after Restore Defaults; OK stores and applies what
    // the fields hold, the system box only disabling them.
    void okAndCancel_data()
    {
        QTest::addColumn<bool>("system");
        QTest::addColumn<QString>("caption");
        QTest::newRow("custom theme") << false << "Current custom options:";
        QTest::newRow("system box checked") << true << "Current system options:";
    }

    void okAndCancel()
    {
        QFETCH(bool, system);
        FixtureTheme theme;
        theme.addStandardIcons();
        Settings().setScanIconNamesIconSize(64);
        MainWindow window;
        const QByteArray before = readFile(settingsFilePath());
        const QString themeName = QIcon::themeName();
        QVERIFY(runDialog(
            &window,
            [](SettingsDialog *dialog) {
                changeAll(dialog);
                windowChild<QDialogButtonBox>(dialog, "buttonBox")->button(QDialogButtonBox::RestoreDefaults)->click();
                QVERIFY(dialog->isVisible());
                changeAll(dialog);
            },
            false,
            true));
        QCOMPARE(readFile(settingsFilePath()), before);
        QCOMPARE(QIcon::themeName(), themeName);
        QCOMPARE(windowChild<QListView>(&window, "listViewIconNames")->iconSize(), QSize(64, 64));
        QVERIFY(!QCoreApplication::testAttribute(Qt::AA_Use96Dpi));

        const QStringList paths = QIcon::themeSearchPaths();
        QVERIFY(runDialog(&window, [&](SettingsDialog *dialog) {
            changeAll(dialog);
            dialog->setUsingSystemIconsTheme(system);
            for (const char *name : {"groupBoxThemeSearchPaths", "groupBoxFallbackSearchPaths", "widgetThemeNames"}) {
                QCOMPARE(windowChild<QWidget>(dialog, name)->isEnabled(), !system);
            }
            dialog->setThemeSearchPaths({theme.searchPath});
            dialog->setFallbackSearchPaths({theme.fallbackPath});
            dialog->setThemeName(theme.name);
        }));
        QCOMPARE(QIcon::themeSearchPaths() + QIcon::fallbackSearchPaths(), QStringList({theme.searchPath, theme.fallbackPath}));
        QCOMPARE(QIcon::themeName() + '|' + QIcon::fallbackThemeName(), theme.name + "|hicolor");
        QCOMPARE(windowChild<QListView>(&window, "listViewIconNames")->iconSize(), QSize(32, 32));
        QCOMPARE(windowChild<QListView>(&window, "listViewApplicantsIconPaths")->iconSize(), QSize(64, 64));
        QVERIFY(QCoreApplication::testAttribute(Qt::AA_Use96Dpi) && QCoreApplication::testAttribute(Qt::AA_UseHighDpiPixmaps));
        QTEST(windowChild<QGroupBox>(&window, "groupBoxIconsOptions")->title(), "caption");
        QCOMPARE(labelText(&window, "labelThemeName") + '|' + labelText(&window, "labelFallbackThemeName"), theme.name + "|hicolor");
        QCOMPARE(
            storedMismatches(QString("ScanIconNamesOnStart=1 ScanIconNamesIconSize=32 ApplicantsIconPathsIconSize=64 PreviewIconSizeEnable=1 "
                                     "PreviewIconSize=96 SearchIconSuffixes=[svg|png] UsingSystemIconsTheme=%1 IconThemeSearchPaths=[%2] "
                                     "IconFallbackSearchPaths=[%3] IconThemeName=%4 IconFallbackThemeName=hicolor ApplicationAttributeUse96Dpi=1 "
                                     "ApplicationAttributeUseHighDpiPixmaps=1 IconPathSortSectionsPolicy=4,2,0,1,3 ApplicationAttributeEnableHighDpiScaling=0")
                                 .arg(int(system))
                                 .arg(theme.searchPath, theme.fallbackPath, theme.name)),
            QStringList());
        // Reopened, the dialog shows what is in effect now.
        const auto shown = [](SettingsDialog *dialog) {
            return QVariantList{dialog->isScanIconNamesOnStart(), dialog->scanIconNamesIconSize(), dialog->applicantsIconPathsIconSize(),
                                dialog->isPreviewIconSizeEnable(), dialog->previewIconSize(), dialog->searchIconSuffixes(), dialog->isUsingSystemIconsTheme(),
                                dialog->themeSearchPaths(), dialog->fallbackSearchPaths(), dialog->themeName(), dialog->fallbackThemeName(),
                                dialog->use96Dpi(), dialog->useHighDpiPixmaps(), dialog->applicantsSortSectionsPolicy() == QList<IconPathSection>{Name, Size, MainPath, Theme, Category}};
        };
        const QVariantList expected{true, 32, 64, true, 96, QStringList{"svg", "png"}, system, QStringList{theme.searchPath}, QStringList{theme.fallbackPath},
                                    theme.name, "hicolor", true, true, true};
        QVERIFY(runDialog(&window, [&](SettingsDialog *dialog) { QCOMPARE(shown(dialog), expected); }, false));
        QIcon::setThemeSearchPaths(paths);
    }

    // Restore Defaults, accepted, stores the defaults; the system box and the attributes are
    // not among them.
    void restoreDefaults()
    {
        MainWindow window;
        QVERIFY(runDialog(&window, [](SettingsDialog *dialog) {
            changeAll(dialog);
            windowChild<QDialogButtonBox>(dialog, "buttonBox")->button(QDialogButtonBox::RestoreDefaults)->click();
            QVERIFY(!dialog->isUsingSystemIconsTheme() && dialog->use96Dpi());
            QCOMPARE(dialog->themeSearchPaths(), Settings::systemIconThemeSearchPaths());
            QCOMPARE(dialog->fallbackSearchPaths(), Settings::systemIconFallbackSearchPaths());
            QCOMPARE(dialog->fallbackThemeName(), Settings::systemIconFallbackThemeName());
            QCOMPARE(windowChild<StringListOrderEdit>(dialog, "widgetApplicantsSortPolicy")->items(),
                     QStringList({"Main path", "Icons theme", "Size", "Category", "Icon name"}));
        }));
        QCOMPARE(storedMismatches("ScanIconNamesIconSize=16 ScanIconNamesOnStart=0 ApplicantsIconPathsIconSize=16 PreviewIconSizeEnable=0 PreviewIconSize=256 "
                                  "SearchIconSuffixes=[png|jpg|jpeg|svg|svgz|xcf|xpm] IconPathSortSectionsPolicy=0,1,2,3,4 UsingSystemIconsTheme=0 "
                                  "ApplicationAttributeUse96Dpi=1 IconThemeName="
                                  + Settings::systemIconThemeName()),
                 QStringList());
    }

    // The two list editors: Add, Edit or Remove on the second of "png", "svg" with the
    // line dialog's answer, and Up or Down on a row of "a", "b", "c", called as slots where
    // the button is off, so that a refused move is reached too.
    void listEditors_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("add") << "toolButtonAdd" << 1 << "xpm" << true << QStringList{"png", "svg", "xpm"};
        QTest::newRow("add empty") << "toolButtonAdd" << 1 << QString() << true << QStringList{"png", "svg", QString()};
        QTest::newRow("add cancelled") << "toolButtonAdd" << 1 << "xpm" << false << QStringList{"png", "svg"};
        QTest::newRow("edit") << "toolButtonEdit" << 1 << "xpm" << true << QStringList{"png", "xpm"};
        QTest::newRow("edit cancelled") << "toolButtonEdit" << 1 << "xpm" << false << QStringList{"png", "svg"};
        QTest::newRow("remove asks nothing") << "toolButtonRemove" << 1 << QString() << true << QStringList{"png"};
        QTest::newRow("middle down") << "down" << 1 << QString() << true << QStringList{"a", "c", "b"};
        QTest::newRow("middle up") << "up" << 1 << QString() << true << QStringList{"b", "a", "c"};
        QTest::newRow("first up refused") << "up" << 0 << QString() << true << QStringList{"a", "b", "c"};
        QTest::newRow("last down refused") << "down" << 2 << QString() << true << QStringList{"a", "b", "c"};
    }

    void listEditors()
    {
        QFETCH(QString, action);
        QFETCH(int, row);
        QFETCH(QString, text);
        QFETCH(bool, accept);
        const bool ordered = action == "up" || action == "down";
        StringListEdit list;
        StringListOrderEdit order;
        QWidget *editor = ordered ? static_cast<QWidget *>(&order) : &list;
        auto *view = windowChild<QListView>(editor, "listView");
        QAbstractItemModelTester tester(view->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        const QStringList before = ordered ? QStringList{"a", "b", "c"} : QStringList{"png", "svg"};
        ordered ? order.setItems(before) : list.setItems(before);
        // Up and Down, or Edit and Remove, are on only where they can act.
        const auto buttons = [&](int current) {
            const QStringList names = ordered ? QStringList{"toolButtonUp", "toolButtonDown"} : QStringList{"toolButtonEdit", "toolButtonRemove"};
            const QList<bool> expected = ordered ? QList<bool>{current > 0, current >= 0 && current < 2} : QList<bool>{current >= 0, current >= 0};
            return windowChild<QToolButton>(editor, qPrintable(names.at(0)))->isEnabled() == expected.at(0)
                && windowChild<QToolButton>(editor, qPrintable(names.at(1)))->isEnabled() == expected.at(1);
        };
        QString shown = "none";
        ModalAnswer<LineEditDialog> answer([&](LineEditDialog *dialog) {
            shown = dialog->windowTitle() + '|' + dialog->text();
            windowChild<QLineEdit>(dialog, "lineEdit")->setText(text);
            windowChild<QDialogButtonBox>(dialog, "buttonBox")->button(accept ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
        });
        // Without a current entry, every action but Add does nothing.
        QVERIFY(buttons(-1));
        ordered ? order.downItem() : list.editItem();
        ordered ? order.upItem() : list.removeItem();
        QCOMPARE(ordered ? order.items() : list.items(), before);
        QCOMPARE(shown, "none");

        view->setCurrentIndex(view->model()->index(row, 0));
        QVERIFY(buttons(row));
        if (ordered) {
            auto *button = windowChild<QToolButton>(editor, action == "up" ? "toolButtonUp" : "toolButtonDown");
            button->isEnabled() ? button->click() : action == "up" ? order.upItem() : order.downItem();
        } else {
            windowChild<QToolButton>(editor, qPrintable(action))->click();
        }
        QTEST(ordered ? order.items() : list.items(), "expected");
        QCOMPARE(shown, action == "toolButtonAdd" ? "Add|" : action == "toolButtonEdit" ? "Edit|svg" : "none");
        // The moved row stays current; a new entry is not made current.
        const int current = view->currentIndex().row();
        QVERIFY(action == "toolButtonRemove" || current == (ordered ? order.items().indexOf(before.at(row)) : row));
        QVERIFY(buttons(current));
    }

    // Only the two scaling attributes need a restart; the question comes once, and a
    // dialog reopened shows the scaling in effect, which OK then stores back unasked.
    void restartOnlyForScaling_data()
    {
        QTest::addColumn<bool>("use96Dpi");
        QTest::addColumn<bool>("enable");
        QTest::addColumn<bool>("disable");
        QTest::newRow("assume 96 dpi") << true << false << false;
        QTest::newRow("enable scaling") << false << true << false;
        QTest::newRow("disable scaling") << false << false << true;
        QTest::newRow("both") << false << true << true;
    }

    void restartOnlyForScaling()
    {
        QFETCH(bool, use96Dpi);
        QFETCH(bool, enable);
        QFETCH(bool, disable);
        MainWindow window;
        for (int round = 0; round < 2; ++round) {
            QString text;
            ModalAnswer<QMessageBox> question([&text](QMessageBox *box) {
                text = box->windowTitle() + '|' + box->text() + '|' + QString::number(box->standardButtons());
                box->button(QMessageBox::Cancel)->click();
            });
            QVERIFY(runDialog(&window, [&](SettingsDialog *dialog) {
                if (round == 0) {
                    dialog->setUse96Dpi(use96Dpi);
                    dialog->setEnableHighDpiScaling(enable);
                    dialog->setDisableHighDpiScaling(disable);
                } else {
                    QCOMPARE(dialog->enableHighDpiScaling(), QCoreApplication::testAttribute(Qt::AA_EnableHighDpiScaling));
                }
            }));
            const bool asked = round == 0 && (enable || disable);
            QCOMPARE(text, asked ? QString("Information|High-dpi scaling attributes will be changed after application restart\nRestart now?|%1").arg(int(QMessageBox::Ok | QMessageBox::Cancel)) : QString());
            QCOMPARE(storedMismatches(QString("enable=%1 disable=%2").arg(int(round == 0 && enable)).arg(int(round == 0 && disable)), "highdpi"), QStringList());
        }
        QCOMPARE(QCoreApplication::testAttribute(Qt::AA_Use96Dpi), use96Dpi);
    }
};

QTEST_MAIN(SettingsDialogTest)

#include "settingsdialogtest.moc"

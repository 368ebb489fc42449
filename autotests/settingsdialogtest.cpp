#include "settings/settingsdialog.h"
#include "applicants/applicantssortfiltermodel.h"
#include "settings/lineeditdialog.h"
#include "settings/stringlistedit.h"
#include "settings/stringlistorderedit.h"
#include "testhelpers.h"

#include <QAbstractItemModelTester>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QMessageBox>
#include <QToolButton>

class SettingsDialogTest : public ZelTestCase
{
    Q_OBJECT

    static bool enabled(QWidget *editor, const char *button)
    {
        return windowChild<QToolButton>(editor, button)->isEnabled();
    }

    // Opens the dialog from the window, lets the action change it, then presses OK or Cancel.
    static bool runDialog(MainWindow *window, const std::function<void(SettingsDialog *)> &action, bool accept = true)
    {
        ModalAnswer<SettingsDialog> answer([&](SettingsDialog *dialog) {
            action(dialog);
            accept ? dialog->accept() : dialog->reject();
        });
        window->execSettings();
        return answer.count() == 1;
    }

    static void restoreDefaults(SettingsDialog *dialog)
    {
        windowChild<QDialogButtonBox>(dialog, "buttonBox")->button(QDialogButtonBox::RestoreDefaults)->click();
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
        QTest::newRow("just above smallest") << 17 << 22;
        QTest::newRow("exact") << 96 << 96;
        QTest::newRow("largest") << 256 << 256;
        QTest::newRow("above largest") << 257 << 16;
    }

    // The window's own list size goes the same way, and OK stores what was shown.
    void sizesShownAsStandardSizes()
    {
        QFETCH(int, size);
        QFETCH(int, shown);
        SettingsDialog dialog;
        dialog.setScanIconNamesIconSize(size);
        dialog.setApplicantsIconPathsIconSize(size);
        dialog.setPreviewIconSize(size);
        QCOMPARE(QList<int>({dialog.scanIconNamesIconSize(), dialog.applicantsIconPathsIconSize(), dialog.previewIconSize()}),
                 QList<int>({shown, shown, shown}));
        for (const char *label : {"labelScanIconNamesIconSize", "labelApplicantsIconPathsIconSize", "labelPreviewIconSize"}) {
            QCOMPARE(labelText(&dialog, label), QString::number(shown) + " px");
        }
        MainWindow window;
        auto *names = windowChild<QListView>(&window, "listViewIconNames");
        MainWindow::setIconSize(names, size);
        QVERIFY(runDialog(&window, [](SettingsDialog *) {}));
        QCOMPARE(names->iconSize(), QSize(shown, shown));
        QCOMPARE(storedMismatches("ScanIconNamesIconSize=" + QString::number(shown)), QStringList());
    }

    // The system box disables the theme fields but keeps what they hold.
    void systemBoxKeepsTheFields()
    {
        SettingsDialog dialog;
        dialog.setThemeSearchPaths({"/a", "/b"});
        dialog.setThemeName("mine");
        for (bool system : {false, true}) {
            dialog.setUsingSystemIconsTheme(system);
            for (const char *name : {"groupBoxThemeSearchPaths", "groupBoxFallbackSearchPaths", "widgetThemeNames"}) {
                QCOMPARE(windowChild<QWidget>(&dialog, name)->isEnabled(), !system);
            }
        }
        QCOMPARE(dialog.themeSearchPaths(), QStringList({"/a", "/b"}));
        QCOMPARE(dialog.themeName(), "mine");
    }

    // Defaults restored and then cancelled change nothing; accepted, they are stored, but
    // the system box and the attributes are not among them.
    void restoreDefaultsAndCancel()
    {
        Settings().setScanIconNamesIconSize(64);
        MainWindow window;
        const QByteArray before = FixtureTheme::readFile(settingsFilePath());
        const QString themeName = QIcon::themeName();
        const QStringList suffixes = MainWindowAccess::d(&window)->scanIconNamesThread->searchIconSuffixes();
        const auto change = [](SettingsDialog *dialog) {
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
            dialog->setEnableHighDpiScaling(true);
        };
        QVERIFY(runDialog(&window, change, false));
        QCOMPARE(FixtureTheme::readFile(settingsFilePath()), before);
        QCOMPARE(QIcon::themeName(), themeName);
        QCOMPARE(MainWindowAccess::d(&window)->scanIconNamesThread->searchIconSuffixes(), suffixes);
        QCOMPARE(windowChild<QListView>(&window, "listViewIconNames")->iconSize(), QSize(64, 64));
        QVERIFY(!QCoreApplication::testAttribute(Qt::AA_Use96Dpi));

        QVERIFY(runDialog(&window, [change](SettingsDialog *dialog) {
            change(dialog);
            dialog->setEnableHighDpiScaling(false);
            restoreDefaults(dialog);
            QVERIFY(dialog->isVisible() && !dialog->isUsingSystemIconsTheme() && dialog->use96Dpi());
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
    // line dialog's answer, and Up or Down on a row of "a", "b", "c", called as slots so
    // that a refused move is reached even where its button is off.
    void listEditors_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("add") << "toolButtonAdd" << 1 << "xpm" << true << QStringList{"png", "svg", "xpm"};
        QTest::newRow("add empty") << "toolButtonAdd" << 1 << QString() << true << QStringList{"png", "svg", QString()};
        QTest::newRow("add a repeat") << "toolButtonAdd" << 1 << "png" << true << QStringList{"png", "svg", "png"};
        QTest::newRow("add cancelled") << "toolButtonAdd" << 1 << "xpm" << false << QStringList{"png", "svg"};
        QTest::newRow("edit") << "toolButtonEdit" << 1 << "xpm" << true << QStringList{"png", "xpm"};
        QTest::newRow("edit emptied") << "toolButtonEdit" << 1 << QString() << true << QStringList{"png", QString()};
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
        QFETCH(QStringList, expected);
        const bool ordered = action == "up" || action == "down";
        StringListEdit list;
        StringListOrderEdit order;
        QWidget *editor = ordered ? static_cast<QWidget *>(&order) : &list;
        auto *view = windowChild<QListView>(editor, "listView");
        QAbstractItemModelTester tester(view->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        const QStringList before = ordered ? QStringList{"a", "b", "c"} : QStringList{"png", "svg"};
        ordered ? order.setItems(before) : list.setItems(before);
        const auto items = [&]() {
            return ordered ? order.items() : list.items();
        };
        // Up and Down, or Edit and Remove, are on only where they can act.
        const auto buttons = [&]() {
            return ordered ? QList<bool>{enabled(editor, "toolButtonUp"), enabled(editor, "toolButtonDown")}
                           : QList<bool>{enabled(editor, "toolButtonEdit"), enabled(editor, "toolButtonRemove")};
        };
        const auto expectedButtons = [ordered](int current) {
            return ordered ? QList<bool>{current > 0, current >= 0 && current < 2} : QList<bool>{current >= 0, current >= 0};
        };
        QString shown = "none";
        ModalAnswer<LineEditDialog> answer([&](LineEditDialog *dialog) {
            shown = dialog->windowTitle() + '|' + dialog->text();
            windowChild<QLineEdit>(dialog, "lineEdit")->setText(text);
            accept ? dialog->accept() : dialog->reject();
        });
        // Without a current entry, every action but Add does nothing.
        QCOMPARE(buttons(), expectedButtons(-1));
        QVERIFY(ordered || enabled(editor, "toolButtonAdd"));
        ordered ? order.downItem() : list.editItem();
        ordered ? order.upItem() : list.removeItem();
        QCOMPARE(items(), before);
        QCOMPARE(shown, "none");

        view->setCurrentIndex(view->model()->index(row, 0));
        QCOMPARE(buttons(), expectedButtons(row));
        if (ordered) {
            action == "up" ? order.upItem() : order.downItem();
        } else {
            windowChild<QToolButton>(editor, qPrintable(action))->click();
        }
        QCOMPARE(items(), expected);
        QCOMPARE(shown, action == "toolButtonAdd" ? "Add|" : action == "toolButtonEdit" ? "Edit|svg" : "none");
        // The moved row stays current; a new entry is not made current.
        const int current = view->currentIndex().row();
        if (action == "toolButtonRemove") {
            QCOMPARE(enabled(editor, "toolButtonRemove"), current >= 0);
        } else {
            QCOMPARE(current, ordered ? expected.indexOf(before.at(row)) : row);
            QCOMPARE(buttons(), expectedButtons(current));
        }
    }

    // The box only disables the fields; what they hold is applied either way.
    void okWritesAndApplies_data()
    {
        QTest::addColumn<bool>("system");
        QTest::addColumn<QString>("caption");
        QTest::newRow("custom theme") << false << "Current custom options:";
        QTest::newRow("system box checked") << true << "Current system options:";
    }

    void okWritesAndApplies()
    {
        QFETCH(bool, system);
        const QStringList paths = QIcon::themeSearchPaths();
        FixtureTheme theme;
        theme.addStandardIcons();
        MainWindow window;
        MainWindowPrivate *d = MainWindowAccess::d(&window);
        const QList<IconPathSection> policy{Name, Size, MainPath, Theme, Category};
        QVERIFY(runDialog(&window, [&](SettingsDialog *dialog) {
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
        }));
        QCOMPARE(QIcon::themeSearchPaths() + QIcon::fallbackSearchPaths(), QStringList({theme.searchPath(), theme.fallbackPath()}));
        QCOMPARE(QIcon::themeName() + '|' + QIcon::fallbackThemeName(), theme.name() + "|hicolor");
        QVERIFY(QIcon::hasThemeIcon("four-sizes"));
        QCOMPARE(windowChild<QListView>(&window, "listViewIconNames")->iconSize(), QSize(32, 32));
        QCOMPARE(windowChild<QListView>(&window, "listViewApplicantsIconPaths")->iconSize(), QSize(64, 64));
        QCOMPARE(d->scanIconNamesThread->searchIconSuffixes(), QStringList({"svg", "png"}));
        QCOMPARE(d->applicantsSortFilterModel->sortSectionsPolicy(), policy);
        QVERIFY(d->scanIconNamesOnStart && d->previewIconSizeEnable && d->previewIconSize == 96);
        QVERIFY(QCoreApplication::testAttribute(Qt::AA_Use96Dpi) && QCoreApplication::testAttribute(Qt::AA_UseHighDpiPixmaps));
        QTEST(windowChild<QGroupBox>(&window, "groupBoxIconsOptions")->title(), "caption");
        QCOMPARE(labelText(&window, "labelThemeName"), theme.name());
        QCOMPARE(
            storedMismatches(QString("ScanIconNamesOnStart=1 ScanIconNamesIconSize=32 ApplicantsIconPathsIconSize=64 PreviewIconSizeEnable=1 "
                                     "PreviewIconSize=96 SearchIconSuffixes=[svg|png] UsingSystemIconsTheme=%1 IconThemeSearchPaths=[%2] "
                                     "IconFallbackSearchPaths=[%3] IconThemeName=%4 IconFallbackThemeName=hicolor ApplicationAttributeUse96Dpi=1 "
                                     "ApplicationAttributeUseHighDpiPixmaps=1 IconPathSortSectionsPolicy=4,2,0,1,3 ApplicationAttributeEnableHighDpiScaling=0")
                                 .arg(int(system))
                                 .arg(theme.searchPath(), theme.fallbackPath(), theme.name())),
            QStringList());
        QIcon::setThemeSearchPaths(paths);
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
            const bool first = round == 0;
            QCOMPARE(question.count(), first && (enable || disable) ? 1 : 0);
            QCOMPARE(storedMismatches(QString("enable=%1 disable=%2").arg(int(first && enable)).arg(int(first && disable)), "highdpi"), QStringList());
            if (question.count()) {
                QCOMPARE(text,
                         QString("Information|High-dpi scaling attributes will be changed after application restart\nRestart now?|%1")
                             .arg(int(QMessageBox::Ok | QMessageBox::Cancel)));
            }
        }
        QCOMPARE(QCoreApplication::testAttribute(Qt::AA_Use96Dpi), use96Dpi);
    }
};

QTEST_MAIN(SettingsDialogTest)

#include "settingsdialogtest.moc"

#include "catalogue/iconsmodel.h"
#include "integration/zelicon.h"
#include "remarks/iconsremarksdelegate.h"
#include "testhelpers.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QMenu>
#include <QSplitter>

class MainWindowTest : public ZelTestCase
{
    Q_OBJECT

    FixtureTheme m_theme;

    static void waitForFind()
    {
        QTRY_VERIFY(!QGuiApplication::overrideCursor());
    }

    // The colours at the middle of the quadrants: top left, top right, bottom left, bottom right.
    static QString quadrants(QWidget *window)
    {
        const QImage image = windowChild<QLabel>(window, "labelFindedIconPreview")->pixmap(Qt::ReturnByValue).toImage();
        if (image.isNull()) {
            return QStringLiteral("none");
        }
        const QMap<QRgb, QChar> letters{{qRgb(255, 0, 0), 'r'}, {qRgb(0, 255, 0), 'g'}, {qRgb(0, 0, 255), 'b'}};
        QString names;
        for (const QPoint &point : {QPoint(1, 1), QPoint(3, 1), QPoint(1, 3), QPoint(3, 3)}) {
            names += letters.value(image.pixel(point * image.width() / 4) & 0xffffff | 0xff000000, '?');
        }
        return names;
    }

    static QAction *menuAction(QWidget *owner, const QString &text)
    {
        const auto menus = owner->findChildren<QMenu *>(QString(), Qt::FindDirectChildrenOnly);
        for (QMenu *menu : menus) {
            const auto actions = menu->actions();
            for (QAction *action : actions) {
                if (action->text() == text) {
                    return action;
                }
            }
        }
        return nullptr;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_theme.addStandardIcons();
        storeThemeSettings(m_theme);
    }

    void outcomes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("hasThemeIcon");
        QTest::addColumn<QString>("inUse");
        QTest::newRow("found") << "four-sizes" << "Find icon by name \"four-sizes\" done." << "Exist" << "four-sizes";
        QTest::newRow("other name in use") << "four-sizes-more" << "Find icon by name \"four-sizes-more\" done. Finded applicant icon by name: \"four-sizes\"."
                                           << "Absent" << "four-sizes";
        QTest::newRow("absent") << "absent" << "Failed find icon by name \"absent\", on current icon theme!" << "Absent" << QString();
        QTest::newRow("leading blank") << " four-sizes" << "Failed find icon by name \" four-sizes\", on current icon theme!" << "Absent" << QString();
    }

    void outcomes()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        QFETCH(QString, hasThemeIcon);
        QFETCH(QString, inUse);
        MainWindow window;
        window.show();
        findByTyping(&window, name);
        // The outcome is posted: until control returns to the loop the progress message stands.
        QCOMPARE(statusText(&window), QString("Finding icon by name \"%1\"...").arg(name));
        QVERIFY(QGuiApplication::overrideCursor());
        QTRY_COMPARE(statusText(&window), message);
        QVERIFY(!QGuiApplication::overrideCursor());
        QCOMPARE(labelText(&window, "labelSearchIconName"), name);
        QCOMPARE(labelText(&window, "labelHasThemeIcon"), hasThemeIcon);
        QCOMPARE(labelText(&window, "labelFindedIconName"), inUse);
        QCOMPARE(labelText(&window, "labelFindedIconIsMask"), QString("Not mask"));
        bool number = false;
        labelText(&window, "labelFindedIconCacheKey").toLongLong(&number);
        QVERIFY(number);
    }

    void remarksListedWhileHidden()
    {
        MainWindow window;
        findByTyping(&window, "corrupt-one");
        QAbstractItemModel *model = windowChild<QListView>(&window, "findedIconRemarksListView")->model();
        QCOMPARE(model->rowCount(), 8);
        QCOMPARE(model->index(0, 0).data().toString(), QString("The size 22x22 for icon corrupt-one has no image valid"));
        QCOMPARE(model->index(0, 0).data(Qt::DecorationRole).value<QIcon>().name(), QString("dialog-error"));
        QCOMPARE(model->index(1, 0).data(Qt::DecorationRole).value<QIcon>().name(), QString("dialog-information"));
        QVERIFY(windowChild<QGroupBox>(&window, "groupBoxFindedIconRemarks")->isHidden());
        // Finds one after another, the empty name among them, leave no busy cursor behind.
        for (const char *name : {"", "absent", "four-sizes-x", "", "vector"}) {
            findByTyping(&window, name);
        }
        waitForFind();
        QCOMPARE(statusText(&window), QString("Find icon by name \"vector\" done."));
    }

    void emptyName()
    {
        MainWindow window;
        window.findChild<IconsModel *>()->addIcon("four-sizes");
        findByTyping(&window, "four-sizes");
        waitForFind();
        const QModelIndex current = windowChild<QListView>(&window, "listViewIconNames")->currentIndex();
        QVERIFY(current.isValid());
        findByTyping(&window, QString());
        // Nothing is posted for the empty name: the cursor is back at once.
        QVERIFY(!QGuiApplication::overrideCursor());
        QTest::qWait(20);
        QCOMPARE(statusText(&window), QString());
        QCOMPARE(windowChild<QListView>(&window, "listViewIconNames")->currentIndex(), current);
        // Qt's hasThemeIcon compares the found name with the asked one, and both are empty.
        QCOMPARE(labelText(&window, "labelHasThemeIcon"), QString("Exist"));
        QVERIFY(comboEntries(&window).isEmpty());
        QVERIFY(windowChild<QLabel>(&window, "labelFindedIconPreview")->pixmap(Qt::ReturnByValue).isNull());
    }

    void sizeEntries_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("preferred"); // 0: none
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("current");
        const QStringList four = {"16x16", "22x22", "32x32", "48x48"};
        QTest::newRow("largest by default") << "four-sizes" << 0 << four << "48x48";
        QTest::newRow("preferred 24 picks 32") << "four-sizes" << 24 << four << "32x32";
        QTest::newRow("preferred 16 exact") << "four-sizes" << 16 << four << "16x16";
        QTest::newRow("preferred 512 falls back") << "four-sizes" << 512 << four << "48x48";
        QTest::newRow("same size twice") << "twice" << 0 << QStringList{"16x16"} << "16x16";
        QTest::newRow("no sizes") << "absent" << 16 << QStringList() << QString();
    }

    void sizeEntries()
    {
        QFETCH(QString, name);
        QFETCH(int, preferred);
        QFETCH(QStringList, entries);
        QFETCH(QString, current);
        {
            Settings settings;
            settings.setPreviewIconSizeEnable(preferred > 0);
            settings.setPreviewIconSize(preferred);
        }
        MainWindow window;
        // A size chosen for the icon before does not carry over.
        findByTyping(&window, "odd24");
        findByTyping(&window, name);
        QCOMPARE(comboEntries(&window), entries);
        QCOMPARE(windowChild<QComboBox>(&window, "comboBoxFindedIconSize")->currentText(), current);
        QCOMPARE(quadrants(&window) != QLatin1String("none"), !current.isEmpty() && name != QLatin1String("twice"));
        waitForFind();
        Settings().setPreviewIconSizeEnable(false);
    }

    void sizeText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QSize>("size");
        QTest::newRow("48x48") << "48x48" << QSize(48, 48);
        QTest::newRow("48") << "48" << QSize();
        QTest::newRow("x48") << "x48" << QSize(0, 48);
        QTest::newRow("48X48") << "48X48" << QSize();
        QTest::newRow("16x16x2") << "16x16x2" << QSize(16, 16);
        QTest::newRow("axb") << "axb" << QSize(0, 0);
        QTest::newRow("empty") << QString() << QSize();
    }

    void sizeText()
    {
        QFETCH(QString, text);
        QFETCH(QSize, size);
        QCOMPARE(MainWindowPrivate::convertStringToQSize(text), size);
        QCOMPARE(MainWindowPrivate::convertQSizeToString(QSize(256, 128)), QString("256x128"));
    }

    void findSelectsUnlessFiltered()
    {
        MainWindow window;
        window.findChild<IconsModel *>()->addIcons({"four-sizes", "vector"});
        auto *list = windowChild<QListView>(&window, "listViewIconNames");
        findByTyping(&window, "vector");
        QCOMPARE(list->currentIndex().data().toString(), QString("vector"));
        windowChild<QLineEdit>(&window, "lineEditIconNamesFilter")->setText("vec");
        const QModelIndex before = list->currentIndex();
        findByTyping(&window, "four-sizes");
        QCOMPARE(list->currentIndex(), before);
        windowChild<QLineEdit>(&window, "lineEditIconNamesFilter")->clear();
        findByTyping(&window, "four-sizes");
        QCOMPARE(list->currentIndex().data().toString(), QString("four-sizes"));
        waitForFind();
        // The clear button fades out through an animation that frees itself when it stops.
        QTest::qWait(400);
    }

    void emblemsChangeOnlyTheirCorner()
    {
        MainWindow window;
        window.addEmblemToPreview({Qt::TopLeftCorner, "emblem"});
        QCOMPARE(quadrants(&window), QString("none"));
        findByTyping(&window, "base");
        QCOMPARE(quadrants(&window), QString("rrrr"));
        window.addEmblemToPreview({Qt::TopLeftCorner, "emblem"});
        QCOMPARE(quadrants(&window), QString("brrr"));
        window.addEmblemToPreview({Qt::TopLeftCorner, "emblem-green"});
        window.addEmblemToPreview({Qt::BottomRightCorner, "emblem"});
        QCOMPARE(quadrants(&window), QString("grrb"));
        QCOMPARE(windowChild<QLabel>(&window, "labelFindedIconPreview")->pixmap(Qt::ReturnByValue).size(), QSize(48, 48));
        window.removeEmblemFromPreview(Qt::TopLeftCorner);
        window.removeEmblemFromPreview(Qt::TopLeftCorner);
        QCOMPARE(quadrants(&window), QString("rrrb"));
        QAction *removeAll = menuAction(windowChild<QLabel>(&window, "labelFindedIconPreview"), "Remove all icons from corners");
        QVERIFY(removeAll);
        removeAll->trigger();
        QCOMPARE(quadrants(&window), QString("rrrr"));
        // A new find starts without emblems; the list's menu adds the current name.
        window.addEmblemToPreview({Qt::TopRightCorner, "emblem"});
        window.findChild<IconsModel *>()->addIcons({"emblem", "base"});
        findByTyping(&window, "base");
        QCOMPARE(quadrants(&window), QString("rrrr"));
        auto *list = windowChild<QListView>(&window, "listViewIconNames");
        list->setCurrentIndex(list->model()->index(1, 0));
        QAction *add = menuAction(list, "Add icon to bottom left corner");
        QVERIFY(add);
        add->trigger();
        QCOMPARE(quadrants(&window), QString("rrbr"));
        waitForFind();
    }

    void emblemsDrawnSharpAtEverySize_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("16") << 16;
        QTest::newRow("200") << 200;
    }

    void emblemsDrawnSharpAtEverySize()
    {
        QFETCH(int, size);
        m_theme.apply();
        const QIcon plain = QIcon::fromTheme("vector");
        const QImage image = ZelIcon::withEmblems(plain, {{Qt::BottomRightCorner, "emblem"}}).pixmap(QSize(size, size)).toImage();
        QCOMPARE(image.size(), QSize(size, size));
        QCOMPARE(image.pixelColor(size - 2, size - 2), QColor(Qt::blue));
        QCOMPARE(image.pixelColor(1, 1), plain.pixmap(QSize(size, size)).toImage().pixelColor(1, 1));
        QCOMPARE(ZelIcon::withEmblems(plain, {}).cacheKey(), plain.cacheKey());
    }

    void saveAndRestore()
    {
        QFile::remove(settingsFilePath());
        {
            MainWindow window;
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            window.resize(1250, 900);
            QTRY_COMPARE(window.size(), QSize(1250, 900));
            windowChild<QSplitter>(&window, "splitterMain")->setSizes({300, 950});
            auto *original = windowChild<QListView>(&window, "listViewIconNames")->itemDelegate();
            QAction *delegate = windowChild<QAction>(&window, "actionShowRemarksInIconNames");
            // What decides is the trigger, not the check mark: put them out of step.
            delegate->trigger();
            delegate->setChecked(true);
            delegate->trigger();
            QCOMPARE(windowChild<QListView>(&window, "listViewIconNames")->itemDelegate(), original);
            delegate->trigger();
            windowChild<QAction>(&window, "actionShowRemarksAboutFindedIcon")->trigger();
            windowChild<QCheckBox>(&window, "checkBoxApplicantsExactMatchBySearchIconName")->setChecked(true);
        }
        const auto values = runSettingsProbe();
        QCOMPARE(values.value("ShowRemarksInIconNames"), QString("1"));
        QCOMPARE(values.value("ShowRemarksInFindedIcon"), QString("1"));
        QCOMPARE(values.value("ApplicantsExactMatchBySearchIconName"), QString("1"));
        for (const char *key : {"MainWindowGeometry", "SplitterMainState", "SplitterSecondState", "SplitterFindedIconState", "SplitterApplicantsRemarksState"}) {
            QVERIFY2(values.value(key).toInt() > 0, key);
        }
        // Only what the window itself saves is written when it closes.
        QVERIFY(!FixtureTheme::readFile(settingsFilePath()).contains("PreviewIconSize="));
        QVERIFY(!FixtureTheme::readFile(settingsFilePath()).contains("IconThemeName="));
        storeThemeSettings(m_theme);

        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.size(), QSize(1250, 900));
        QVERIFY(dynamic_cast<IconsRemarksDelegate *>(windowChild<QListView>(&window, "listViewIconNames")->itemDelegate()));
        QVERIFY(windowChild<QAction>(&window, "actionShowRemarksInIconNames")->isChecked());
        QVERIFY(!windowChild<QGroupBox>(&window, "groupBoxFindedIconRemarks")->isHidden());
        QVERIFY(windowChild<QAction>(&window, "actionShowRemarksAboutFindedIcon")->isChecked());
        QVERIFY(windowChild<QCheckBox>(&window, "checkBoxApplicantsExactMatchBySearchIconName")->isChecked());
    }

    // Values the window cannot use are used as Qt converts them, and kept as they stand.
    void garbledFileKeepsWhatTheWindowDoesNotSave()
    {
        FixtureTheme::writeFile(settingsFilePath(),
                                "[General]\nScanIconNamesIconSize=banana\nPreviewIconSize=-5\nShowRemarksInIconNames=perhaps\nIconThemeSearchPaths=42\n"
                                "MainWindowGeometry=@ByteArray(garbage)\nSplitterMainState=@ByteArray(\\0\\0\\xff)\nIconPathSortSectionsPolicy=Size, Bogus\n");
        {
            MainWindow window;
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QCOMPARE(windowChild<QListView>(&window, "listViewIconNames")->iconSize(), QSize(0, 0));
            QVERIFY(dynamic_cast<IconsRemarksDelegate *>(windowChild<QListView>(&window, "listViewIconNames")->itemDelegate()));
            QCOMPARE(QIcon::themeSearchPaths(), QStringList{"42"});
        }
        const QByteArray text = FixtureTheme::readFile(settingsFilePath());
        QVERIFY2(text.contains("ScanIconNamesIconSize=banana") && text.contains("PreviewIconSize=-5"), text.constData());
        QVERIFY(text.contains("IconPathSortSectionsPolicy=Size, Bogus"));
        QFile::remove(settingsFilePath());
        storeThemeSettings(m_theme);
    }

    // Against the installed breeze theme, where it is installed.
    void breeze()
    {
        if (!QFileInfo::exists("/usr/share/icons/breeze/index.theme")) {
            QSKIP("breeze-icon-theme is not installed");
        }
        storeThemeSettings({"/usr/share/icons"}, {"/usr/share/pixmaps"}, "breeze");
        MainWindow window;
        findByTyping(&window, "edit-copy-nonexistent-suffix");
        QTRY_COMPARE(statusText(&window), QString("Find icon by name \"edit-copy-nonexistent-suffix\" done. Finded applicant icon by name: \"edit-copy\"."));
        findByTyping(&window, "edit-copy");
        QTRY_COMPARE(statusText(&window), QString("Find icon by name \"edit-copy\" done."));
        QVERIFY(comboEntries(&window).contains("22x22"));
        QVERIFY(windowChild<QListView>(&window, "listViewApplicantsIconPaths")->model()->rowCount() > 0);
        storeThemeSettings(m_theme);
    }
};

QTEST_MAIN(MainWindowTest)

#include "mainwindowtest.moc"

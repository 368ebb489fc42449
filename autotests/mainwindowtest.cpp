#include "catalogue/iconsizechoice.h"
#include "catalogue/iconsmodel.h"
#include "remarks/iconsremarksdelegate.h"
#include "testhelpers.h"

#include <private/qiconloader_p.h>

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
            names += letters.value((image.pixel(point * image.width() / 4) & 0xffffff) | 0xff000000, '?');
        }
        return names;
    }

    static QAction *menuAction(QWidget *owner, const QString &text)
    {
        const auto actions = owner->findChildren<QAction *>();
        const auto found = std::find_if(actions.cbegin(), actions.cend(), [&text](QAction *action) {
            return action->text() == text;
        });
        if (found == actions.cend()) {
            qFatal("no action %s", qPrintable(text));
        }
        return *found;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_theme.addStandardIcons();
        m_theme.store();
    }

    // Names a user or a script may type, the odd ones included: the name goes into the
    // labels and remark texts as it stands, no placeholder in it filled. A find is one
    // unit: its applicants are listed when it returns, its posted step ends it.
    void finds_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("inUse");
        QTest::addColumn<bool>("nullIcon");
        QTest::addColumn<int>("applicants");
        QTest::newRow("found") << "four-sizes" << "four-sizes" << false << 4;
        QTest::newRow("other name in use") << "four-sizes-more" << "four-sizes" << false << 4;
        QTest::newRow("absent") << "absent" << QString() << true << 0;
        QTest::newRow("leading blank") << " four-sizes" << QString() << true << 0;
        QTest::newRow("empty") << QString() << QString() << true << 0;
        QTest::newRow("5000 characters") << QString(5000, 'a') << QString() << true << 0;
        // Longer than a file name can be: no applicants.
        QTest::newRow("5000 characters of dashes") << "four-sizes" + QString(2500, '-') + QString(2489, 'b') << "four-sizes" << false << 0;
        QTest::newRow("cyrillic") << "значок-папки" << QString() << true << 0;
        QTest::newRow("han and an emoji") << "图标-\U0001F600" << QString() << true << 0;
        // The toolkit opens an absolute path as a file: an icon, but one without a name.
        QTest::newRow("absolute path") << m_theme.themePath + "/16x16/apps/four-sizes.png" << QString() << false << 0;
        QTest::newRow("slash") << "16x16/apps/four-sizes" << QString() << true << 0;
        QTest::newRow("dot dot") << ".." << QString() << true << 0;
        QTest::newRow("climbing") << "../zelfixture/16x16/apps/four-sizes" << QString() << true << 0;
        QTest::newRow("nul") << QString("four-sizes") + QChar(0) + "x" << QString() << true << 0;
        QTest::newRow("placeholder") << "%1" << QString() << true << 0;
        QTest::newRow("placeholders and a dash") << "four-sizes-%2%1" << "four-sizes" << false << 4;
    }

    void finds()
    {
        QFETCH(QString, name);
        QFETCH(QString, inUse);
        QFETCH(bool, nullIcon);
        MainWindow window;
        window.show();
        findByTyping(&window, name);
        // Until control returns to the loop the progress message and the one cursor stand;
        // nothing is posted for the empty name.
        QCOMPARE(statusText(&window), name.isEmpty() ? QString() : QString("Finding icon by name \"%1\"...").arg(name));
        QCOMPARE(QGuiApplication::overrideCursor() ? QGuiApplication::overrideCursor()->shape() : Qt::ArrowCursor, name.isEmpty() ? Qt::ArrowCursor : Qt::WaitCursor);
        QTEST(windowChild<QListView>(&window, "listViewApplicantsIconPaths")->model()->rowCount(), "applicants");
        const QString status = name.isEmpty() ? QString()
            : nullIcon                        ? QString("Failed find icon by name \"%1\", on current icon theme!").arg(name)
            : inUse == name                   ? QString("Find icon by name \"%1\" done.").arg(name)
                                              : QString("Find icon by name \"%1\" done. Finded applicant icon by name: \"%2\".").arg(name, inUse);
        QCoreApplication::sendPostedEvents();
        QCOMPARE(statusText(&window), status);
        QVERIFY(!QGuiApplication::overrideCursor());
        // Qt's hasThemeIcon compares the found name with the asked one: both empty are equal.
        QCOMPARE(QStringList({labelText(&window, "labelSearchIconName"), labelText(&window, "labelHasThemeIcon"), labelText(&window, "labelFindedIconName"),
                              labelText(&window, "labelFindedIconIsMask")}),
                 QStringList({name, inUse == name ? "Exist" : "Absent", inUse, "Not mask"}));
        QVERIFY(QRegularExpression("^[0-9]+$").match(labelText(&window, "labelFindedIconCacheKey")).hasMatch());
        const IconRemarks remarks = window.findChild<IconsModel *>()->iconRemarks(name);
        QVERIFY(inUse.isEmpty() ? remarks.size() == 1 : remarks.last().second.contains(name));
        QVERIFY(!inUse.isEmpty() || remarks.first().second == QString("Icon with name %1 not found on current theme").replace("%1", name));
    }

    void sizeEntries_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("preferred"); // 0: none
        QTest::addColumn<QString>("entries");
        QTest::newRow("largest by default") << "four-sizes" << 0 << "16x16 22x22 32x32 *48x48";
        QTest::newRow("preferred 24 picks 32") << "four-sizes" << 24 << "16x16 22x22 *32x32 48x48";
        QTest::newRow("preferred 512 falls back") << "four-sizes" << 512 << "16x16 22x22 32x32 *48x48";
        QTest::newRow("same size twice, both corrupt") << "twice" << 0 << "*16x16";
        QTest::newRow("no sizes") << "absent" << 16 << "";
    }

    // A size chosen for the icon before does not carry over, nor do its nine remarks.
    void sizeEntries()
    {
        QFETCH(QString, name);
        QFETCH(int, preferred);
        Settings().setPreviewIconSizeEnable(preferred > 0);
        Settings().setPreviewIconSize(preferred);
        MainWindow window;
        findByTyping(&window, "odd24");
        findByTyping(&window, name);
        QCOMPARE(windowChild<QListView>(&window, "findedIconRemarksListView")->model()->rowCount(), window.findChild<IconsModel *>()->iconRemarks(name).size());
        auto *sizes = windowChild<QComboBox>(&window, "comboBoxFindedIconSize");
        QStringList entries = column(sizes->model());
        if (sizes->currentIndex() >= 0) {
            entries[sizes->currentIndex()].prepend('*');
        }
        QTEST(entries.join(' '), "entries");
        QCOMPARE(quadrants(&window) != QLatin1String("none"), !entries.isEmpty() && name != QLatin1String("twice"));
        waitForFind();
        Settings().setPreviewIconSizeEnable(false);
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
        menuAction(windowChild<QLabel>(&window, "labelFindedIconPreview"), "Remove all icons from corners")->trigger();
        QCOMPARE(quadrants(&window), QString("rrrr"));
        // A new find starts without emblems; the list's menu adds the current name.
        window.addEmblemToPreview({Qt::TopRightCorner, "emblem"});
        window.findChild<IconsModel *>()->addIcons({"emblem", "base"});
        findByTyping(&window, "base");
        QCOMPARE(quadrants(&window), QString("rrrr"));
        auto *list = windowChild<QListView>(&window, "listViewIconNames");
        list->setCurrentIndex(list->model()->index(1, 0));
        menuAction(list, "Add icon to bottom left corner")->trigger();
        QCOMPARE(quadrants(&window), QString("rrbr"));
        waitForFind();
    }

    // The file the toolkit draws a size and scale from, and where it scales another
    // size's file: 16, 32 and 16 at scale 2 on disk, a Scalable SVG for another name.
    void sizeChoices_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("scale");
        QTest::addColumn<QString>("chosen"); // folder, type, scaled from
        QTest::newRow("16") << "zs" << 16 << 1 << "16/apps Fixed 0";
        QTest::newRow("32") << "zs" << 32 << 1 << "32/apps Fixed 0";
        QTest::newRow("16 at scale 2") << "zs" << 16 << 2 << "16@2x/apps Fixed 0";
        QTest::newRow("48, only smaller files") << "zs" << 48 << 1 << "32/apps Fixed 32";
        QTest::newRow("22 between them") << "zs" << 22 << 1 << "16/apps Fixed 16";
        QTest::newRow("an SVG at any size") << "zv" << 192 << 2 << "scalable/apps Scalable 0";
        QTest::newRow("no icon") << "zabsent" << 16 << 1 << "  0";
    }

    void sizeChoices()
    {
        QFETCH(QString, name);
        QFETCH(int, size);
        QFETCH(int, scale);
        QTemporaryDir dir;
        FixtureTheme theme("zelsizes", dir.path());
        theme.addDirectory("16/apps", 16);
        theme.addDirectory("32/apps", 32);
        theme.addDirectory("16@2x/apps", 16, "Type=Fixed\nScale=2");
        theme.addDirectory("scalable/apps", 16, "Type=Scalable\nMinSize=8\nMaxSize=512");
        theme.addPng("16/apps", "zs", 16);
        theme.addPng("32/apps", "zs", 32);
        theme.addPng("16@2x/apps", "zs", 32);
        theme.addFile("scalable/apps/zv.svg", svgBytes(Qt::red));
        theme.writeIndex();
        QIcon::setThemeSearchPaths({dir.path()});
        QIcon::setThemeName("zelsizes");
        const IconSizeChoice choice = IconSizeChoice::of(name, {size}, {scale}).value(0);
        QTEST(QString("%1 %2 %3").arg(choice.folder, choice.folderType).arg(choice.scaledFrom), "chosen");
        const QThemeIconInfo info = QIconLoader::instance()->loadIcon(name);
        const QIconLoaderEngineEntry *entry = QIconLoaderEngine::entryForSize(info, QSize(size, size), scale);
        QCOMPARE(choice.file, entry ? entry->filename : QString());
        qDeleteAll(info.entries);
        m_theme.store();
    }

    // The views beside the find: the marked applicants, the stored backdrop, the copied
    // name, and the find run again when a file of the found name is rewritten.
    void workbench()
    {
        MainWindow window;
        auto *watcher = window.findChild<QFileSystemWatcher *>();
        QVERIFY(watcher && windowChild<QAction>(&window, "actionLiveReload")->isChecked());
        findByTyping(&window, "four-sizes");
        waitForFind();
        QAbstractItemModel *applicants = windowChild<QListView>(&window, "listViewApplicantsIconPaths")->model();
        QStringList marked;
        for (int row = 0; row < applicants->rowCount(); ++row) {
            const QModelIndex index = applicants->index(row, 0);
            if (index.data(Qt::FontRole).value<QFont>().bold()) {
                marked.append(QFileInfo(index.data().toString()).dir().dirName() + ' ' + index.data(Qt::ToolTipRole).toString());
            }
        }
        marked.sort();
        QCOMPARE(marked.join('|'), "apps The toolkit uses this file for 16x16.|apps The toolkit uses this file for 22x22.|apps The toolkit uses this file for 32x32.|"
                                   "apps The toolkit uses this file for 48x48.");
        QCOMPARE(applicants->rowCount(), 4);

        windowChild<QComboBox>(&window, "comboBoxWorkbenchBackground")->setCurrentIndex(2);
        QCOMPARE(Settings().workbenchBackground(), "dark");
        MainWindow second;
        QCOMPARE(windowChild<QLabel>(&second, "labelFindedIconPreview")->palette().window().color(), QColor(0x23, 0x26, 0x29));
        windowChild<QComboBox>(&second, "comboBoxWorkbenchBackground")->setCurrentIndex(0);

        QListView *names = windowChild<QListView>(&window, "listViewIconNames");
        names->setCurrentIndex(names->model()->index(0, 0));
        windowChild<QAction>(&window, "actionCopyIconName")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), names->currentIndex().data().toString());

        QSignalSpy changed(watcher, &QFileSystemWatcher::fileChanged);
        windowChild<QComboBox>(&window, "comboBoxFindedIconSize")->setCurrentText("48x48");
        const QString file = m_theme.themePath + "/48x48/apps/four-sizes.png";
        writeFile(file, pngBytes(48, 48, Qt::blue));
        QVERIFY(changed.wait());
        QTRY_COMPARE(quadrants(&window), "bbbb");
        QCOMPARE(windowChild<QComboBox>(&window, "comboBoxFindedIconSize")->currentText(), "48x48");
        writeFile(file, pngBytes(48, 48, Qt::red));
    }

    // A name under every theme, each asked by a report process of its own: the origin
    // of each row, and the window's own theme and its key as they were.
    void themesSideBySide()
    {
        QTemporaryDir dir;
        for (const char *name : {"zelown", "zelparent", "zelchild"}) {
            FixtureTheme theme(name, dir.filePath("themes"));
            theme.addDirectory("16/apps", 16);
            if (name != QLatin1String("zelchild")) {
                theme.addPng("16/apps", "zt", 16);
            }
            theme.writeIndex(name == QLatin1String("zelchild") ? "zelparent" : "");
        }
        writeFile(dir.filePath("loose/zt.png"), pngBytes(16, 16, Qt::red));
        storeThemeSettings({m_theme.searchPath, dir.filePath("themes")}, {dir.filePath("loose")}, m_theme.name);
        MainWindow window;
        window.show();
        auto *view = windowChild<QTableWidget>(&window, "tableWidgetThemes");
        view->parentWidget()->show();
        const uint key = QIconLoader::instance()->themeKey();
        findByTyping(&window, "zt");
        waitForFind();
        const auto rows = [view]() {
            QStringList rows;
            for (int row = 0; row < view->rowCount(); ++row) {
                rows.append(view->item(row, 0)->text() + ' ' + view->item(row, 1)->text() + (view->item(row, 2)->data(Qt::DecorationRole).isNull() ? "" : " *"));
            }
            return rows.filter(QRegularExpression("^zel")).join('|');
        };
        QTRY_COMPARE_WITH_TIMEOUT(rows(), "zelchild inherited from zelparent *|zelfixture fallback *|zelown own *|zelparent own *", 20000);
        QCOMPARE(QIcon::themeName() + ' ' + QString::number(QIconLoader::instance()->themeKey()), m_theme.name + ' ' + QString::number(key));
        m_theme.store();
    }

    // What the window saves as it closes, and only that, comes back in the next one.
    void saveAndRestore()
    {
        const QStringList splitters{"splitterMain", "splitterSecond", "splitterFindedIcon", "splitterApplicantsRemarks"};
        QList<QList<int>> sizes;
        QFile::remove(settingsFilePath());
        {
            MainWindow window;
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            window.resize(1250, 900);
            QTRY_COMPARE(window.size(), QSize(1250, 900));
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
            for (const QString &name : splitters) {
                windowChild<QSplitter>(&window, qPrintable(name))->setSizes({0, 1000});
                sizes.append(windowChild<QSplitter>(&window, qPrintable(name))->sizes());
            }
        }
        QCOMPARE(storedMismatches("ShowRemarksInIconNames=1 ShowRemarksInFindedIcon=1 ApplicantsExactMatchBySearchIconName=1"), QStringList());
        QVERIFY(!readFile(settingsFilePath()).contains("PreviewIconSize=") && !readFile(settingsFilePath()).contains("IconThemeName="));
        m_theme.store();

        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.size(), QSize(1250, 900));
        for (const QString &name : splitters) {
            // The remarks pane's splitter may differ by a few pixels: its window lays out anew.
            QVERIFY2(qAbs(windowChild<QSplitter>(&window, qPrintable(name))->sizes().value(0) - sizes.takeFirst().value(0)) < 8, qPrintable(name));
        }
        QVERIFY(dynamic_cast<IconsRemarksDelegate *>(windowChild<QListView>(&window, "listViewIconNames")->itemDelegate()));
        QVERIFY(windowChild<QAction>(&window, "actionShowRemarksInIconNames")->isChecked() && windowChild<QAction>(&window, "actionShowRemarksAboutFindedIcon")->isChecked());
        QVERIFY(!windowChild<QGroupBox>(&window, "groupBoxFindedIconRemarks")->isHidden());
        QVERIFY(windowChild<QCheckBox>(&window, "checkBoxApplicantsExactMatchBySearchIconName")->isChecked());
    }
};

QTEST_MAIN(MainWindowTest)

#include "mainwindowtest.moc"

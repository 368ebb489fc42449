#include "app/mainwindow_p.h"
#include "catalogue/iconsmodel.h"

#include "testenvironment.h"
#include "windowfixture.h"

#include <QGroupBox>
#include <QSortFilterProxyModel>

class FindIconTest : public QObject
{
    Q_OBJECT

    StandardFixture m_fixture;

    static void waitForOutcome(QWidget *window)
    {
        QTRY_VERIFY(!QGuiApplication::overrideCursor());
        Q_UNUSED(window);
    }

private Q_SLOTS:
    void initTestCase()
    {
        storeThemeSettings(m_fixture);
    }

    void outcomeMessages_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("hasThemeIcon");
        QTest::addColumn<QString>("findedName");
        QTest::newRow("found") << QStringLiteral("four-sizes") << QStringLiteral("Find icon by name \"four-sizes\" done.") << QStringLiteral("Exist")
                               << QStringLiteral("four-sizes");
        QTest::newRow("other name in use") << QStringLiteral("four-sizes-more")
                                           << QStringLiteral("Find icon by name \"four-sizes-more\" done. Finded applicant icon by name: \"four-sizes\".")
                                           << QStringLiteral("Absent") << QStringLiteral("four-sizes");
        QTest::newRow("absent") << QStringLiteral("absent") << QStringLiteral("Failed find icon by name \"absent\", on current icon theme!")
                                << QStringLiteral("Absent") << QString();
        QTest::newRow("leading blank") << QStringLiteral(" four-sizes") << QStringLiteral("Failed find icon by name \" four-sizes\", on current icon theme!")
                                       << QStringLiteral("Absent") << QString();
    }

    void outcomeMessages()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        QFETCH(QString, hasThemeIcon);
        QFETCH(QString, findedName);
        MainWindow window;
        window.show();
        findByTyping(&window, name);
        // The outcome is posted: until control returns to the loop the progress message stands.
        QCOMPARE(statusText(&window), QStringLiteral("Finding icon by name \"%1\"...").arg(name));
        QVERIFY(QGuiApplication::overrideCursor());
        QTRY_COMPARE(statusText(&window), message);
        QVERIFY(!QGuiApplication::overrideCursor());
        QCOMPARE(windowChild<QLabel>(&window, "labelSearchIconName")->text(), name);
        QCOMPARE(windowChild<QLabel>(&window, "labelHasThemeIcon")->text(), hasThemeIcon);
        QCOMPARE(windowChild<QLabel>(&window, "labelFindedIconName")->text(), findedName);
        QCOMPARE(windowChild<QLabel>(&window, "labelFindedIconIsMask")->text(), QStringLiteral("Not mask"));
        bool ok = false;
        windowChild<QLabel>(&window, "labelFindedIconCacheKey")->text().toLongLong(&ok);
        QVERIFY(ok);
    }

    void remarksListed()
    {
        MainWindow window;
        findByTyping(&window, QStringLiteral("corrupt-one"));
        auto *view = windowChild<QListView>(&window, "findedIconRemarksListView");
        QAbstractItemModel *model = view->model();
        QCOMPARE(model->rowCount(), 8);
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("The size 22x22 for icon corrupt-one has no image valid"));
        QCOMPARE(model->index(0, 0).data(Qt::DecorationRole).value<QIcon>().name(), QStringLiteral("dialog-error"));
        QCOMPARE(model->index(1, 0).data(Qt::DecorationRole).value<QIcon>().name(), QStringLiteral("dialog-information"));
        // Filled even while the group is hidden.
        QVERIFY(windowChild<QGroupBox>(&window, "groupBoxFindedIconRemarks")->isHidden());
        QTRY_VERIFY(!QGuiApplication::overrideCursor());
    }

    void cursorStackBalanced()
    {
        MainWindow window;
        for (const char *name : {"four-sizes", "", "absent", "four-sizes-x", "", "vector"}) {
            findByTyping(&window, QLatin1String(name));
        }
        QTRY_VERIFY(!QGuiApplication::overrideCursor());
        QCOMPARE(statusText(&window), QStringLiteral("Find icon by name \"vector\" done."));
    }

    void emptyName()
    {
        MainWindow window;
        window.findChild<IconsModel *>()->addIcon(QStringLiteral("four-sizes"));
        findByTyping(&window, QStringLiteral("four-sizes"));
        auto *list = windowChild<QListView>(&window, "listViewIconNames");
        QTRY_VERIFY(!QGuiApplication::overrideCursor());
        const QModelIndex current = list->currentIndex();
        QVERIFY(current.isValid());

        findByTyping(&window, QString());
        // Nothing is posted for the empty name: the cursor is back at once.
        QVERIFY(!QGuiApplication::overrideCursor());
        QCOMPARE(statusText(&window), QString());
        QTest::qWait(20);
        QCOMPARE(statusText(&window), QString());
        QCOMPARE(list->currentIndex(), current);
        // Qt's hasThemeIcon compares the found name with the asked one, and both are empty here.
        QCOMPARE(windowChild<QLabel>(&window, "labelHasThemeIcon")->text(), QStringLiteral("Exist"));
        QVERIFY(comboEntries(&window).isEmpty());
        QVERIFY(windowChild<QLabel>(&window, "labelFindedIconPreview")->pixmap(Qt::ReturnByValue).isNull());
    }

    void sizeEntries_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("preferred");
        QTest::addColumn<int>("preferredSize");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("current");
        const QStringList four = {QStringLiteral("16x16"), QStringLiteral("22x22"), QStringLiteral("32x32"), QStringLiteral("48x48")};
        QTest::newRow("largest by default") << QStringLiteral("four-sizes") << false << 256 << four << QStringLiteral("48x48");
        QTest::newRow("preferred 24 picks 32") << QStringLiteral("four-sizes") << true << 24 << four << QStringLiteral("32x32");
        QTest::newRow("preferred 16 exact") << QStringLiteral("four-sizes") << true << 16 << four << QStringLiteral("16x16");
        QTest::newRow("preferred 512 falls back") << QStringLiteral("four-sizes") << true << 512 << four << QStringLiteral("48x48");
        QTest::newRow("same size twice") << QStringLiteral("twice") << false << 256 << QStringList{QStringLiteral("16x16")} << QStringLiteral("16x16");
        QTest::newRow("no sizes") << QStringLiteral("absent") << true << 16 << QStringList() << QString();
    }

    void sizeEntries()
    {
        QFETCH(QString, name);
        QFETCH(bool, preferred);
        QFETCH(int, preferredSize);
        QFETCH(QStringList, entries);
        QFETCH(QString, current);
        {
            Settings settings;
            settings.setPreviewIconSizeEnable(preferred);
            settings.setPreviewIconSize(preferredSize);
        }
        MainWindow window;
        // A size chosen for the previous icon does not carry over.
        findByTyping(&window, QStringLiteral("odd24"));
        findByTyping(&window, name);
        QCOMPARE(comboEntries(&window), entries);
        QCOMPARE(windowChild<QComboBox>(&window, "comboBoxFindedIconSize")->currentText(), current);
        const QPixmap preview = windowChild<QLabel>(&window, "labelFindedIconPreview")->pixmap(Qt::ReturnByValue);
        QCOMPARE(!preview.isNull(), !current.isEmpty() && name != QLatin1String("twice"));
        QTRY_VERIFY(!QGuiApplication::overrideCursor());
        {
            Settings settings;
            settings.remove(QStringLiteral("PreviewIconSizeEnable"));
            settings.remove(QStringLiteral("PreviewIconSize"));
        }
    }

    void sizeText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QSize>("size");
        QTest::newRow("48x48") << QStringLiteral("48x48") << QSize(48, 48);
        QTest::newRow("48") << QStringLiteral("48") << QSize();
        QTest::newRow("x48") << QStringLiteral("x48") << QSize(0, 48);
        QTest::newRow("48X48") << QStringLiteral("48X48") << QSize();
        QTest::newRow("16x16x2") << QStringLiteral("16x16x2") << QSize(16, 16);
        QTest::newRow("48x") << QStringLiteral("48x") << QSize(48, 0);
        QTest::newRow("axb") << QStringLiteral("axb") << QSize(0, 0);
        QTest::newRow("empty") << QString() << QSize();
    }

    void sizeText()
    {
        QFETCH(QString, text);
        QFETCH(QSize, size);
        QCOMPARE(MainWindowPrivate::convertStringToQSize(text), size);
        QCOMPARE(MainWindowPrivate::convertQSizeToString(QSize(256, 128)), QStringLiteral("256x128"));
    }

    void filteredNameLeavesListAlone()
    {
        MainWindow window;
        auto *model = window.findChild<IconsModel *>();
        model->addIcon(QStringLiteral("four-sizes"));
        model->addIcon(QStringLiteral("vector"));
        auto *list = windowChild<QListView>(&window, "listViewIconNames");

        findByTyping(&window, QStringLiteral("vector"));
        QCOMPARE(list->currentIndex().data().toString(), QStringLiteral("vector"));

        windowChild<QLineEdit>(&window, "lineEditIconNamesFilter")->setText(QStringLiteral("vec"));
        const QModelIndex before = list->currentIndex();
        findByTyping(&window, QStringLiteral("four-sizes"));
        QCOMPARE(list->currentIndex(), before);

        windowChild<QLineEdit>(&window, "lineEditIconNamesFilter")->clear();
        findByTyping(&window, QStringLiteral("four-sizes"));
        QCOMPARE(list->currentIndex().data().toString(), QStringLiteral("four-sizes"));
        QTRY_VERIFY(!QGuiApplication::overrideCursor());
        // The clear button fades through an animation without a parent that frees itself
        // when it stops; a window gone before that leaves it to a timer that never fires again.
        QTest::qWait(400);
    }
};

ZEL_TEST_MAIN(FindIconTest)

#include "findicontest.moc"

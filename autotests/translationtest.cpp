#include "catalogue/iconsmodel.h"
#include "testhelpers.h"

#include <KLocalizedString>

#include <QGroupBox>
#include <QMenu>

// Run once with LANGUAGE=de and once with LANGUAGE=C; the catalog comes from the build
// tree, or from an installed tree named by ZEL_TEST_CATALOG_DATA_DIR.
class TranslationTest : public QObject
{
    Q_OBJECT

    static bool german()
    {
        return qEnvironmentVariable("LANGUAGE").startsWith(QLatin1String("de"));
    }

    static QString expected(const char *english, const char *germanText)
    {
        return QString::fromUtf8(german() ? germanText : english);
    }

private Q_SLOTS:
    void initTestCase()
    {
        const QString language = qEnvironmentVariable("LANGUAGE");
        QVERIFY2(language.startsWith(QLatin1String("de")) || language == QLatin1String("C"), "LANGUAGE must be de or C");
    }

    void captions_data()
    {
        QTest::addColumn<QString>("objectName");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("germanText");
        QTest::newRow("file menu") << "menuFile" << "&File" << "&Datei";
        QTest::newRow("view menu") << "menuView" << "View" << "Ansicht";
        QTest::newRow("icon names group") << "groupBoxIconNames" << "Icon names:" << "Symbolnamen:";
        QTest::newRow("found icon group") << "groupBoxFindedIcon" << "Finded icon:" << "Gefundenes Symbol:";
    }

    void captions()
    {
        QFETCH(QString, objectName);
        QFETCH(QString, english);
        QFETCH(QString, germanText);
        MainWindow window;
        QObject *object = window.findChild<QObject *>(objectName);
        QVERIFY(object);
        const QString caption = qobject_cast<QMenu *>(object) ? qobject_cast<QMenu *>(object)->title() : qobject_cast<QGroupBox *>(object)->title();
        QCOMPARE(caption, german() ? germanText : english);
    }

    void remarkAndStatus()
    {
        MainWindow window;
        window.show();
        findByTyping(&window, QStringLiteral("zel-absent"));
        QTRY_COMPARE(statusText(&window),
                     expected("Failed find icon by name \"zel-absent\", on current icon theme!",
                              "Kein Symbol mit dem Namen „zel-absent“ im aktuellen Symbolthema gefunden!"));
        QAbstractItemModel *remarks = windowChild<QListView>(&window, "findedIconRemarksListView")->model();
        QCOMPARE(remarks->rowCount(), 1);
        QCOMPARE(remarks->index(0, 0).data().toString(),
                 expected("Icon with name zel-absent not found on current theme", "Symbol mit dem Namen zel-absent im aktuellen Thema nicht gefunden"));
        QCOMPARE(windowChild<QLabel>(&window, "labelHasThemeIcon")->text(), expected("Absent", "Fehlt"));
    }

    // Texts are made in the language current at each call, also for names asked before.
    void remarksFollowTheLanguage()
    {
        IconsModel model(nullptr);
        const QString name = QStringLiteral("zel-absent");
        KLocalizedString::setLanguages({QStringLiteral("en_US")});
        QCOMPARE(model.iconRemarks(name).value(0).second, QStringLiteral("Icon with name zel-absent not found on current theme"));
        KLocalizedString::setLanguages({QStringLiteral("de")});
        QCOMPARE(model.iconRemarks(name).value(0).second, QStringLiteral("Symbol mit dem Namen zel-absent im aktuellen Thema nicht gefunden"));
        KLocalizedString::clearLanguages();
    }
};

int main(int argc, char **argv)
{
    prepareTestEnvironment(false);
    const QByteArray catalogs =
        qEnvironmentVariableIsSet("ZEL_TEST_CATALOG_DATA_DIR") ? qgetenv("ZEL_TEST_CATALOG_DATA_DIR") : QByteArray(ZEL_BUILD_CATALOG_DATA_DIR);
    qputenv("XDG_DATA_DIRS", catalogs + ":/usr/share");
    QApplication app(argc, argv);
    TranslationTest tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "translationtest.moc"

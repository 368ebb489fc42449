#include "catalogue/iconsmodel.h"
#include "testhelpers.h"

#include <KLocalizedString>

// Run once with LANGUAGE=de and once with LANGUAGE=C; the catalog comes from the build
// tree, or from an installed tree named by ZEL_TEST_CATALOG_DATA_DIR.
class TranslationTest : public QObject
{
    Q_OBJECT

public:
    static void initMain()
    {
        prepareTestEnvironment(false);
        const QByteArray catalogs = qEnvironmentVariableIsSet("ZEL_TEST_CATALOG_DATA_DIR") ? qgetenv("ZEL_TEST_CATALOG_DATA_DIR") : ZEL_BUILD_CATALOG_DATA_DIR;
        qputenv("XDG_DATA_DIRS", catalogs + ":/usr/share");
    }

private Q_SLOTS:
    // Texts of the forms, of the code and of the remarks, in the language of the process.
    void windowTexts()
    {
        const QString language = qEnvironmentVariable("LANGUAGE");
        QVERIFY2(language.startsWith("de") || language == "C", "LANGUAGE must be de or C");
        MainWindow window;
        window.show();
        findByTyping(&window, "zel-absent");
        const QString captions = windowChild<QMenu>(&window, "menuFile")->title() + '|' + windowChild<QGroupBox>(&window, "groupBoxFindedIcon")->title();
        QTRY_VERIFY(statusText(&window).startsWith(language == "C" ? "Failed" : "Kein"));
        const QString texts = captions + '|' + statusText(&window) + '|' + windowChild<QListView>(&window, "findedIconRemarksListView")->model()->index(0, 0).data().toString()
            + '|' + labelText(&window, "labelHasThemeIcon");
        QCOMPARE(texts,
                 QString::fromUtf8(language == "C" ? "&File|Finded icon:|Failed find icon by name \"zel-absent\", on current icon theme!|"
                                                     "Icon with name zel-absent not found on current theme|Absent"
                                                   : "&Datei|Gefundenes Symbol:|Kein Symbol mit dem Namen „zel-absent“ im aktuellen Symbolthema gefunden!|"
                                                     "Symbol mit dem Namen zel-absent im aktuellen Thema nicht gefunden|Fehlt"));
    }
};

QTEST_MAIN(TranslationTest)

#include "translationtest.moc"

// Against the installed breeze theme; skipped where it is not installed.
#include "testenvironment.h"
#include "windowfixture.h"

#include <QFileInfo>

class BreezeTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (!QFileInfo::exists(QStringLiteral("/usr/share/icons/breeze/index.theme"))) {
            QSKIP("breeze-icon-theme is not installed");
        }
        storeThemeSettings({QStringLiteral("/usr/share/icons")}, {QStringLiteral("/usr/share/pixmaps")}, QStringLiteral("breeze"));
    }

    void editCopy()
    {
        MainWindow window;
        findByTyping(&window, QStringLiteral("edit-copy"));
        QTRY_COMPARE(statusText(&window), QStringLiteral("Find icon by name \"edit-copy\" done."));
        QCOMPARE(windowChild<QLabel>(&window, "labelHasThemeIcon")->text(), QStringLiteral("Exist"));
        QVERIFY(comboEntries(&window).contains(QStringLiteral("16x16")));
        QVERIFY(comboEntries(&window).contains(QStringLiteral("22x22")));
        const QPixmap preview = windowChild<QLabel>(&window, "labelFindedIconPreview")->pixmap(Qt::ReturnByValue);
        QVERIFY(!preview.isNull());
        QVERIFY(windowChild<QListView>(&window, "listViewApplicantsIconPaths")->model()->rowCount() > 0);
    }

    void dashFallback()
    {
        MainWindow window;
        findByTyping(&window, QStringLiteral("edit-copy-nonexistent-suffix"));
        QTRY_COMPARE(statusText(&window),
                     QStringLiteral("Find icon by name \"edit-copy-nonexistent-suffix\" done. Finded applicant icon by name: \"edit-copy\"."));
        QCOMPARE(windowChild<QLabel>(&window, "labelFindedIconName")->text(), QStringLiteral("edit-copy"));
        QCOMPARE(windowChild<QLabel>(&window, "labelHasThemeIcon")->text(), QStringLiteral("Absent"));
    }
};

ZEL_TEST_MAIN(BreezeTest)

#include "breezetest.moc"

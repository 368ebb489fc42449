#include "settings/lineeditdialog.h"
#include "settings/stringlistedit.h"
#include "settings/stringlistorderedit.h"

#include "modaldriver.h"
#include "testenvironment.h"

#include <QAbstractItemModelTester>
#include <QLineEdit>
#include <QListView>
#include <QToolButton>

class StringListEditsTest : public QObject
{
    Q_OBJECT

private:
    static void makeCurrent(QWidget *editor, int row)
    {
        auto *view = windowChild<QListView>(editor, "listView");
        view->setCurrentIndex(view->model()->index(row, 0));
    }

    static int currentRow(QWidget *editor)
    {
        return windowChild<QListView>(editor, "listView")->currentIndex().row();
    }

    // Answers the next line dialog with the given text; records what it showed first.
    static void answerLineDialog(const QString &text, bool accept, QString *shownText = nullptr, QString *shownTitle = nullptr)
    {
        whenModal<LineEditDialog>([=](LineEditDialog *dialog) {
            if (shownText) {
                *shownText = dialog->text();
            }
            if (shownTitle) {
                *shownTitle = dialog->windowTitle();
            }
            dialog->findChild<QLineEdit *>(QStringLiteral("lineEdit"))->setText(text);
            if (accept) {
                dialog->accept();
            } else {
                dialog->reject();
            }
        });
    }

private Q_SLOTS:
    void editButtonsFollowTheCurrentEntry()
    {
        StringListEdit editor;
        QAbstractItemModelTester tester(windowChild<QListView>(&editor, "listView")->model());
        editor.setItems({QStringLiteral("png"), QStringLiteral("svg")});
        QVERIFY(!windowChild<QToolButton>(&editor, "toolButtonEdit")->isEnabled());
        QVERIFY(!windowChild<QToolButton>(&editor, "toolButtonRemove")->isEnabled());
        QVERIFY(windowChild<QToolButton>(&editor, "toolButtonAdd")->isEnabled());

        makeCurrent(&editor, 1);
        QVERIFY(windowChild<QToolButton>(&editor, "toolButtonEdit")->isEnabled());
        QVERIFY(windowChild<QToolButton>(&editor, "toolButtonRemove")->isEnabled());
    }

    void addAppends_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QStringList>("expected");
        const QStringList start{QStringLiteral("png"), QStringLiteral("svg")};
        QTest::newRow("new text") << QStringLiteral("xpm") << true << (start + QStringList{QStringLiteral("xpm")});
        QTest::newRow("empty text") << QString() << true << (start + QStringList{QString()});
        QTest::newRow("duplicate") << QStringLiteral("png") << true << (start + QStringList{QStringLiteral("png")});
        QTest::newRow("cancelled") << QStringLiteral("xpm") << false << start;
    }

    void addAppends()
    {
        QFETCH(QString, text);
        QFETCH(bool, accept);
        QFETCH(QStringList, expected);

        StringListEdit editor;
        QAbstractItemModelTester tester(windowChild<QListView>(&editor, "listView")->model());
        editor.setItems({QStringLiteral("png"), QStringLiteral("svg")});
        makeCurrent(&editor, 0);
        QString title;
        answerLineDialog(text, accept, nullptr, &title);
        windowChild<QToolButton>(&editor, "toolButtonAdd")->click();
        QCOMPARE(title, QStringLiteral("Add"));
        QCOMPARE(editor.items(), expected);
        // The new entry is not made current.
        QCOMPARE(currentRow(&editor), 0);
    }

    void editPrefillsAndReplaces_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("changed") << QStringLiteral("xpm") << true << QStringList{QStringLiteral("png"), QStringLiteral("xpm")};
        QTest::newRow("unchanged") << QStringLiteral("svg") << true << QStringList{QStringLiteral("png"), QStringLiteral("svg")};
        QTest::newRow("emptied") << QString() << true << QStringList{QStringLiteral("png"), QString()};
        QTest::newRow("duplicate") << QStringLiteral("png") << true << QStringList{QStringLiteral("png"), QStringLiteral("png")};
        QTest::newRow("cancelled") << QStringLiteral("xpm") << false << QStringList{QStringLiteral("png"), QStringLiteral("svg")};
    }

    void editPrefillsAndReplaces()
    {
        QFETCH(QString, text);
        QFETCH(bool, accept);
        QFETCH(QStringList, expected);

        StringListEdit editor;
        QAbstractItemModelTester tester(windowChild<QListView>(&editor, "listView")->model());
        editor.setItems({QStringLiteral("png"), QStringLiteral("svg")});
        makeCurrent(&editor, 1);
        QString shown;
        QString title;
        answerLineDialog(text, accept, &shown, &title);
        windowChild<QToolButton>(&editor, "toolButtonEdit")->click();
        QCOMPARE(shown, QStringLiteral("svg"));
        QCOMPARE(title, QStringLiteral("Edit"));
        QCOMPARE(editor.items(), expected);
    }

    void editAndRemoveWithoutCurrentDoNothing()
    {
        StringListEdit editor;
        editor.setItems({QStringLiteral("png")});
        ModalWatcher<LineEditDialog> watcher;
        editor.editItem();
        editor.removeItem();
        QCOMPARE(watcher.count(), 0);
        QCOMPARE(editor.items(), QStringList{QStringLiteral("png")});
    }

    void removeAsksNothing()
    {
        StringListEdit editor;
        QAbstractItemModelTester tester(windowChild<QListView>(&editor, "listView")->model());
        editor.setItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        makeCurrent(&editor, 1);
        ModalWatcher<QDialog> watcher;
        windowChild<QToolButton>(&editor, "toolButtonRemove")->click();
        QCOMPARE(editor.items(), (QStringList{QStringLiteral("a"), QStringLiteral("c")}));
        QCOMPARE(watcher.count(), 0);
        // The buttons follow wherever the view put the current index.
        const bool hasCurrent = currentRow(&editor) >= 0;
        QCOMPARE(windowChild<QToolButton>(&editor, "toolButtonRemove")->isEnabled(), hasCurrent);
        QCOMPARE(windowChild<QToolButton>(&editor, "toolButtonEdit")->isEnabled(), hasCurrent);
    }

    void viewDoesNotEditInPlace()
    {
        StringListEdit editor;
        editor.setItems({QStringLiteral("png")});
        auto *view = windowChild<QListView>(&editor, "listView");
        QCOMPARE(view->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(view->viewMode(), QListView::IconMode);
        QCOMPARE(view->flow(), QListView::TopToBottom);
    }

    void orderButtons_data()
    {
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("up");
        QTest::addColumn<bool>("down");
        const QStringList three{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
        QTest::newRow("no current") << three << -1 << false << false;
        QTest::newRow("first") << three << 0 << false << true;
        QTest::newRow("middle") << three << 1 << true << true;
        QTest::newRow("last") << three << 2 << true << false;
        QTest::newRow("only") << QStringList{QStringLiteral("a")} << 0 << false << false;
    }

    void orderButtons()
    {
        QFETCH(QStringList, items);
        QFETCH(int, row);
        QFETCH(bool, up);
        QFETCH(bool, down);

        StringListOrderEdit editor;
        editor.setItems(items);
        if (row >= 0) {
            makeCurrent(&editor, row);
        }
        QCOMPARE(windowChild<QToolButton>(&editor, "toolButtonUp")->isEnabled(), up);
        QCOMPARE(windowChild<QToolButton>(&editor, "toolButtonDown")->isEnabled(), down);
    }

    void moves_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("down");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("currentAfter");
        QTest::addColumn<bool>("upAfter");
        QTest::addColumn<bool>("downAfter");
        QTest::newRow("second down") << 1 << true << QStringList{QStringLiteral("first"), QStringLiteral("third"), QStringLiteral("second")} << 2 << true
                                     << false;
        QTest::newRow("second up") << 1 << false << QStringList{QStringLiteral("second"), QStringLiteral("first"), QStringLiteral("third")} << 0 << false
                                   << true;
        QTest::newRow("first up refused") << 0 << false << QStringList{QStringLiteral("first"), QStringLiteral("second"), QStringLiteral("third")} << 0 << false
                                          << true;
        QTest::newRow("last down refused") << 2 << true << QStringList{QStringLiteral("first"), QStringLiteral("second"), QStringLiteral("third")} << 2 << true
                                           << false;
    }

    void moves()
    {
        QFETCH(int, row);
        QFETCH(bool, down);
        QFETCH(QStringList, expected);
        QFETCH(int, currentAfter);
        QFETCH(bool, upAfter);
        QFETCH(bool, downAfter);

        StringListOrderEdit editor;
        QAbstractItemModelTester tester(windowChild<QListView>(&editor, "listView")->model());
        editor.setItems({QStringLiteral("first"), QStringLiteral("second"), QStringLiteral("third")});
        makeCurrent(&editor, row);
        // Slots directly: a refused move is reached even where the button is disabled.
        if (down) {
            editor.downItem();
        } else {
            editor.upItem();
        }
        QCOMPARE(editor.items(), expected);
        QCOMPARE(currentRow(&editor), currentAfter);
        QCOMPARE(windowChild<QToolButton>(&editor, "toolButtonUp")->isEnabled(), upAfter);
        QCOMPARE(windowChild<QToolButton>(&editor, "toolButtonDown")->isEnabled(), downAfter);
    }

    void lineDialogKeepsTextAsTyped()
    {
        LineEditDialog dialog;
        QCOMPARE(dialog.objectName(), QStringLiteral("LineEditDialog"));
        QCOMPARE(dialog.windowTitle(), QString());
        dialog.setText(QStringLiteral("  spaced  "));
        QCOMPARE(dialog.text(), QStringLiteral("  spaced  "));
    }
};

ZEL_TEST_MAIN(StringListEditsTest)

#include "stringlisteditstest.moc"

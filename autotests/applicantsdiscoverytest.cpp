#include "fixturetheme.h"
#include "testenvironment.h"
#include "windowfixture.h"

#include <QCheckBox>
#include <QStandardPaths>

class ApplicantsDiscoveryTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString themes() const
    {
        return m_dir.path() + QStringLiteral("/icons");
    }

    void touch(const QString &relative)
    {
        const QString path = themes() + QLatin1Char('/') + relative;
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    static QStringList applicants(QWidget *window)
    {
        QAbstractItemModel *model = windowChild<QListView>(window, "listViewApplicantsIconPaths")->model();
        QStringList rows;
        for (int row = 0; row < model->rowCount(); ++row) {
            rows.append(QFileInfo(model->index(row, 0).data().toString()).fileName());
        }
        return rows;
    }

    QStringList found(QWidget *window, const QString &name)
    {
        findByTyping(window, name);
        QStringList rows = applicants(window);
        rows.sort();
        return rows;
    }

private Q_SLOTS:
    void initTestCase()
    {
        touch(QStringLiteral("t/16x16/apps/edit.png"));
        touch(QStringLiteral("t/16x16/apps/edit-copy.svg"));
        touch(QStringLiteral("t/16x16/apps/edit-copy-symbolic.svg"));
        touch(QStringLiteral("t/16x16/apps/edit-cop.png"));
        touch(QStringLiteral("t/16x16/apps/edit-copy-symbolic-rtl.svg"));
        touch(QStringLiteral("t/16x16/apps/a.png"));
        touch(QStringLiteral("t/16x16/apps/a-.png"));
        touch(QStringLiteral("t/16x16/apps/a--b.png"));
        touch(QStringLiteral("t/16x16/apps/a-b.png"));
        touch(QStringLiteral("t/16x16/apps/upper.PNG"));
        touch(QStringLiteral("t/16x16/apps/nodot"));
        touch(QStringLiteral("linked-target/places/linked.png"));
        QVERIFY(QFile::link(themes() + QStringLiteral("/linked-target"), themes() + QStringLiteral("/t/16x16/more")));
        storeThemeSettings({themes()}, {}, QStringLiteral("t"));
    }

    // A row's icon is made only when asked for; it must still be the file's image.
    void rowsShowTheirFile()
    {
        const QString path = themes() + QStringLiteral("/t/16x16/apps/pic.png");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(FixtureTheme::pngBytes(16, 16, Qt::green));
        file.close();
        MainWindow window;
        window.show();
        QCOMPARE(found(&window, QStringLiteral("pic")), QStringList{QStringLiteral("pic.png")});
        const QModelIndex row = windowChild<QListView>(&window, "listViewApplicantsIconPaths")->model()->index(0, 0);
        QCOMPARE(row.data(Qt::ToolTipRole).toString(), path);
        const QImage image = row.data(Qt::DecorationRole).value<QIcon>().pixmap(16, 16).toImage();
        QCOMPARE(image.pixelColor(8, 8), QColor(Qt::green));
        QVERIFY(QFile::remove(path));
        QTRY_VERIFY(!QGuiApplication::overrideCursor());
    }

    void discovery_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("edit-copy-symbolic") << QStringLiteral(
            "edit-copy-symbolic") << QStringList{QStringLiteral("edit-copy-symbolic.svg"), QStringLiteral("edit-copy.svg"), QStringLiteral("edit.png")};
        QTest::newRow("a--b") << QStringLiteral("a--b") << QStringList{QStringLiteral("a--b.png"), QStringLiteral("a-.png"), QStringLiteral("a.png")};
        QTest::newRow("upper-case suffix skipped") << QStringLiteral("upper") << QStringList();
        QTest::newRow("no suffix skipped") << QStringLiteral("nodot") << QStringList();
        // Once through the link, once in the linked folder itself.
        QTest::newRow("linked folder descended") << QStringLiteral("linked") << QStringList{QStringLiteral("linked.png"), QStringLiteral("linked.png")};
        QTest::newRow("empty name") << QString() << QStringList();
    }

    void discovery()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, expected);
        MainWindow window;
        QCOMPARE(found(&window, name), expected);
        QTRY_VERIFY(!QGuiApplication::overrideCursor());
    }

    void folderInBothListsTwice()
    {
        MainWindow window;
        QIcon::setFallbackSearchPaths({themes()});
        QCOMPARE(found(&window, QStringLiteral("edit")), (QStringList{QStringLiteral("edit.png"), QStringLiteral("edit.png")}));
        QTRY_VERIFY(!QGuiApplication::overrideCursor());
    }

    void exactMatchWithoutRescan()
    {
        MainWindow window;
        auto *box = windowChild<QCheckBox>(&window, "checkBoxApplicantsExactMatchBySearchIconName");
        QCOMPARE(found(&window, QStringLiteral("edit-copy")).size(), 2);
        box->setChecked(true);
        QCOMPARE(applicants(&window), QStringList{QStringLiteral("edit-copy.svg")});
        box->setChecked(false);
        QCOMPARE(applicants(&window).size(), 2);
        // Checked before the find: the new name filters at once.
        box->setChecked(true);
        QCOMPARE(found(&window, QStringLiteral("a-b")), QStringList{QStringLiteral("a-b.png")});
        QTRY_VERIFY(!QGuiApplication::overrideCursor());
    }

    void filesBetweenFinds()
    {
        MainWindow window;
        QCOMPARE(found(&window, QStringLiteral("fresh-name")), QStringList());
        touch(QStringLiteral("t/16x16/apps/fresh-name.png"));
        QCOMPARE(found(&window, QStringLiteral("fresh-name")), QStringList{QStringLiteral("fresh-name.png")});
        QVERIFY(QFile::remove(themes() + QStringLiteral("/t/16x16/apps/fresh-name.png")));
        QCOMPARE(found(&window, QStringLiteral("fresh-name")), QStringList());
        QTRY_VERIFY(!QGuiApplication::overrideCursor());
    }

    void opensWithXdgOpen()
    {
        QTemporaryDir bin;
        const QString record = bin.filePath(QStringLiteral("arguments"));
        {
            QFile script(bin.filePath(QStringLiteral("xdg-open")));
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write(QStringLiteral("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '%1.tmp'\nmv '%1.tmp' '%1'\n").arg(record).toUtf8());
            script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        }
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.path().toLocal8Bit() + ':' + path);

        MainWindow window;
        findByTyping(&window, QStringLiteral("edit"));
        auto *view = windowChild<QListView>(&window, "listViewApplicantsIconPaths");
        QCOMPARE(view->model()->rowCount(), 1);
        window.openFileByApplicantsIconIndex(view->model()->index(0, 0));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record), 10000);
        QFile file(record);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()), themes() + QStringLiteral("/t/16x16/apps/edit.png\n"));
        window.openFileByApplicantsIconIndex(QModelIndex());
        qputenv("PATH", path);
        QTRY_VERIFY(!QGuiApplication::overrideCursor());
    }
};

ZEL_TEST_MAIN(ApplicantsDiscoveryTest)

#include "applicantsdiscoverytest.moc"

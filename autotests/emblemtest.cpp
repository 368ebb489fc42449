#include "catalogue/iconsmodel.h"
#include "integration/zelicon.h"

#include "testenvironment.h"
#include "windowfixture.h"

#include <QMenu>
#include <QSortFilterProxyModel>

class EmblemTest : public QObject
{
    Q_OBJECT

    StandardFixture m_fixture;

    static QImage preview(QWidget *window)
    {
        const QPixmap pixmap = windowChild<QLabel>(window, "labelFindedIconPreview")->pixmap(Qt::ReturnByValue);
        return pixmap.toImage();
    }

    // The colours at the middle of the four quadrants: top left, top right, bottom left, bottom right.
    static QString quadrants(const QImage &image)
    {
        if (image.isNull()) {
            return QStringLiteral("null");
        }
        const int w = image.width();
        const int h = image.height();
        QStringList names;
        for (const QPoint &point : {QPoint(w / 4, h / 4), QPoint(3 * w / 4, h / 4), QPoint(w / 4, 3 * h / 4), QPoint(3 * w / 4, 3 * h / 4)}) {
            names.append(image.pixelColor(point).name());
        }
        return names.join(QLatin1Char(' '));
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
        storeThemeSettings(m_fixture);
    }

    void cornersChangeOnlyTheirQuadrant()
    {
        const QString red = QColor(Qt::red).name();
        const QString blue = QColor(Qt::blue).name();
        const QString green = QColor(Qt::green).name();

        MainWindow window;
        findByTyping(&window, QStringLiteral("base"));
        QCOMPARE(quadrants(preview(&window)), QStringList({red, red, red, red}).join(QLatin1Char(' ')));

        window.addEmblemToPreview(ZelIcon::Emblem(Qt::TopLeftCorner, QStringLiteral("emblem")));
        QCOMPARE(quadrants(preview(&window)), QStringList({blue, red, red, red}).join(QLatin1Char(' ')));
        QCOMPARE(preview(&window).size(), QSize(48, 48));

        window.addEmblemToPreview(ZelIcon::Emblem(Qt::TopLeftCorner, QStringLiteral("emblem-green")));
        QCOMPARE(quadrants(preview(&window)), QStringList({green, red, red, red}).join(QLatin1Char(' ')));

        window.addEmblemToPreview(ZelIcon::Emblem(Qt::BottomRightCorner, QStringLiteral("emblem")));
        QCOMPARE(quadrants(preview(&window)), QStringList({green, red, red, blue}).join(QLatin1Char(' ')));

        window.removeEmblemFromPreview(Qt::TopLeftCorner);
        window.removeEmblemFromPreview(Qt::TopLeftCorner);
        QCOMPARE(quadrants(preview(&window)), QStringList({red, red, red, blue}).join(QLatin1Char(' ')));

        QAction *removeAll = menuAction(windowChild<QLabel>(&window, "labelFindedIconPreview"), QStringLiteral("Remove all icons from corners"));
        QVERIFY(removeAll);
        removeAll->trigger();
        QCOMPARE(quadrants(preview(&window)), QStringList({red, red, red, red}).join(QLatin1Char(' ')));

        window.addEmblemToPreview(ZelIcon::Emblem(Qt::TopRightCorner, QStringLiteral("emblem")));
        QCOMPARE(quadrants(preview(&window)), QStringList({red, blue, red, red}).join(QLatin1Char(' ')));
        findByTyping(&window, QStringLiteral("base"));
        QCOMPARE(quadrants(preview(&window)), QStringList({red, red, red, red}).join(QLatin1Char(' ')));
        QTRY_VERIFY(!QGuiApplication::overrideCursor());
    }

    void addMenuTakesTheCurrentName()
    {
        const QString red = QColor(Qt::red).name();
        const QString blue = QColor(Qt::blue).name();
        MainWindow window;
        auto *model = window.findChild<IconsModel *>();
        model->addIcon(QStringLiteral("emblem"));
        model->addIcon(QStringLiteral("base"));
        findByTyping(&window, QStringLiteral("base"));
        auto *list = windowChild<QListView>(&window, "listViewIconNames");
        list->setCurrentIndex(list->model()->index(1, 0)); // sorted: base, emblem
        QCOMPARE(list->currentIndex().data().toString(), QStringLiteral("emblem"));
        QAction *add = menuAction(list, QStringLiteral("Add icon to bottom left corner"));
        QVERIFY(add);
        add->trigger();
        QCOMPARE(quadrants(preview(&window)), QStringList({red, red, blue, red}).join(QLatin1Char(' ')));
        QTRY_VERIFY(!QGuiApplication::overrideCursor());
    }

    void emblemsWithoutSizeChangeNothing()
    {
        MainWindow window;
        window.addEmblemToPreview(ZelIcon::Emblem(Qt::TopLeftCorner, QStringLiteral("emblem")));
        QVERIFY(preview(&window).isNull());
    }

    void everySizeIsDrawnSharp_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("16") << 16;
        QTest::newRow("64") << 64;
        QTest::newRow("200") << 200;
    }

    void everySizeIsDrawnSharp()
    {
        QFETCH(int, size);
        m_fixture.apply();
        const QIcon plain = QIcon::fromTheme(QStringLiteral("vector"));
        QVERIFY(!plain.isNull());
        const QIcon composed = ZelIcon::withEmblems(plain, {{Qt::BottomRightCorner, QStringLiteral("emblem")}});
        const QImage image = composed.pixmap(QSize(size, size)).toImage();
        QCOMPARE(image.size(), QSize(size, size));
        QCOMPARE(image.pixelColor(size - 2, size - 2), QColor(Qt::blue));
        QCOMPARE(image.pixelColor(1, 1).name(), plain.pixmap(QSize(size, size)).toImage().pixelColor(1, 1).name());
        // No emblems: the icon itself comes back.
        QCOMPARE(ZelIcon::withEmblems(plain, {}).cacheKey(), plain.cacheKey());
    }
};

ZEL_TEST_MAIN(EmblemTest)

#include "emblemtest.moc"

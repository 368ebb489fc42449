#include "catalogue/slicedrelease.h"

#include "testenvironment.h"

#include <QElapsedTimer>
#include <QTimer>

#include <memory>

// Every entry holds a copy of one token, so the token's use count tells how many
// entries are still alive.
class SlicedReleaseTest : public QObject
{
    Q_OBJECT

    using Token = std::shared_ptr<int>;

    static QHash<int, Token> hashOf(const Token &token, int count)
    {
        QHash<int, Token> hash;
        for (int i = 0; i < count; ++i) {
            hash.insert(i, token);
        }
        return hash;
    }

    static QList<Token> listOf(const Token &token, int count)
    {
        QList<Token> list;
        for (int i = 0; i < count; ++i) {
            list.append(token);
        }
        return list;
    }

private Q_SLOTS:
    void releasedFromTheEventLoop_data()
    {
        QTest::addColumn<int>("hashEntries");
        QTest::addColumn<int>("listEntries");
        QTest::newRow("one entry each") << 1 << 1;
        QTest::newRow("a step's worth") << 32 << 32;
        QTest::newRow("many steps") << 20000 << 20001;
        QTest::newRow("hash only") << 500 << 0;
        QTest::newRow("list only") << 0 << 500;
    }

    void releasedFromTheEventLoop()
    {
        QFETCH(int, hashEntries);
        QFETCH(int, listEntries);
        const Token token = std::make_shared<int>(0);
        SlicedRelease release(nullptr);
        QHash<int, Token> hash = hashOf(token, hashEntries);
        QList<Token> list = listOf(token, listEntries);
        release.retire(std::move(hash));
        release.retire(std::move(list));
        QVERIFY(hash.isEmpty());
        QVERIFY(list.isEmpty());
        QCOMPARE(token.use_count(), 1 + hashEntries + listEntries);
        QVERIFY(release.isPending());
        QTRY_COMPARE(token.use_count(), 1L);
        QVERIFY(!release.isPending());
    }

    void emptyContainersAskForNothing()
    {
        SlicedRelease release(nullptr);
        release.retire(QHash<int, Token>());
        release.retire(QList<Token>());
        QVERIFY(!release.isPending());
    }

    // Many entries go in several turns of the event loop, each short, not in one.
    void releasedInSlices()
    {
        const Token token = std::make_shared<int>(0);
        SlicedRelease release(nullptr);
        release.retire(hashOf(token, 2000000));
        QTRY_VERIFY(token.use_count() < 2000001);
        QVERIFY(token.use_count() > 1);
        QTRY_COMPARE_WITH_TIMEOUT(token.use_count(), 1L, 60000);
    }

    // A loop that never calms down still sees the release through.
    void releasedWhileTheLoopStaysBusy()
    {
        QTimer busy;
        busy.setInterval(0);
        connect(&busy, &QTimer::timeout, &busy, []() {
            QElapsedTimer spin;
            spin.start();
            while (spin.elapsed() < 40) { }
        });
        busy.start();
        const Token token = std::make_shared<int>(0);
        SlicedRelease release(nullptr);
        release.retire(hashOf(token, 1000));
        QTRY_COMPARE_WITH_TIMEOUT(token.use_count(), 1L, 20000);
        QVERIFY(!release.isPending());
    }

    void destroyedWhilePending()
    {
        const Token token = std::make_shared<int>(0);
        {
            SlicedRelease release(nullptr);
            release.retire(hashOf(token, 1000));
            release.retire(listOf(token, 1000));
            QVERIFY(release.isPending());
        }
        QCOMPARE(token.use_count(), 1L);
    }
};

ZEL_TEST_MAIN(SlicedReleaseTest)

#include "slicedreleasetest.moc"

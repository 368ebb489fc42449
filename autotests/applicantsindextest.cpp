#include "applicants/applicantsindex.h"

#include "testenvironment.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

class ApplicantsIndexTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;
    ApplicantsIndex m_index;
    const QStringList m_suffixes = {QStringLiteral("png"), QStringLiteral("svg")};

    QString at(const QString &relative) const
    {
        return m_root.path() + QLatin1Char('/') + relative;
    }

    void touch(const QString &relative)
    {
        QDir().mkpath(QFileInfo(at(relative)).path());
        QFile file(at(relative));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    // The index must give exactly what a full walk gives, in the same order.
    void compareWithWalk(const QString &root, const QString &iconName, int expectedCount = -1)
    {
        const QSet<QString> names = ApplicantsIndex::applicantBaseNames(iconName);
        QStringList walked;
        ApplicantsIndex::collectByWalk(root, m_suffixes, names, walked);
        QStringList indexed;
        m_index.collect(root, m_suffixes, names, indexed);
        QCOMPARE(indexed, walked);
        if (expectedCount >= 0) {
            QCOMPARE(indexed.size(), expectedCount);
        }
    }

    static void waitUntilSettled()
    {
        // Listings of folders changed in the last two seconds are not trusted yet.
        QTest::qWait(2200);
    }

private Q_SLOTS:
    void initTestCase()
    {
        touch(QStringLiteral("theme/16/apps/edit.png"));
        touch(QStringLiteral("theme/16/apps/edit-copy.svg"));
        touch(QStringLiteral("theme/16/apps/edit-copy.symbolic.png"));
        touch(QStringLiteral("theme/16/apps/edit-cop.png"));
        touch(QStringLiteral("theme/22/apps/edit-copy.png"));
        touch(QStringLiteral("theme/22/apps/.edit-copy.png"));
        touch(QStringLiteral("theme/22/apps/edit-copy.PNG"));
        touch(QStringLiteral("theme/scalable/apps/edit-copy-symbolic-rtl.svg"));
        touch(QStringLiteral("other/apps/edit-copy.png"));
        QVERIFY(QFile::link(QStringLiteral("16"), at(QStringLiteral("theme/16@2x"))));
        QVERIFY(QFile::link(QStringLiteral("edit-copy.svg"), at(QStringLiteral("theme/16/apps/edit-copy-symbolic.svg"))));
        QVERIFY(QFile::link(QStringLiteral("../../../elsewhere/target.svg"), at(QStringLiteral("theme/22/apps/edit-copy-broken.svg"))));
        QVERIFY(QFile::link(QStringLiteral(".."), at(QStringLiteral("theme/22/apps/up"))));
        QVERIFY(QFile::link(QStringLiteral("../other"), at(QStringLiteral("theme/linked"))));
    }

    void applicantBaseNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("three parts") << QStringLiteral("a-b-c") << QStringList{QStringLiteral("a"), QStringLiteral("a-b"), QStringLiteral("a-b-c")};
        QTest::newRow("double dash") << QStringLiteral("a--b") << QStringList{QStringLiteral("a"), QStringLiteral("a-"), QStringLiteral("a--b")};
        QTest::newRow("empty") << QString() << QStringList{QString()};
        QTest::newRow("trailing dash") << QStringLiteral("a-") << QStringList{QStringLiteral("a"), QStringLiteral("a-")};
    }

    void applicantBaseNames()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, names);
        QCOMPARE(ApplicantsIndex::applicantBaseNames(name), QSet<QString>(names.begin(), names.end()));
    }

    void sameAsWalk_data()
    {
        QTest::addColumn<QString>("root");
        QTest::addColumn<QString>("name");
        QTest::newRow("edit-copy-symbolic") << QStringLiteral("theme") << QStringLiteral("edit-copy-symbolic");
        QTest::newRow("edit") << QStringLiteral("theme") << QStringLiteral("edit");
        QTest::newRow("trailing slash") << QStringLiteral("theme/") << QStringLiteral("edit-copy");
        QTest::newRow("double slash") << QStringLiteral("theme//16") << QStringLiteral("edit-copy");
        QTest::newRow("whole root") << QString() << QStringLiteral("edit-copy");
        QTest::newRow("missing root") << QStringLiteral("nothing-here") << QStringLiteral("edit");
        QTest::newRow("a file as root") << QStringLiteral("theme/16/apps/edit.png") << QStringLiteral("edit");
        QTest::newRow("empty name") << QStringLiteral("theme") << QString();
    }

    void sameAsWalk()
    {
        QFETCH(QString, root);
        QFETCH(QString, name);
        compareWithWalk(at(root), name);
        compareWithWalk(at(root), name);
    }

    void freshAfterChanges()
    {
        const QString theme = at(QStringLiteral("theme"));
        compareWithWalk(theme, QStringLiteral("edit-copy"));
        waitUntilSettled();
        compareWithWalk(theme, QStringLiteral("edit-copy"));
        const int reads = m_index.directoryReads();
        compareWithWalk(theme, QStringLiteral("edit-copy"));
        // Nothing changed: no folder was read again.
        QCOMPARE(m_index.directoryReads(), reads);

        touch(QStringLiteral("theme/22/apps/edit-copy.svg"));
        compareWithWalk(theme, QStringLiteral("edit-copy"), 9);
        QVERIFY(QFile::remove(at(QStringLiteral("theme/22/apps/edit-copy.svg"))));
        compareWithWalk(theme, QStringLiteral("edit-copy"), 8);
        QVERIFY(QFile::rename(at(QStringLiteral("theme/22/apps/edit-copy.png")), at(QStringLiteral("theme/22/apps/edit-paste.png"))));
        compareWithWalk(theme, QStringLiteral("edit-copy"), 7);
        compareWithWalk(theme, QStringLiteral("edit-paste"), 3);
        QVERIFY(QFile::rename(at(QStringLiteral("theme/22/apps/edit-paste.png")), at(QStringLiteral("theme/22/apps/edit-copy.png"))));

        // A broken link comes to life: its own folder does not change, the target's does.
        waitUntilSettled();
        compareWithWalk(theme, QStringLiteral("edit-copy-broken"), 8);
        const int readsBefore = m_index.directoryReads();
        touch(QStringLiteral("elsewhere/target.svg"));
        compareWithWalk(theme, QStringLiteral("edit-copy-broken"), 9);
        QCOMPARE(m_index.directoryReads(), readsBefore);

        // A linked folder's target replaced by another folder.
        waitUntilSettled();
        compareWithWalk(theme, QStringLiteral("edit-copy"));
        QVERIFY(QDir(at(QStringLiteral("other"))).removeRecursively());
        touch(QStringLiteral("other/places/edit-copy.svg"));
        touch(QStringLiteral("other/places/edit-copy.png"));
        compareWithWalk(theme, QStringLiteral("edit-copy"));

        // A file replaced by a folder of the same name.
        QVERIFY(QFile::remove(at(QStringLiteral("theme/16/apps/edit-cop.png"))));
        touch(QStringLiteral("theme/16/apps/edit-cop.png/edit-copy.png"));
        compareWithWalk(theme, QStringLiteral("edit-copy"));

        // Other suffixes apply at once.
        const QSet<QString> names = ApplicantsIndex::applicantBaseNames(QStringLiteral("edit-copy"));
        QStringList walked;
        QStringList indexed;
        ApplicantsIndex::collectByWalk(theme, {QStringLiteral("PNG")}, names, walked);
        m_index.collect(theme, {QStringLiteral("PNG")}, names, indexed);
        QCOMPARE(indexed, walked);
        QCOMPARE(indexed.size(), 1);
    }

    void unreadableFolder()
    {
        if (geteuid() == 0) {
            QSKIP("root reads any folder");
        }
        touch(QStringLiteral("locked/apps/edit.png"));
        QFile::setPermissions(at(QStringLiteral("locked/apps")), QFileDevice::Permissions());
        compareWithWalk(at(QStringLiteral("locked")), QStringLiteral("edit"), 0);
        QFile::setPermissions(at(QStringLiteral("locked/apps")), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        compareWithWalk(at(QStringLiteral("locked")), QStringLiteral("edit"), 1);
    }

    // Folders linked as a tree of levels, each holding two links to the next: 2^levels
    // paths to the last folder, a file at every level. The index reads each folder once
    // and gives every path; a link back up makes cycles the walk must cut alike.
    void linkDag_data()
    {
        QTest::addColumn<int>("levels");
        QTest::addColumn<bool>("backLink");
        QTest::addColumn<bool>("withWalk");
        QTest::newRow("10 levels") << 10 << false << true;
        QTest::newRow("10 levels, a link back up") << 10 << true << true;
        QTest::newRow("18 levels") << 18 << false << false;
    }

    void linkDag()
    {
        QFETCH(int, levels);
        QFETCH(bool, backLink);
        QFETCH(bool, withWalk);
        QTemporaryDir dir;
        for (int level = 0; level <= levels; ++level) {
            const QString folder = dir.filePath(QStringLiteral("l%1").arg(level));
            QVERIFY(QDir().mkpath(folder));
            QFile file(folder + QStringLiteral("/dag-icon.png"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            if (level < levels) {
                for (const char *link : {"/a", "/b"}) {
                    QVERIFY(QFile::link(QStringLiteral("../l%1").arg(level + 1), folder + QLatin1String(link)));
                }
            }
        }
        if (backLink) {
            // l7 reached through l5 and past it: its link up is a cycle on one path only.
            QVERIFY(QFile::link(QStringLiteral("../l5"), dir.filePath(QStringLiteral("l7/up"))));
            QVERIFY(QFile::link(QStringLiteral("../l7"), dir.filePath(QStringLiteral("l0/skip"))));
        }
        ApplicantsIndex index;
        const QSet<QString> names = ApplicantsIndex::applicantBaseNames(QStringLiteral("dag-icon"));
        QStringList indexed;
        index.collect(dir.filePath(QStringLiteral("l0")), m_suffixes, names, indexed);
        QVERIFY(index.directoryReads() <= levels + 1);
        if (withWalk) {
            QStringList walked;
            ApplicantsIndex::collectByWalk(dir.filePath(QStringLiteral("l0")), m_suffixes, names, walked);
            QCOMPARE(indexed, walked);
        } else {
            QCOMPARE(indexed.size(), (2 << levels) - 1);
        }
    }
};

ZEL_TEST_MAIN(ApplicantsIndexTest)

#include "applicantsindextest.moc"

#include "catalogue/iconsmodel.h"

#include "standardfixture.h"
#include "testenvironment.h"

class IconRemarksTest : public QObject
{
    Q_OBJECT

    StandardFixture m_fixture;
    IconsModel *m_model = nullptr;

    static QString describe(const IconRemarks &remarks)
    {
        QStringList lines;
        for (const IconRemark &remark : remarks) {
            lines.append(QString::number(remark.first) + QLatin1Char(':') + remark.second);
        }
        return lines.join(QLatin1Char('\n'));
    }

    static QStringList standardInfos(const QString &name, const QList<int> &sizes, const QString &inUse = QString())
    {
        QStringList lines;
        for (int size : sizes) {
            lines.append(inUse.isEmpty() ? QStringLiteral("1:The standard size %1x%1 not found for icon %2").arg(size).arg(name)
                                         : QStringLiteral("1:The standard size %1x%1 not found for icon %2 (icon %3 in use)").arg(size).arg(name, inUse));
        }
        return lines;
    }

private Q_SLOTS:
    void initTestCase()
    {
        // The loader resets the theme name, so the fixture goes in after the model exists.
        m_model = new IconsModel(this);
        m_fixture.apply();
    }

    void remarks_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<QStringList>("expected");
        const QList<int> all = {16, 22, 32, 48, 64, 96, 128, 192, 256};
        const QList<int> aboveFour = {64, 96, 128, 192, 256};

        for (bool loaded : {false, true}) {
            const char *tag = loaded ? "loaded" : "not loaded";
            QTest::addRow("absent, %s", tag) << QStringLiteral("absent") << loaded
                                             << QStringList{QStringLiteral("3:Icon with name absent not found on current theme")};
            QTest::addRow("empty, %s", tag) << QString() << loaded << QStringList{QStringLiteral("3:Icon with name  not found on current theme")};
            QTest::addRow("four sizes, %s", tag) << QStringLiteral("four-sizes") << loaded << standardInfos(QStringLiteral("four-sizes"), aboveFour);
            QTest::addRow("no sizes, %s", tag) << QStringLiteral("no-sizes") << loaded
                                               << (QStringList{QStringLiteral("3:No available sizes found for icon no-sizes")}
                                                   + standardInfos(QStringLiteral("no-sizes"), all));
            QTest::addRow("corrupt size, %s", tag) << QStringLiteral("corrupt-one") << loaded
                                                   << (QStringList{QStringLiteral("3:The size 22x22 for icon corrupt-one has no image valid")}
                                                       + standardInfos(QStringLiteral("corrupt-one"), {32, 48, 64, 96, 128, 192, 256}));
            QTest::addRow("size listed twice, %s", tag) << QStringLiteral("twice") << loaded
                                                        << (QStringList{QStringLiteral("3:The size 16x16 for icon twice has no image valid"),
                                                                        QStringLiteral("3:The size 16x16 for icon twice has no image valid")}
                                                            + standardInfos(QStringLiteral("twice"), all.mid(1)));
            QTest::addRow("24x24 only, %s", tag) << QStringLiteral("odd24") << loaded << standardInfos(QStringLiteral("odd24"), all);
            QTest::addRow("32x16 only, %s", tag) << QStringLiteral("wide") << loaded << standardInfos(QStringLiteral("wide"), all);
            QTest::addRow("dash fallback, %s", tag) << QStringLiteral("four-sizes-extra") << loaded
                                                    << (QStringList{QStringLiteral("2:Icon with name four-sizes-extra not found, using four-sizes instead")}
                                                        + standardInfos(QStringLiteral("four-sizes-extra"), aboveFour, QStringLiteral("four-sizes")));
            QTest::addRow("dash fallback onto a corrupt size, %s", tag)
                << QStringLiteral("corrupt-one-x") << loaded
                << (QStringList{QStringLiteral("3:The size 22x22 for icon corrupt-one-x (icon corrupt-one in use) has no image valid"),
                                QStringLiteral("2:Icon with name corrupt-one-x not found, using corrupt-one instead")}
                    + standardInfos(QStringLiteral("corrupt-one-x"), {32, 48, 64, 96, 128, 192, 256}, QStringLiteral("corrupt-one")));
        }
    }

    void remarks()
    {
        QFETCH(QString, name);
        QFETCH(bool, loaded);
        QFETCH(QStringList, expected);
        m_model->clear();
        m_model->addIcon(name);
        if (loaded) {
            m_model->loadAllIcons();
        }
        QCOMPARE(describe(m_model->iconRemarks(name)), expected.join(QLatin1Char('\n')));
        if (!name.isEmpty()) {
            const QModelIndex index = m_model->findIcon(name);
            QCOMPARE(describe(m_model->iconRemarks(index)), expected.join(QLatin1Char('\n')));
            // The joined text: the messages alone, one line feed between two, none at the end.
            QStringList texts;
            for (const QString &line : qAsConst(expected)) {
                texts.append(line.mid(2));
            }
            QCOMPARE(m_model->iconRemarksAsString(index), texts.join(QLatin1Char('\n')));
            QCOMPARE(m_model->data(index, Qt::ToolTipRole).toString(), texts.join(QLatin1Char('\n')));
        }
    }

    void remarksFollowTheToolkit_data()
    {
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<bool>("fileAdded");
        QTest::newRow("other theme, not loaded") << false << false;
        QTest::newRow("other theme, loaded") << true << false;
        // A theme maker drops a file in and the settings dialog sets the same paths again,
        // which makes the toolkit look its files up anew.
        QTest::newRow("file added, paths set again, not loaded") << false << true;
        QTest::newRow("file added, paths set again, loaded") << true << true;
    }

    // Asked again and again by the table, remarks must still answer for the toolkit now.
    void remarksFollowTheToolkit()
    {
        QFETCH(bool, loaded);
        QFETCH(bool, fileAdded);
        const QString name = fileAdded ? QStringLiteral("grows-%1").arg(loaded) : QStringLiteral("four-sizes");
        if (fileAdded) {
            m_fixture.theme.addPng(QStringLiteral("16x16/apps"), name, 16, 16);
        }
        m_model->clear();
        m_model->addIcon(name);
        if (loaded) {
            m_model->loadAllIcons();
        }
        if (!fileAdded) {
            QCOMPARE(m_model->iconRemarks(name).size(), 5);
            QIcon::setThemeName(QStringLiteral("zel-no-such-theme"));
            QIcon::setFallbackThemeName(QStringLiteral("zel-no-such-theme"));
            const IconRemarks elsewhere = m_model->iconRemarks(name);
            m_fixture.apply();
            QCOMPARE(describe(elsewhere), QStringLiteral("3:Icon with name four-sizes not found on current theme"));
            QCOMPARE(m_model->iconRemarks(name).size(), 5);
            return;
        }
        const QString missing22 = QStringLiteral("The standard size 22x22 not found for icon %1").arg(name);
        QVERIFY(m_model->iconRemarksAsString(m_model->findIcon(name)).contains(missing22));
        m_fixture.theme.addPng(QStringLiteral("22x22/apps"), name, 22, 22);
        QIcon::setThemeSearchPaths(QIcon::themeSearchPaths());
        QVERIFY(!loaded || m_model->icon(m_model->findIcon(name)).availableSizes().contains(QSize(22, 22)));
        QVERIFY(!m_model->iconRemarksAsString(m_model->findIcon(name)).contains(missing22));
    }

    void joinedTextOfNoRemarks()
    {
        m_model->clear();
        QVERIFY(m_model->iconRemarksAsString(QModelIndex()).startsWith(QStringLiteral("Icon with name  not found")));
        QVERIFY(!m_model->iconRemarksAsString(QModelIndex()).endsWith(QLatin1Char('\n')));
    }

    void maximumSeverityIcon_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("iconName");
        QTest::newRow("information only") << QStringLiteral("four-sizes") << QStringLiteral("dialog-information");
        QTest::newRow("warning and information") << QStringLiteral("four-sizes-extra") << QStringLiteral("dialog-warning");
        QTest::newRow("error among information") << QStringLiteral("corrupt-one") << QStringLiteral("dialog-error");
        QTest::newRow("not found") << QStringLiteral("absent") << QStringLiteral("dialog-error");
    }

    void maximumSeverityIcon()
    {
        QFETCH(QString, name);
        QFETCH(QString, iconName);
        QCOMPARE(m_model->getMaxRemarkDialogIcon(name).name(), iconName);
    }

    void remarkDialogIcons_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("iconName");
        QTest::newRow("none") << 0 << QString();
        QTest::newRow("information") << 1 << QStringLiteral("dialog-information");
        QTest::newRow("warning") << 2 << QStringLiteral("dialog-warning");
        QTest::newRow("error") << 3 << QStringLiteral("dialog-error");
        QTest::newRow("four") << 4 << QString();
        QTest::newRow("negative") << -1 << QString();
    }

    void remarkDialogIcons()
    {
        QFETCH(int, state);
        QFETCH(QString, iconName);
        const QIcon icon = IconsModel::getRemarkDialogIcon(static_cast<IconRemarkState>(state));
        QCOMPARE(icon.isNull(), iconName.isEmpty());
        QCOMPARE(icon.name(), iconName);
    }
};

ZEL_TEST_MAIN(IconRemarksTest)

#include "iconremarkstest.moc"

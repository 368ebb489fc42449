#include "applicants/applicantssortfiltermodel.h"

#include "testenvironment.h"

#include "app/constants.h"

#include <QAbstractItemModelTester>
#include <QDirIterator>
#include <QSignalSpy>
#include <QStandardItemModel>

Q_DECLARE_METATYPE(IconPathSection)

class ApplicantsSortFilterModelTest : public QObject
{
    Q_OBJECT

    static QStringList sortedRows(const QStringList &paths, const QList<IconPathSection> &policy, const QString &filter = QString())
    {
        QStandardItemModel source;
        ApplicantsSortFilterModel proxy;
        QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
        proxy.sort(0, Qt::AscendingOrder);
        proxy.setSourceModel(&source);
        proxy.setSortSectionsPolicy(policy);
        proxy.setIconNameFilter(filter);
        for (const QString &path : paths) {
            source.appendRow(new QStandardItem(path));
        }
        QStringList rows;
        for (int row = 0; row < proxy.rowCount(); ++row) {
            rows.append(proxy.index(row, 0).data().toString());
        }
        return rows;
    }

    // The order the section texts themselves give, compared afresh on every comparison.
    static QStringList referenceOrder(QStringList paths, const QList<IconPathSection> &policy = allIconPathSections)
    {
        std::stable_sort(paths.begin(), paths.end(), [&policy](const QString &left, const QString &right) {
            for (IconPathSection section : policy) {
                const QString leftText = ApplicantsSortFilterModel::getIconPathSectionText(left, section);
                const QString rightText = ApplicantsSortFilterModel::getIconPathSectionText(right, section);
                if (leftText != rightText) {
                    return section == Size ? ApplicantsSortFilterModel::getIconArea(leftText) < ApplicantsSortFilterModel::getIconArea(rightText)
                                           : leftText < rightText;
                }
            }
            return false;
        });
        return paths;
    }

    static QStringList rows(const QAbstractItemModel &model)
    {
        QStringList texts;
        for (int row = 0; row < model.rowCount(); ++row) {
            texts.append(model.index(row, 0).data().toString());
        }
        return texts;
    }

private Q_SLOTS:
    // Each row's sections are worked out once and kept by row; the order must stay the
    // one the texts give as rows come in bulk, change and go, odd paths included.
    void sameOrderAsTheSectionTexts()
    {
        QStringList paths{QStringLiteral("/usr/share/icons/t/apps/48\n/a.png"),
                          QStringLiteral("/usr/share//icons/x/16/apps/a.png"),
                          QStringLiteral("/usr/share/icons/./t/16/apps/b.png"),
                          QStringLiteral("/usr/share/icons/t/../u/22/apps/b.png"),
                          QStringLiteral("icons/t/16/apps/a.png"),
                          QString::fromUtf8("/usr/share/icons/t/apps/\xd9\xa1\xd9\xa6/a.png"),
                          QStringLiteral("/usr/share/icons/t/16x16@2x/apps/a.b.c.png"),
                          QStringLiteral("/usr/share/a.png"),
                          QStringLiteral("/usr/share/icons/a.png"),
                          QStringLiteral("/usr/share/icons/t/a.png"),
                          QStringLiteral("/a.png"),
                          QStringLiteral("/usr/share/pixmaps/.png"),
                          QStringLiteral("/usr/share/icons/t/16/apps/")};
        QDirIterator it(QStringLiteral("/usr/share/icons/hicolor"), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext() && paths.size() < 3000) {
            paths.append(it.next());
        }
        QStandardItemModel source;
        ApplicantsSortFilterModel proxy;
        QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
        proxy.sort(0, Qt::AscendingOrder);
        proxy.setSourceModel(&source);
        const int half = paths.size() / 2;
        QList<QStandardItem *> items;
        for (const QString &path : paths.mid(half)) {
            items.append(new QStandardItem(path));
        }
        source.invisibleRootItem()->appendRows(items);
        items.clear();
        for (const QString &path : paths.mid(0, half)) {
            items.append(new QStandardItem(path));
        }
        source.invisibleRootItem()->insertRows(0, items);
        QCOMPARE(rows(proxy), referenceOrder(rows(source)));
        // One section at a time, so that a section read wrong cannot hide behind another.
        for (IconPathSection section : allIconPathSections) {
            proxy.setSortSectionsPolicy({section});
            QCOMPARE(rows(proxy), referenceOrder(rows(source), {section}));
        }
        proxy.setSortSectionsPolicy(allIconPathSections);

        source.item(1)->setText(QStringLiteral("/usr/share/icons/t/8x8/apps/aaa.png"));
        source.removeRows(2, 5);
        QCOMPARE(rows(proxy), referenceOrder(rows(source)));

        proxy.setIconNameFilter(QStringLiteral("a"));
        QStringList named;
        for (const QString &path : rows(source)) {
            if (QFileInfo(path).baseName() == QLatin1String("a")) {
                named.append(path);
            }
        }
        QCOMPARE(rows(proxy), referenceOrder(named));
    }

    void sectionTexts_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("sections");
        QTest::newRow("hicolor fixed") << QStringLiteral("/usr/share/icons/hicolor/48x48/apps/foo.png")
                                       << QStringList{QStringLiteral("/usr/share/icons"),
                                                      QStringLiteral("hicolor"),
                                                      QStringLiteral("48x48"),
                                                      QStringLiteral("apps"),
                                                      QStringLiteral("foo")};
        QTest::newRow("size below category")
            << QStringLiteral("/usr/share/icons/mytheme/apps/48/foo.svg")
            << QStringList{QStringLiteral("/usr/share/icons"), QStringLiteral("mytheme"), QStringLiteral("48"), QStringLiteral("apps"), QStringLiteral("foo")};
        QTest::newRow("scalable") << QStringLiteral("/usr/share/icons/hicolor/scalable/apps/foo.svg")
                                  << QStringList{QStringLiteral("/usr/share/icons"),
                                                 QStringLiteral("hicolor"),
                                                 QStringLiteral("scalable"),
                                                 QStringLiteral("apps"),
                                                 QStringLiteral("foo")};
        QTest::newRow("symbolic") << QStringLiteral("/usr/share/icons/hicolor/symbolic/apps/foo-symbolic.svg")
                                  << QStringList{QStringLiteral("/usr/share/icons"),
                                                 QStringLiteral("hicolor"),
                                                 QStringLiteral("symbolic"),
                                                 QStringLiteral("apps"),
                                                 QStringLiteral("foo-symbolic")};
        QTest::newRow("pixmaps")
            << QStringLiteral("/usr/share/pixmaps/foo.png")
            << QStringList{QStringLiteral("/"), QStringLiteral("usr"), QStringLiteral("share"), QStringLiteral("pixmaps"), QStringLiteral("foo")};
        QTest::newRow("deeper") << QStringLiteral("/usr/share/icons/mytheme/48x48/apps/extra/foo.png")
                                << QStringList{QStringLiteral("/usr/share/icons/mytheme"),
                                               QStringLiteral("48x48"),
                                               QStringLiteral("apps"),
                                               QStringLiteral("extra"),
                                               QStringLiteral("foo")};
        QTest::newRow("home") << QStringLiteral("/home/user/.local/share/icons/mytheme/48x48/apps/foo.png")
                              << QStringList{QString(), QString(), QString(), QString(), QStringLiteral("foo")};
        QTest::newRow("directly in /usr/share") << QStringLiteral("/usr/share/foo.png")
                                                << QStringList{QString(), QString(), QString(), QString(), QStringLiteral("foo")};
        QTest::newRow("2x size") << QStringLiteral("/usr/share/icons/breeze/actions/16@2x/edit-copy.svg")
                                 << QStringList{QStringLiteral("/usr/share/icons"),
                                                QStringLiteral("breeze"),
                                                QStringLiteral("16@2x"),
                                                QStringLiteral("actions"),
                                                QStringLiteral("edit-copy")};
    }

    void sectionTexts()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, sections);
        for (IconPathSection section : {MainPath, Theme, Size, Category, Name}) {
            QCOMPARE(ApplicantsSortFilterModel::getIconPathSectionText(path, section), sections.at(section));
        }
    }

    void areas_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("area");
        QTest::newRow("48") << QStringLiteral("48") << 2304;
        QTest::newRow("48x48") << QStringLiteral("48x48") << 2304;
        QTest::newRow("16x32") << QStringLiteral("16x32") << 512;
        QTest::newRow("16@2") << QStringLiteral("16@2") << 256;
        QTest::newRow("16@2x") << QStringLiteral("16@2x") << 324;
        QTest::newRow("22@2x") << QStringLiteral("22@2x") << 576;
        QTest::newRow("16x16@2x") << QStringLiteral("16x16@2x") << 324;
        QTest::newRow("scalable") << QStringLiteral("scalable") << 2147483647;
        QTest::newRow("apps") << QStringLiteral("apps") << 0;
        QTest::newRow("symbolic") << QStringLiteral("symbolic") << 0;
        QTest::newRow("huge square") << QStringLiteral("99999x99999") << 2147483646;
        QTest::newRow("huge edge") << QStringLiteral("99999999999") << 2147483646;
        QTest::newRow("huge scale") << QStringLiteral("16@99999999999x") << 2147483646;
    }

    void areas()
    {
        QFETCH(QString, text);
        QFETCH(int, area);
        QCOMPARE(ApplicantsSortFilterModel::getIconArea(text), area);
    }

    void ordering_data()
    {
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<QList<IconPathSection>>("policy");
        QTest::addColumn<QStringList>("expected");
        const QString a16 = QStringLiteral("/usr/share/icons/hicolor/16x16/apps/a.png");
        const QString a22 = QStringLiteral("/usr/share/icons/hicolor/22x22/apps/a.png");
        const QString a8 = QStringLiteral("/usr/share/icons/hicolor/8x8/apps/a.png");
        const QString a48 = QStringLiteral("/usr/share/icons/hicolor/48x48/apps/a.png");
        const QString aScalable = QStringLiteral("/usr/share/icons/hicolor/scalable/apps/a.svg");
        const QString b16 = QStringLiteral("/usr/share/icons/hicolor/16x16/apps/B.png");
        QTest::newRow("empty policy: plain text") << QStringList{a22, b16, a16} << QList<IconPathSection>{} << QStringList{b16, a16, a22};
        QTest::newRow("size then name") << QStringList{aScalable, a48, a16, a8, a22} << QList<IconPathSection>{Size, Name}
                                        << QStringList{a8, a16, a22, a48, aScalable};
        QTest::newRow("default: 16 before 22") << QStringList{a22, a16} << QList<IconPathSection>{MainPath, Theme, Size, Category, Name}
                                               << QStringList{a16, a22};
        QTest::newRow("repeated section") << QStringList{a22, a16} << QList<IconPathSection>{Size, Size, Name} << QStringList{a16, a22};
        const QString x1 = QStringLiteral("/usr/share/icons/t/16x16/apps/zeta.png");
        const QString x2 = QStringLiteral("/usr/share/icons/t/16x16/apps/alpha.png");
        QTest::newRow("no name: discovery order") << QStringList{x1, x2} << QList<IconPathSection>{MainPath, Theme, Size, Category} << QStringList{x1, x2};
        const QString png = QStringLiteral("/usr/share/icons/t/16x16/apps/foo.png");
        const QString svg = QStringLiteral("/usr/share/icons/t/16x16/apps/foo.svg");
        QTest::newRow("suffix only differs") << QStringList{svg, png} << QList<IconPathSection>{MainPath, Theme, Size, Category, Name} << QStringList{svg, png};
        const QString home1 = QStringLiteral("/home/u/.icons/t/48x48/apps/b.png");
        const QString home2 = QStringLiteral("/home/u/.icons/t/16x16/apps/a.png");
        const QString home3 = QStringLiteral("/home/u/.icons/s/16x16/apps/b.png");
        QTest::newRow("outside /usr/share: name only")
            << QStringList{home1, home2, home3} << QList<IconPathSection>{MainPath, Theme, Size, Category, Name} << QStringList{home2, home1, home3};
        QTest::newRow("equal areas end the comparison")
            << QStringList{QStringLiteral("/usr/share/icons/t/16/apps/b.png"), QStringLiteral("/usr/share/icons/t/16x16/apps/a.png")}
            << QList<IconPathSection>{Size, Name}
            << QStringList{QStringLiteral("/usr/share/icons/t/16/apps/b.png"), QStringLiteral("/usr/share/icons/t/16x16/apps/a.png")};
    }

    void ordering()
    {
        QFETCH(QStringList, paths);
        QFETCH(QList<IconPathSection>, policy);
        QFETCH(QStringList, expected);
        QCOMPARE(sortedRows(paths, policy), expected);
    }

    void filter_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("exact base name") << QStringLiteral("edit-copy")
                                         << QStringList{QStringLiteral("/x/edit-copy.png"), QStringLiteral("/x/edit-copy.symbolic.png")};
        QTest::newRow("empty shows all") << QString()
                                         << QStringList{QStringLiteral("/x/edit-copy.png"),
                                                        QStringLiteral("/x/edit-copy.symbolic.png"),
                                                        QStringLiteral("/x/edit-copy-symbolic.svg"),
                                                        QStringLiteral("/x/edit.png")};
    }

    void filter()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, expected);
        const QStringList paths = {QStringLiteral("/x/edit-copy.png"),
                                   QStringLiteral("/x/edit-copy.symbolic.png"),
                                   QStringLiteral("/x/edit-copy-symbolic.svg"),
                                   QStringLiteral("/x/edit.png")};
        QCOMPARE(sortedRows(paths, {Name}, filter), sortedRows(expected, {Name}));
    }

    void setterInvalidatesOnlyOnChange()
    {
        QStandardItemModel source;
        source.appendRow(new QStandardItem(QStringLiteral("/usr/share/icons/t/16x16/apps/a.png")));
        source.appendRow(new QStandardItem(QStringLiteral("/usr/share/icons/t/22x22/apps/b.png")));
        ApplicantsSortFilterModel proxy;
        QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
        proxy.setSourceModel(&source);
        proxy.sort(0);
        QSignalSpy layout(&proxy, &QAbstractItemModel::layoutChanged);
        QSignalSpy reset(&proxy, &QAbstractItemModel::modelReset);
        QVERIFY(layout.isValid() && reset.isValid());

        proxy.setIconNameFilter(QStringLiteral("a"));
        const int afterFilter = layout.count() + reset.count();
        QVERIFY(afterFilter > 0);
        QCOMPARE(proxy.rowCount(), 1);
        proxy.setIconNameFilter(QStringLiteral("a"));
        QCOMPARE(layout.count() + reset.count(), afterFilter);

        proxy.setSortSectionsPolicy({Size, Name});
        const int afterPolicy = layout.count() + reset.count();
        QVERIFY(afterPolicy > afterFilter);
        proxy.setSortSectionsPolicy({Size, Name});
        QCOMPARE(layout.count() + reset.count(), afterPolicy);
        QCOMPARE(proxy.sortSectionsPolicy(), (QList<IconPathSection>{Size, Name}));
    }
};

ZEL_TEST_MAIN(ApplicantsSortFilterModelTest)

#include "applicantssortfiltermodeltest.moc"

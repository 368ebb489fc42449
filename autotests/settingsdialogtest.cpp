#include "settings/settingsdialog.h"
#include "app/constants.h"
#include "settings/settings.h"
#include "settings/stringlistorderedit.h"

#include "testenvironment.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>

Q_DECLARE_METATYPE(QList<IconPathSection>)

class SettingsDialogTest : public QObject
{
    Q_OBJECT

private:
private Q_SLOTS:
    void sizeShownAsStandardSize_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("shown");
        QTest::newRow("negative") << -5 << 16;
        QTest::newRow("zero") << 0 << 16;
        QTest::newRow("smallest") << 16 << 16;
        QTest::newRow("just above smallest") << 17 << 22;
        QTest::newRow("between") << 20 << 22;
        QTest::newRow("exact") << 96 << 96;
        QTest::newRow("largest") << 256 << 256;
        QTest::newRow("above largest") << 257 << 16;
        QTest::newRow("huge") << 1000000 << 16;
    }

    void sizeShownAsStandardSize()
    {
        QFETCH(int, size);
        QFETCH(int, shown);

        SettingsDialog dialog;
        dialog.setScanIconNamesIconSize(size);
        dialog.setApplicantsIconPathsIconSize(size);
        dialog.setPreviewIconSize(size);
        QCOMPARE(dialog.scanIconNamesIconSize(), shown);
        QCOMPARE(dialog.applicantsIconPathsIconSize(), shown);
        QCOMPARE(dialog.previewIconSize(), shown);
        const QString text = QString::number(shown) + QStringLiteral(" px");
        QCOMPARE(windowChild<QLabel>(&dialog, "labelScanIconNamesIconSize")->text(), text);
        QCOMPARE(windowChild<QLabel>(&dialog, "labelApplicantsIconPathsIconSize")->text(), text);
        QCOMPARE(windowChild<QLabel>(&dialog, "labelPreviewIconSize")->text(), text);
    }

    void previewBoxEnablesItsSlider()
    {
        SettingsDialog dialog;
        dialog.setPreviewIconSizeEnable(true);
        QVERIFY(windowChild<QSlider>(&dialog, "horizontalSliderPreviewIconSize")->isEnabled());
        QVERIFY(windowChild<QLabel>(&dialog, "labelPreviewIconSize")->isEnabled());
        dialog.setPreviewIconSizeEnable(false);
        QVERIFY(!windowChild<QSlider>(&dialog, "horizontalSliderPreviewIconSize")->isEnabled());
        QVERIFY(!windowChild<QLabel>(&dialog, "labelPreviewIconSize")->isEnabled());
    }

    void systemThemeBoxDisablesButKeeps()
    {
        SettingsDialog dialog;
        const QStringList paths{QStringLiteral("/a"), QStringLiteral("/b")};
        dialog.setUsingSystemIconsTheme(false);
        dialog.setThemeSearchPaths(paths);
        dialog.setFallbackSearchPaths({QStringLiteral("/c")});
        dialog.setThemeName(QStringLiteral("mine"));
        dialog.setFallbackThemeName(QStringLiteral("other"));
        for (const char *name : {"groupBoxThemeSearchPaths", "groupBoxFallbackSearchPaths", "widgetThemeNames"}) {
            QVERIFY2(windowChild<QWidget>(&dialog, name)->isEnabled(), name);
        }

        dialog.setUsingSystemIconsTheme(true);
        for (const char *name : {"groupBoxThemeSearchPaths", "groupBoxFallbackSearchPaths", "widgetThemeNames"}) {
            QVERIFY2(!windowChild<QWidget>(&dialog, name)->isEnabled(), name);
        }
        QCOMPARE(dialog.themeSearchPaths(), paths);
        QCOMPARE(dialog.fallbackSearchPaths(), QStringList{QStringLiteral("/c")});
        QCOMPARE(dialog.themeName(), QStringLiteral("mine"));
        QCOMPARE(dialog.fallbackThemeName(), QStringLiteral("other"));
    }

    void highDpiBoxesAreIndependent()
    {
        SettingsDialog dialog;
        dialog.setEnableHighDpiScaling(true);
        dialog.setDisableHighDpiScaling(true);
        QVERIFY(dialog.enableHighDpiScaling());
        QVERIFY(dialog.disableHighDpiScaling());
    }

    void restoreDefaultsLeavesSystemBoxAndAttributes()
    {
        SettingsDialog dialog;
        dialog.setScanIconNamesOnStart(true);
        dialog.setScanIconNamesIconSize(64);
        dialog.setApplicantsIconPathsIconSize(128);
        dialog.setPreviewIconSizeEnable(true);
        dialog.setPreviewIconSize(32);
        dialog.setSearchIconSuffixes({QStringLiteral("gif")});
        dialog.setUsingSystemIconsTheme(false);
        dialog.setThemeSearchPaths({QStringLiteral("/nowhere")});
        dialog.setFallbackSearchPaths({QStringLiteral("/nowhere/else")});
        dialog.setThemeName(QStringLiteral("mine"));
        dialog.setFallbackThemeName(QStringLiteral("other"));
        dialog.setApplicantsSortSectionsPolicy(
            {IconPathSection::Name, IconPathSection::Size, IconPathSection::Theme, IconPathSection::Category, IconPathSection::MainPath});
        dialog.setUse96Dpi(true);
        dialog.setUseHighDpiPixmaps(false);
        dialog.setEnableHighDpiScaling(true);
        dialog.setDisableHighDpiScaling(true);

        dialog.show();
        windowChild<QDialogButtonBox>(&dialog, "buttonBox")->button(QDialogButtonBox::RestoreDefaults)->click();
        QVERIFY(dialog.isVisible());

        QVERIFY(!dialog.isScanIconNamesOnStart());
        QCOMPARE(dialog.scanIconNamesIconSize(), 16);
        QCOMPARE(dialog.applicantsIconPathsIconSize(), 16);
        QVERIFY(!dialog.isPreviewIconSizeEnable());
        QVERIFY(!windowChild<QSlider>(&dialog, "horizontalSliderPreviewIconSize")->isEnabled());
        QCOMPARE(dialog.previewIconSize(), 256);
        QCOMPARE(dialog.searchIconSuffixes(), iconFileSuffixes);
        QCOMPARE(dialog.themeSearchPaths(), Settings::systemIconThemeSearchPaths());
        QCOMPARE(dialog.fallbackSearchPaths(), Settings::systemIconFallbackSearchPaths());
        QCOMPARE(dialog.themeName(), Settings::systemIconThemeName());
        QCOMPARE(dialog.fallbackThemeName(), Settings::systemIconFallbackThemeName());
        QCOMPARE(windowChild<StringListOrderEdit>(&dialog, "widgetApplicantsSortPolicy")->items(),
                 (QStringList{QStringLiteral("Main path"),
                              QStringLiteral("Icons theme"),
                              QStringLiteral("Size"),
                              QStringLiteral("Category"),
                              QStringLiteral("Icon name")}));

        QVERIFY(!dialog.isUsingSystemIconsTheme());
        QVERIFY(dialog.use96Dpi());
        QVERIFY(!dialog.useHighDpiPixmaps());
        QVERIFY(dialog.enableHighDpiScaling());
        QVERIFY(dialog.disableHighDpiScaling());
    }

    void sortPolicyRoundTrip_data()
    {
        QTest::addColumn<QList<IconPathSection>>("policy");
        QTest::newRow("default") << Settings::defaultApplicantsSortSectionsPolicy();
        QTest::newRow("reversed") << QList<IconPathSection>{IconPathSection::Name,
                                                            IconPathSection::Category,
                                                            IconPathSection::Size,
                                                            IconPathSection::Theme,
                                                            IconPathSection::MainPath};
        QTest::newRow("partial") << QList<IconPathSection>{IconPathSection::Size, IconPathSection::Name};
        QTest::newRow("empty") << QList<IconPathSection>{};
    }

    void sortPolicyRoundTrip()
    {
        QFETCH(QList<IconPathSection>, policy);
        SettingsDialog dialog;
        dialog.setApplicantsSortSectionsPolicy(policy);
        QCOMPARE(dialog.applicantsSortSectionsPolicy(), policy);
    }

    void sortPolicyFollowsTheUsersOrder()
    {
        SettingsDialog dialog;
        dialog.setApplicantsSortSectionsPolicy(Settings::defaultApplicantsSortSectionsPolicy());
        auto *editor = windowChild<StringListOrderEdit>(&dialog, "widgetApplicantsSortPolicy");
        auto *view = editor->findChild<QListView *>(QStringLiteral("listView"));
        view->setCurrentIndex(view->model()->index(4, 0));
        editor->upItem();
        editor->upItem();
        QCOMPARE(dialog.applicantsSortSectionsPolicy(),
                 (QList<IconPathSection>{IconPathSection::MainPath,
                                         IconPathSection::Theme,
                                         IconPathSection::Name,
                                         IconPathSection::Size,
                                         IconPathSection::Category}));
    }

    void sectionNameOutOfRange()
    {
        QVERIFY(SettingsDialog::iconPathSectionName(static_cast<IconPathSection>(9)).isNull());
    }
};

ZEL_TEST_MAIN(SettingsDialogTest)

#include "settingsdialogtest.moc"

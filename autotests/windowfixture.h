#ifndef WINDOWFIXTURE_H
#define WINDOWFIXTURE_H

#include "app/mainwindow.h"
#include "settings/settings.h"
#include "standardfixture.h"
#include "testenvironment.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStatusBar>
#include <QtTest>

// Stores a fixture theme as the user's theme override, the way the settings dialog would.
inline void storeThemeSettings(const QStringList &searchPaths, const QStringList &fallbackPaths, const QString &themeName)
{
    Settings settings;
    settings.setIconThemeSearchPaths(searchPaths);
    settings.setIconFallbackSearchPaths(fallbackPaths);
    settings.setIconThemeName(themeName);
    settings.setIconFallbackThemeName(themeName);
    settings.setUsingSystemIconsTheme(false);
}

inline void storeThemeSettings(const StandardFixture &fixture)
{
    storeThemeSettings({fixture.theme.searchPath()}, {fixture.fallbackPath()}, fixture.theme.name());
}

inline void findByTyping(QWidget *window, const QString &name)
{
    windowChild<QLineEdit>(window, "lineEditIconName")->setText(name);
    QTest::keyClick(windowChild<QLineEdit>(window, "lineEditIconName"), Qt::Key_Return);
}

inline QString statusText(QWidget *window)
{
    return windowChild<QStatusBar>(window, "statusbar")->currentMessage();
}

inline QStringList comboEntries(QWidget *window)
{
    auto *combo = windowChild<QComboBox>(window, "comboBoxFindedIconSize");
    QStringList entries;
    for (int i = 0; i < combo->count(); ++i) {
        entries.append(combo->itemText(i));
    }
    return entries;
}

#endif

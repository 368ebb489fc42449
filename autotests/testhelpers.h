#ifndef TESTHELPERS_H
#define TESTHELPERS_H

#include "app/mainwindow.h"
#include "app/mainwindow_p.h"
#include "catalogue/scaniconnamesthread.h"
#include "fixturetheme.h"
#include "settings/settings.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QtTest>

// Each test process gets a home of its own, so settings never leak between tests that
// ctest runs in parallel and no platform theme decides the icon theme. Called from initMain().
inline void prepareTestEnvironment(bool englishMessageIds = true)
{
    static QTemporaryDir home;
    if (englishMessageIds) {
        qputenv("LANGUAGE", "C");
    }
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral(".config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral(".local/share")).toLocal8Bit());
    qputenv("XDG_DATA_DIRS", "/usr/share");
    qputenv("XDG_RUNTIME_DIR", home.path().toLocal8Bit());
    for (const char *name : {"QT_QPA_PLATFORMTHEME", "XDG_CURRENT_DESKTOP", "KDE_FULL_SESSION", "DESKTOP_SESSION"}) {
        qunsetenv(name);
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QStandardPaths::setTestModeEnabled(true);
}

// The base of every test object: QTEST_MAIN calls initMain() before the application exists.
class ZelTestCase : public QObject
{
public:
    static void initMain()
    {
        prepareTestEnvironment();
    }
};

// Hands each batch of a walk to the list and gives the credit back at once.
inline void collectBatches(ScanIconNamesThread *thread, QStringList *names)
{
    QObject::connect(
        thread,
        &ScanIconNamesThread::iconNamesFinded,
        thread,
        [thread, names](const QStringList &batch) {
            *names += batch;
            thread->releaseBatch();
        },
        Qt::DirectConnection);
}

// Folders l0..l<levels>, each with a dag-icon.png and two links, a and b, to the next:
// 2^levels paths lead to the last one.
inline bool buildLinkDag(const QString &root, int levels)
{
    bool linked = true;
    for (int level = 0; level <= levels; ++level) {
        const QString folder = QString("%1/l%2").arg(root).arg(level);
        FixtureTheme::writeFile(folder + "/dag-icon.png", QByteArray());
        for (const char *link : {"/a", "/b"}) {
            linked = linked && (level == levels || QFile::link(QString("../l%1").arg(level + 1), folder + link));
        }
    }
    return linked;
}

inline QString settingsFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/zel-find-qicon/application.ini");
}

// A named child of a window or dialog; a missing one ends the run at once.
template<typename T>
T *windowChild(QObject *window, const char *name)
{
    T *child = window->findChild<T *>(QLatin1String(name));
    if (!child) {
        qFatal("no child %s", name);
    }
    return child;
}

class MainWindowAccess
{
public:
    static MainWindowPrivate *d(MainWindow *window)
    {
        return window->d.get();
    }
};

// The theme override the settings dialog would store.
inline void storeThemeSettings(const QStringList &searchPaths, const QStringList &fallbackPaths, const QString &themeName)
{
    Settings settings;
    settings.setIconThemeSearchPaths(searchPaths);
    settings.setIconFallbackSearchPaths(fallbackPaths);
    settings.setIconThemeName(themeName);
    settings.setIconFallbackThemeName(themeName);
    settings.setUsingSystemIconsTheme(false);
}

inline void storeThemeSettings(const FixtureTheme &theme)
{
    storeThemeSettings({theme.searchPath()}, {theme.fallbackPath()}, theme.name());
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

inline QString labelText(QWidget *window, const char *name)
{
    return windowChild<QLabel>(window, name)->text();
}

inline QStringList column(const QAbstractItemModel *model, int column = 0)
{
    QStringList values;
    for (int row = 0; row < model->rowCount(); ++row) {
        values.append(model->index(row, column).data().toString());
    }
    return values;
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

// While alive, answers each modal widget of type T that comes up, from inside its own
// event loop as a user would; a dialog that never comes shows as a count of 0, not a hang.
template<typename T>
class ModalAnswer
{
public:
    explicit ModalAnswer(std::function<void(T *)> action)
        : m_action(std::move(action))
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this]() {
            T *widget = qobject_cast<T *>(QApplication::activeModalWidget());
            if (widget && widget->isVisible() && widget != m_last) {
                m_last = widget;
                ++m_count;
                m_action(widget);
            }
        });
        m_timer.start();
    }

    int count() const
    {
        return m_count;
    }

private:
    std::function<void(T *)> m_action;
    QTimer m_timer;
    QPointer<T> m_last;
    int m_count = 0;
};

// Reads the settings file in a fresh process, so that nothing comes from this process's cache.
inline QMap<QString, QString> runSettingsProbe(const QString &mode = QString())
{
    QProcess process;
    process.start(QStringLiteral(SETTINGS_PROBE), mode.isEmpty() ? QStringList() : QStringList{mode});
    QMap<QString, QString> values;
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        values.insert(QStringLiteral("error"), QString::fromLocal8Bit(process.readAllStandardError()));
        return values;
    }
    const QList<QByteArray> lines = process.readAllStandardOutput().split('\n');
    for (const QByteArray &line : lines) {
        const int equals = line.indexOf('=');
        if (equals > 0) {
            values.insert(QString::fromUtf8(line.left(equals)), QString::fromUtf8(line.mid(equals + 1)));
        }
    }
    return values;
}

// The keys of "Key=value Key=value" whose stored value differs, as "key: stored, expected".
inline QStringList storedMismatches(const QString &expected, const QString &mode = QString())
{
    const QMap<QString, QString> stored = runSettingsProbe(mode);
    QStringList mismatches;
    for (const QString &pair : expected.split(' ', Qt::SkipEmptyParts)) {
        const QString key = pair.section('=', 0, 0);
        if (stored.value(key) != pair.section('=', 1)) {
            mismatches.append(key + ": " + stored.value(key) + ", " + pair.section('=', 1));
        }
    }
    return mismatches;
}

#endif

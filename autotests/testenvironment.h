#ifndef TESTENVIRONMENT_H
#define TESTENVIRONMENT_H

#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

// Every test process gets a home of its own, so settings files never leak between tests
// that ctest runs in parallel, and no platform theme decides the icon theme.
class TestEnvironment
{
public:
    enum Language { EnglishMessageIds, LanguageFromEnvironment };

    // Tests compare the English message ids, whatever language the machine runs in.
    explicit TestEnvironment(Language language = EnglishMessageIds)
    {
        if (language == EnglishMessageIds) {
            qputenv("LANGUAGE", QByteArray("C"));
        }
        qputenv("HOME", m_home.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", (m_home.path() + QStringLiteral("/.config")).toLocal8Bit());
        qputenv("XDG_DATA_HOME", (m_home.path() + QStringLiteral("/.local/share")).toLocal8Bit());
        qputenv("XDG_DATA_DIRS", QByteArray("/usr/share"));
        qputenv("XDG_RUNTIME_DIR", m_home.path().toLocal8Bit());
        qunsetenv("QT_QPA_PLATFORMTHEME");
        qunsetenv("XDG_CURRENT_DESKTOP");
        qunsetenv("KDE_FULL_SESSION");
        qunsetenv("DESKTOP_SESSION");
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
        }
        QStandardPaths::setTestModeEnabled(true);
    }

    QString home() const
    {
        return m_home.path();
    }

    // Where Settings writes while test mode is on.
    static QString settingsFilePath()
    {
        return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/zel-find-qicon/application.ini");
    }

private:
    QTemporaryDir m_home;
};

#define ZEL_TEST_MAIN(TestObject)                                                                                                                              \
    int main(int argc, char **argv)                                                                                                                            \
    {                                                                                                                                                          \
        TestEnvironment environment;                                                                                                                           \
        QApplication app(argc, argv);                                                                                                                          \
        TestObject tc;                                                                                                                                         \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                                                             \
        return QTest::qExec(&tc, argc, argv);                                                                                                                  \
    }

// A named child of a window or dialog; a missing one ends the test run at once.
template<typename T>
T *windowChild(QWidget *window, const char *name)
{
    T *widget = window->findChild<T *>(QLatin1String(name));
    if (!widget) {
        qFatal("no widget %s", name);
    }
    return widget;
}

#endif

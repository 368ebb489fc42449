#ifndef FUZZERENVIRONMENT_H
#define FUZZERENVIRONMENT_H

#include <QByteArray>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// What every target needs before its first input: a home of its own, so nothing the
// fuzzer does reaches the user's files, and an application object for the icon machinery.
class FuzzerEnvironment
{
public:
    FuzzerEnvironment()
    {
        qputenv("HOME", m_home.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", (m_home.path() + QStringLiteral("/.config")).toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", m_home.path().toLocal8Bit());
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
        qunsetenv("QT_QPA_PLATFORMTHEME");
        QStandardPaths::setTestModeEnabled(true);
        // The toolkit's warnings about broken images and file names are what the inputs
        // are made of; printing each would cost more than running it.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
            if (type == QtFatalMsg) {
                fprintf(stderr, "%s\n", qPrintable(message));
                abort();
            }
        });
        m_application = new QGuiApplication(m_argc, m_argv);
    }

    QString home() const
    {
        return m_home.path();
    }

    static FuzzerEnvironment &instance()
    {
        // Never destroyed: libFuzzer leaves through exit(), and the application object
        // must outlive every static the toolkit tears down then.
        static auto *environment = new FuzzerEnvironment;
        return *environment;
    }

private:
    QTemporaryDir m_home;
    int m_argc = 1;
    char m_name[16] = "zel-fuzzer";
    char *m_argv[2] = {m_name, nullptr};
    QGuiApplication *m_application = nullptr;
};

#endif

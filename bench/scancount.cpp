// Scans the given roots through the real main window, as the Scan button does,
// and prints the closing status message.
#include "app/mainwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QIcon>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTextStream>
#include <QTimer>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    const QStringList roots = QCoreApplication::arguments().mid(1);

    MainWindow window;
    QIcon::setThemeSearchPaths(roots);
    QIcon::setFallbackSearchPaths({});
    auto *status = window.findChild<QStatusBar *>(QStringLiteral("statusbar"));
    auto *start = window.findChild<QPushButton *>(QStringLiteral("pushButtonScanIconNamesStart"));

    QElapsedTimer timer;
    QTextStream out(stdout);
    QObject::connect(status, &QStatusBar::messageChanged, &app, [&](const QString &message) {
        if (message.startsWith(QLatin1String("Scan icon names done")) || message.startsWith(QLatin1String("Scan icon names stoped"))) {
            out << message << '\n' << "elapsed-ms=" << timer.elapsed() << '\n';
            out.flush();
            QTimer::singleShot(0, &app, &QCoreApplication::quit);
        }
    });
    timer.start();
    start->click();
    return app.exec();
}

#include "app/mainwindow.h"
#include "app/quitonsignal.h"
#include "catalogue/iconfileguard.h"
#include "settings/settings.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    // The toolkit reads these two only while the application object is being built.
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, Settings::applicationAttributeEnableHighDpiScaling());
    QCoreApplication::setAttribute(Qt::AA_DisableHighDpiScaling, Settings::applicationAttributeDisableHighDpiScaling());

    QApplication application(argc, argv);
    QuitOnSignal quitOnSignal(nullptr);
    QApplication::setWindowIcon(IconFileGuard::frameIcon(QStringLiteral("zel-image")));

    MainWindow window(nullptr);
    window.show();

    window.openArguments(QCoreApplication::arguments());

    return application.exec();
}

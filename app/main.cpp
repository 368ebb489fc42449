#include "app/mainwindow.h"
#include "settings/settings.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    // The toolkit reads these two only while the application object is being built.
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, Settings::applicationAttributeEnableHighDpiScaling());
    QCoreApplication::setAttribute(Qt::AA_DisableHighDpiScaling, Settings::applicationAttributeDisableHighDpiScaling());

    QApplication application(argc, argv);
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("zel-image")));

    MainWindow window(nullptr);
    window.show();

    const QStringList arguments = QCoreApplication::arguments();
    const int count = arguments.size();
    if (count == 2) {
        window.openIconName(arguments.at(1));
    } else if (count > 2) {
        window.openIconNames(arguments.mid(1), QString());
    } else {
        window.postArgumets();
    }

    return application.exec();
}

#include "report/themereportcommand.h"

#include <QFile>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    // Meant for build machines without a display; a desktop gains nothing from a window system here.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    }
    QGuiApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zel-find-qicon-report"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZEL_FIND_QICON_VERSION));

    QFile input;
    QFile output;
    QFile errors;
    input.open(stdin, QIODevice::ReadOnly);
    output.open(stdout, QIODevice::WriteOnly);
    errors.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
    return ThemeReportCommand::exec(QCoreApplication::arguments(), &input, &output, &errors);
}

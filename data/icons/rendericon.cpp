// Renders the program's scalable icon into the PNG sizes the hicolor theme keeps,
// so the installed PNGs can never drift from the SVG.
#include <QCoreApplication>
#include <QImage>
#include <QImageReader>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 4) {
        QTextStream(stderr) << "usage: rendericon <svg> <size> <png>\n";
        return 2;
    }
    bool ok = false;
    const int size = arguments.at(2).toInt(&ok);
    QImageReader reader(arguments.at(1));
    reader.setScaledSize(QSize(size, size));
    const QImage image = reader.read();
    if (!ok || image.isNull() || !image.save(arguments.at(3), "PNG")) {
        QTextStream(stderr) << "rendericon: " << reader.errorString() << '\n';
        return 1;
    }
    return 0;
}

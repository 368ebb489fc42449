#include "fixturetheme.h"

#include <QBuffer>
#include <QDir>
#include <QIcon>
#include <QImage>

FixtureTheme::FixtureTheme(const QString &name, const QString &searchPath)
    : m_dir(searchPath.isEmpty() ? std::make_unique<QTemporaryDir>() : nullptr)
    , m_searchPath(searchPath.isEmpty() ? m_dir->filePath(QStringLiteral("icons")) : searchPath)
    , m_name(name)
{
    QDir().mkpath(themePath());
}

QString FixtureTheme::name() const
{
    return m_name;
}

QString FixtureTheme::searchPath() const
{
    return m_searchPath;
}

QString FixtureTheme::themePath() const
{
    return m_searchPath + QLatin1Char('/') + m_name;
}

QString FixtureTheme::fallbackPath() const
{
    return QDir::cleanPath(m_searchPath + QStringLiteral("/../pixmaps"));
}

void FixtureTheme::addDirectory(const QString &path, int size, const QString &keys)
{
    m_directories.append(path);
    m_sections += QStringLiteral("\n[%1]\nSize=%2\n%3\nContext=Applications\n").arg(path).arg(size).arg(keys);
    QDir().mkpath(themePath() + QLatin1Char('/') + path);
}

QByteArray FixtureTheme::pngBytes(int width, int height, const QColor &color)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray FixtureTheme::svgBytes(const QColor &color)
{
    return QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"16\" height=\"16\"><rect width=\"16\" height=\"16\" fill=\"%1\"/></svg>\n")
        .arg(color.name())
        .toUtf8();
}

void FixtureTheme::writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(bytes);
    }
}

QByteArray FixtureTheme::readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString FixtureTheme::addFile(const QString &relativePath, const QByteArray &bytes)
{
    writeFile(themePath() + QLatin1Char('/') + relativePath, bytes);
    return themePath() + QLatin1Char('/') + relativePath;
}

QString FixtureTheme::addPng(const QString &dir, const QString &iconName, int size, const QColor &color)
{
    return addFile(dir + QLatin1Char('/') + iconName + QStringLiteral(".png"), pngBytes(size, size, color));
}

void FixtureTheme::writeIndex(const QString &inherits)
{
    QString head = QStringLiteral("[Icon Theme]\nName=%1\nComment=Fixture\nDirectories=%2\n").arg(m_name, m_directories.join(QLatin1Char(',')));
    if (!inherits.isEmpty()) {
        head += QStringLiteral("Inherits=%1\n").arg(inherits);
    }
    addFile(QStringLiteral("index.theme"), (head + m_sections).toUtf8());
}

void FixtureTheme::addStandardIcons()
{
    const QByteArray corrupt("\x89PNG\r\n\x1a\nthis is not an image", 28);
    for (int size : {16, 22, 24, 32, 48, 64, 96, 128, 192, 256}) {
        const QString dir = QStringLiteral("%1x%1/apps").arg(size);
        addDirectory(dir, size);
        // Every standard size: the one name without remarks.
        if (size != 24) {
            addPng(dir, QStringLiteral("complete"), size, Qt::green);
        }
        if (size == 16 || size == 22 || size == 32 || size == 48) {
            addPng(dir, QStringLiteral("four-sizes"), size);
        }
    }
    addDirectory(QStringLiteral("16x16@2x/apps"), 16, QStringLiteral("Type=Fixed\nScale=2"));
    addDirectory(QStringLiteral("scalable/apps"), 16, QStringLiteral("Type=Scalable\nMinSize=8\nMaxSize=512"));
    addPng(QStringLiteral("16x16/apps"), QStringLiteral("corrupt-one"), 16);
    addFile(QStringLiteral("22x22/apps/corrupt-one.png"), corrupt);
    addFile(QStringLiteral("16x16/apps/twice.png"), corrupt);
    addFile(QStringLiteral("16x16@2x/apps/twice.png"), corrupt);
    addPng(QStringLiteral("24x24/apps"), QStringLiteral("odd24"), 24);
    addPng(QStringLiteral("48x48/apps"), QStringLiteral("base"), 48, Qt::red);
    addPng(QStringLiteral("48x48/apps"), QStringLiteral("emblem"), 48, Qt::blue);
    addPng(QStringLiteral("48x48/apps"), QStringLiteral("emblem-green"), 48, Qt::green);
    addFile(QStringLiteral("scalable/apps/vector.svg"), svgBytes(Qt::blue));
    const QList<QPair<const char *, QColor>> dialogs{{"dialog-error", Qt::red}, {"dialog-warning", Qt::yellow}, {"dialog-information", Qt::blue}};
    for (const auto &dialog : dialogs) {
        addPng(QStringLiteral("16x16/apps"), QLatin1String(dialog.first), 16, dialog.second);
    }
    writeIndex();
    writeFile(fallbackPath() + QStringLiteral("/wide.png"), pngBytes(32, 16, Qt::yellow));
    writeFile(fallbackPath() + QStringLiteral("/no-sizes.svg"), svgBytes(Qt::cyan));
}

void FixtureTheme::apply() const
{
    QIcon::setThemeSearchPaths({m_searchPath});
    QIcon::setFallbackSearchPaths({fallbackPath()});
    QIcon::setThemeName(m_name);
    QIcon::setFallbackThemeName(m_name);
}

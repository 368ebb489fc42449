#include "fixturetheme.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

FixtureTheme::FixtureTheme(const QString &searchPath, const QString &name)
    : m_searchPath(searchPath)
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

void FixtureTheme::addDirectory(const QString &path, int size, const QString &type, int scale, const QString &context)
{
    m_directories.append({path, size, type, scale, context});
    QDir().mkpath(themePath() + QLatin1Char('/') + path);
}

void FixtureTheme::setInherits(const QStringList &themes)
{
    m_inherits = themes;
}

void FixtureTheme::setExtraIndexLines(const QString &lines)
{
    m_extraLines = lines;
}

QByteArray FixtureTheme::pngBytes(int width, int height, const QColor &color)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray FixtureTheme::svgBytes(const QColor &color)
{
    return QStringLiteral(
               "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"16\" height=\"16\" viewBox=\"0 0 16 16\">"
               "<rect width=\"16\" height=\"16\" fill=\"%1\"/></svg>\n")
        .arg(color.name())
        .toUtf8();
}

QString FixtureTheme::addFile(const QString &relativePath, const QByteArray &bytes)
{
    const QString path = themePath() + QLatin1Char('/') + relativePath;
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(bytes);
    }
    return path;
}

QString FixtureTheme::addPng(const QString &dir, const QString &iconName, int width, int height, const QColor &color)
{
    return addFile(dir + QLatin1Char('/') + iconName + QStringLiteral(".png"), pngBytes(width, height, color));
}

QString FixtureTheme::addSvg(const QString &dir, const QString &iconName, const QColor &color)
{
    return addFile(dir + QLatin1Char('/') + iconName + QStringLiteral(".svg"), svgBytes(color));
}

QString FixtureTheme::addCorrupt(const QString &dir, const QString &fileName)
{
    return addFile(dir + QLatin1Char('/') + fileName, QByteArray("\x89PNG\r\n\x1a\nthis is not an image", 28));
}

bool FixtureTheme::addLink(const QString &linkRelativePath, const QString &target)
{
    const QString link = themePath() + QLatin1Char('/') + linkRelativePath;
    QDir().mkpath(QFileInfo(link).path());
    return QFile::link(target, link);
}

void FixtureTheme::writeIndex()
{
    QStringList names;
    for (const Directory &directory : qAsConst(m_directories)) {
        names.append(directory.path);
    }
    QString text = QStringLiteral("[Icon Theme]\nName=%1\nComment=Fixture\n").arg(m_name);
    if (!m_inherits.isEmpty()) {
        text += QStringLiteral("Inherits=%1\n").arg(m_inherits.join(QLatin1Char(',')));
    }
    text += QStringLiteral("Directories=%1\n").arg(names.join(QLatin1Char(',')));
    text += m_extraLines;
    for (const Directory &directory : qAsConst(m_directories)) {
        text += QStringLiteral("\n[%1]\nSize=%2\nType=%3\nContext=%4\n").arg(directory.path).arg(directory.size).arg(directory.type, directory.context);
        if (directory.scale != 1) {
            text += QStringLiteral("Scale=%1\n").arg(directory.scale);
        }
        if (directory.type == QLatin1String("Scalable")) {
            text += QStringLiteral("MinSize=8\nMaxSize=512\n");
        }
    }
    addFile(QStringLiteral("index.theme"), text.toUtf8());
}

#ifndef STANDARDFIXTURE_H
#define STANDARDFIXTURE_H

#include "fixturetheme.h"

#include <QIcon>
#include <QTemporaryDir>

// One theme with the cases the remark engine and the find distinguish, plus a fallback folder.
class StandardFixture
{
public:
    StandardFixture()
        : theme(m_dir.path() + QStringLiteral("/icons"), QStringLiteral("zelfixture"))
    {
        theme.addDirectory(QStringLiteral("16x16/apps"), 16);
        theme.addDirectory(QStringLiteral("16x16@2x/apps"), 16, QStringLiteral("Fixed"), 2);
        theme.addDirectory(QStringLiteral("22x22/apps"), 22);
        theme.addDirectory(QStringLiteral("24x24/apps"), 24);
        theme.addDirectory(QStringLiteral("32x32/apps"), 32);
        theme.addDirectory(QStringLiteral("48x48/apps"), 48);
        theme.addDirectory(QStringLiteral("scalable/apps"), 16, QStringLiteral("Scalable"));

        for (int size : {16, 22, 32, 48}) {
            theme.addPng(QStringLiteral("%1x%1/apps").arg(size), QStringLiteral("four-sizes"), size, size);
        }
        theme.addPng(QStringLiteral("16x16/apps"), QStringLiteral("corrupt-one"), 16, 16);
        theme.addCorrupt(QStringLiteral("22x22/apps"), QStringLiteral("corrupt-one.png"));
        theme.addCorrupt(QStringLiteral("16x16/apps"), QStringLiteral("twice.png"));
        theme.addCorrupt(QStringLiteral("16x16@2x/apps"), QStringLiteral("twice.png"));
        theme.addPng(QStringLiteral("24x24/apps"), QStringLiteral("odd24"), 24, 24);
        theme.addPng(QStringLiteral("48x48/apps"), QStringLiteral("base"), 48, 48, Qt::red);
        theme.addPng(QStringLiteral("48x48/apps"), QStringLiteral("emblem"), 48, 48, Qt::blue);
        theme.addPng(QStringLiteral("48x48/apps"), QStringLiteral("emblem-green"), 48, 48, Qt::green);
        theme.addSvg(QStringLiteral("scalable/apps"), QStringLiteral("vector"));
        for (const char *name : {"dialog-information", "dialog-warning", "dialog-error"}) {
            theme.addPng(QStringLiteral("16x16/apps"), QLatin1String(name), 16, 16, Qt::darkRed);
        }
        theme.writeIndex();

        QDir().mkpath(fallbackPath());
        writeFile(fallbackPath() + QStringLiteral("/wide.png"), FixtureTheme::pngBytes(32, 16, Qt::yellow));
        writeFile(fallbackPath() + QStringLiteral("/no-sizes.svg"), FixtureTheme::svgBytes(Qt::cyan));
    }

    QString fallbackPath() const
    {
        return m_dir.path() + QStringLiteral("/pixmaps");
    }

    void apply() const
    {
        QIcon::setThemeSearchPaths({theme.searchPath()});
        QIcon::setFallbackSearchPaths({fallbackPath()});
        QIcon::setThemeName(theme.name());
        QIcon::setFallbackThemeName(theme.name());
    }

    static QByteArray readFile(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static void writeFile(const QString &path, const QByteArray &bytes)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(bytes);
        }
    }

private:
    QTemporaryDir m_dir;

public:
    FixtureTheme theme;
};

#endif

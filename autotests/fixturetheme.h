#ifndef FIXTURETHEME_H
#define FIXTURETHEME_H

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

// Writes an icon theme under a search path: index.theme plus real image files.
class FixtureTheme
{
public:
    struct Directory {
        QString path;
        int size;
        QString type; // Fixed, Scalable or Threshold
        int scale;
        QString context;
    };

    FixtureTheme(const QString &searchPath, const QString &name);

    QString name() const;
    QString searchPath() const;
    QString themePath() const;

    void addDirectory(const QString &path,
                      int size,
                      const QString &type = QStringLiteral("Fixed"),
                      int scale = 1,
                      const QString &context = QStringLiteral("Applications"));
    void setInherits(const QStringList &themes);
    void setExtraIndexLines(const QString &lines);

    // Paths are relative to the theme directory; the directory is created as needed.
    QString addPng(const QString &dir, const QString &iconName, int width, int height, const QColor &color = Qt::red);
    QString addSvg(const QString &dir, const QString &iconName, const QColor &color = Qt::blue);
    QString addFile(const QString &relativePath, const QByteArray &bytes);
    QString addCorrupt(const QString &dir, const QString &fileName);
    bool addLink(const QString &linkRelativePath, const QString &target);

    // Writes index.theme with every directory declared so far.
    void writeIndex();

    static QByteArray pngBytes(int width, int height, const QColor &color);
    static QByteArray svgBytes(const QColor &color);

private:
    QString m_searchPath;
    QString m_name;
    QList<Directory> m_directories;
    QStringList m_inherits;
    QString m_extraLines;
};

#endif

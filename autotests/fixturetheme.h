#ifndef FIXTURETHEME_H
#define FIXTURETHEME_H

#include <QColor>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// Writes an icon theme, index.theme plus real image files, under a search path of its
// own or a given one. addStandardIcons() gives the cases the remarks and the find tell apart.
class FixtureTheme
{
public:
    explicit FixtureTheme(const QString &name = QStringLiteral("zelfixture"), const QString &searchPath = QString());

    QString name() const;
    QString searchPath() const;
    QString themePath() const;
    // Loose icons beside the themes, as /usr/share/pixmaps.
    QString fallbackPath() const;

    // The section's keys after Size; the folder is made at once.
    void addDirectory(const QString &path, int size, const QString &keys = QStringLiteral("Type=Fixed"));
    // Paths are relative to the theme folder; folders are made as needed.
    QString addPng(const QString &dir, const QString &iconName, int size, const QColor &color = Qt::red);
    QString addFile(const QString &relativePath, const QByteArray &bytes);
    void writeIndex(const QString &inherits = QString());
    void addStandardIcons();
    // Makes this theme the toolkit's, fallback folder included.
    void apply() const;

    static QByteArray pngBytes(int width, int height, const QColor &color);
    static QByteArray svgBytes(const QColor &color);
    static void writeFile(const QString &path, const QByteArray &bytes);
    static QByteArray readFile(const QString &path);

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_searchPath;
    QString m_name;
    QStringList m_directories;
    QString m_sections;
};

#endif

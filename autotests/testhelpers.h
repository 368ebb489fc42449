#ifndef TESTHELPERS_H
#define TESTHELPERS_H

#include "app/mainwindow.h"
#include "catalogue/scaniconnamesthread.h"
#include "settings/settings.h"

#include <QtTest>
#include <QtWidgets>

#include <memory>

#include <zlib.h>

// A home of its own for each test process: ctest runs them in parallel, and no platform
// theme may decide the icon theme.
inline void prepareTestEnvironment(bool englishMessageIds = true)
{
    static QTemporaryDir home;
    if (englishMessageIds) {
        qputenv("LANGUAGE", "C");
    }
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral(".config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral(".local/share")).toLocal8Bit());
    qputenv("XDG_DATA_DIRS", "/usr/share");
    qputenv("XDG_RUNTIME_DIR", home.path().toLocal8Bit());
    for (const char *name : {"QT_QPA_PLATFORMTHEME", "XDG_CURRENT_DESKTOP", "KDE_FULL_SESSION", "DESKTOP_SESSION"}) {
        qunsetenv(name);
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QStandardPaths::setTestModeEnabled(true);
}

// The base of every test object: QTEST_MAIN calls initMain() before the application exists.
class ZelTestCase : public QObject
{
public:
    static void initMain()
    {
        prepareTestEnvironment();
    }
};

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline QByteArray pngBytes(int width, int height, const QColor &color)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    image.save(&buffer, "PNG");
    return bytes;
}

// An SVG-looking gzip stream inflating to that many MiB of spaces.
inline QByteArray gzipOfSpaces(int mebibytes)
{
    QTemporaryDir dir;
    gzFile file = gzopen(QFile::encodeName(dir.filePath("bomb.svgz")).constData(), "wb1");
    const QByteArray spaces(1 << 20, ' ');
    for (int i = 0; i < mebibytes; ++i) {
        gzwrite(file, spaces.constData(), unsigned(spaces.size()));
    }
    gzclose(file);
    return readFile(dir.filePath("bomb.svgz"));
}

inline QByteArray svgBytes(const QColor &color)
{
    return QString("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"16\" height=\"16\"><rect width=\"16\" height=\"16\" fill=\"%1\"/></svg>\n")
        .arg(color.name())
        .toUtf8();
}

// The remarks of standard sizes an icon lacks, in the order they come.
inline QStringList missingSizes(const QString &name, const QList<int> &sizes, const QString &inUse = QString())
{
    QStringList lines;
    for (int size : sizes) {
        lines.append(QString("The standard size %1x%1 not found for icon %2").arg(size).arg(name) + (inUse.isEmpty() ? QString() : " (icon " + inUse + " in use)"));
    }
    return lines;
}

// An icon theme, index.theme plus real image files, in a folder of its own or under a given
// search path. addStandardIcons() gives the cases the remarks and the find tell apart.
class FixtureTheme
{
public:
    explicit FixtureTheme(const QString &themeName = "zelfixture", const QString &underSearchPath = QString())
        : m_dir(underSearchPath.isEmpty() ? new QTemporaryDir : nullptr)
        , name(themeName)
        , searchPath(underSearchPath.isEmpty() ? m_dir->filePath("icons") : underSearchPath)
        , themePath(searchPath + '/' + name)
        , fallbackPath(QDir::cleanPath(searchPath + "/../pixmaps"))
    {
        QDir().mkpath(themePath);
    }

private:
    const std::unique_ptr<QTemporaryDir> m_dir;

public:
    const QString name;
    const QString searchPath;
    const QString themePath;
    // Loose icons beside the themes, as /usr/share/pixmaps.
    const QString fallbackPath;

    // The section's keys after Size; the folder is made at once.
    void addDirectory(const QString &path, int size, const QString &keys = "Type=Fixed")
    {
        m_directories.append(path);
        m_sections += QString("\n[%1]\nSize=%2\n%3\nContext=Applications\n").arg(path).arg(size).arg(keys);
        QDir().mkpath(themePath + '/' + path);
    }
    QString addFile(const QString &relativePath, const QByteArray &bytes)
    {
        writeFile(themePath + '/' + relativePath, bytes);
        return themePath + '/' + relativePath;
    }
    QString addPng(const QString &dir, const QString &iconName, int size, const QColor &color = Qt::red)
    {
        return addFile(dir + '/' + iconName + ".png", pngBytes(size, size, color));
    }
    void writeIndex(const QString &inherits = QString())
    {
        const QString head = QString("[Icon Theme]\nName=%1\nComment=Fixture\nDirectories=%2\n").arg(name, m_directories.join(','));
        addFile("index.theme", (head + (inherits.isEmpty() ? QString() : "Inherits=" + inherits + '\n') + m_sections).toUtf8());
    }
    void addStandardIcons()
    {
        const QByteArray corrupt("\x89PNG\r\n\x1a\nthis is not an image", 28);
        for (int size : {16, 22, 24, 32, 48, 64, 96, 128, 192, 256}) {
            const QString dir = QString("%1x%1/apps").arg(size);
            addDirectory(dir, size);
            // Every standard size: the one name without remarks.
            if (size != 24) {
                addPng(dir, "complete", size, Qt::green);
            }
            if (size == 16 || size == 22 || size == 32 || size == 48) {
                addPng(dir, "four-sizes", size);
            }
        }
        addDirectory("16x16@2x/apps", 16, "Type=Fixed\nScale=2");
        addDirectory("scalable/apps", 16, "Type=Scalable\nMinSize=8\nMaxSize=512");
        addPng("16x16/apps", "corrupt-one", 16);
        addFile("22x22/apps/corrupt-one.png", corrupt);
        addFile("16x16/apps/twice.png", corrupt);
        addFile("16x16@2x/apps/twice.png", corrupt);
        addPng("24x24/apps", "odd24", 24);
        addPng("48x48/apps", "base", 48, Qt::red);
        addPng("48x48/apps", "emblem", 48, Qt::blue);
        addPng("48x48/apps", "emblem-green", 48, Qt::green);
        addFile("scalable/apps/vector.svg", svgBytes(Qt::blue));
        addPng("16x16/apps", "dialog-error", 16, Qt::red);
        addPng("16x16/apps", "dialog-warning", 16, Qt::yellow);
        addPng("16x16/apps", "dialog-information", 16, Qt::blue);
        writeIndex();
        writeFile(fallbackPath + "/wide.png", pngBytes(32, 16, Qt::yellow));
        writeFile(fallbackPath + "/no-sizes.svg", svgBytes(Qt::cyan));
    }
    // Makes this theme the toolkit's, fallback folder included.
    void apply() const
    {
        QIcon::setThemeSearchPaths({searchPath});
        QIcon::setFallbackSearchPaths({fallbackPath});
        QIcon::setThemeName(name);
        QIcon::setFallbackThemeName(name);
    }
    // The same, as the override the settings dialog would store.
    void store() const;

private:
    QStringList m_directories;
    QString m_sections;
};

// Takes each batch of a walk into the list, on the walk's own thread.
inline void collectBatches(ScanIconNamesThread *thread, QStringList *names)
{
    QObject::connect(
        thread,
        &ScanIconNamesThread::iconNamesFinded,
        thread,
        [names](const QStringList &batch) {
            *names += batch;
        },
        Qt::DirectConnection);
}

// Folders l0..l<levels>, each with a dag-icon.png and two links, a and b, to the next:
// 2^levels paths lead to the last one.
inline bool buildLinkDag(const QString &root, int levels)
{
    bool linked = true;
    for (int level = 0; level <= levels; ++level) {
        const QString folder = QString("%1/l%2").arg(root).arg(level);
        writeFile(folder + "/dag-icon.png", QByteArray());
        for (const char *link : {"/a", "/b"}) {
            linked = linked && (level == levels || QFile::link(QString("../l%1").arg(level + 1), folder + link));
        }
    }
    return linked;
}

inline QString settingsFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/zel-find-qicon/application.ini";
}

// A named child of a window or dialog; a missing one ends the run at once.
template<typename T>
T *windowChild(QObject *window, const char *name)
{
    T *child = window->findChild<T *>(QLatin1String(name));
    if (!child) {
        qFatal("no child %s", name);
    }
    return child;
}

inline void storeThemeSettings(const QStringList &searchPaths, const QStringList &fallbackPaths, const QString &themeName)
{
    Settings settings;
    settings.setIconThemeSearchPaths(searchPaths);
    settings.setIconFallbackSearchPaths(fallbackPaths);
    settings.setIconThemeName(themeName);
    settings.setIconFallbackThemeName(themeName);
    settings.setUsingSystemIconsTheme(false);
}

inline void FixtureTheme::store() const
{
    storeThemeSettings({searchPath}, {fallbackPath}, name);
}

inline void findByTyping(QWidget *window, const QString &name)
{
    windowChild<QLineEdit>(window, "lineEditIconName")->setText(name);
    QTest::keyClick(windowChild<QLineEdit>(window, "lineEditIconName"), Qt::Key_Return);
}

inline QString labelText(QWidget *window, const char *name)
{
    return windowChild<QLabel>(window, name)->text();
}

inline QString statusText(QWidget *window)
{
    return windowChild<QStatusBar>(window, "statusbar")->currentMessage();
}

inline QStringList column(const QAbstractItemModel *model, int column = 0)
{
    QStringList values;
    for (int row = 0; row < model->rowCount(); ++row) {
        values.append(model->index(row, column).data().toString());
    }
    return values;
}

// While alive, answers each modal widget of type T that comes up, from inside its own
// event loop as a user would; a dialog that never comes shows as a count of 0, not a hang.
template<typename T>
class ModalAnswer
{
public:
    explicit ModalAnswer(std::function<void(T *)> action)
    {
        m_timer.callOnTimeout(&m_timer, [this, action]() {
            T *widget = qobject_cast<T *>(QApplication::activeModalWidget());
            if (widget && widget->isVisible() && widget != m_last) {
                m_last = widget;
                ++count;
                action(widget);
            }
        });
        m_timer.start(5);
    }
    int count = 0;

private:
    QTimer m_timer;
    QPointer<T> m_last;
};

// The settings file read in a fresh process, so that nothing comes from this process's
// cache; its warnings come as keys too.
inline QMap<QString, QString> runSettingsProbe(const QString &mode = QString(), const QString &home = QString(), const QString &variable = QString())
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home.isEmpty() ? qEnvironmentVariable("HOME") : home);
    if (!variable.isEmpty()) {
        environment.insert(variable.section('=', 0, 0), variable.section('=', 1));
    }
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(SETTINGS_PROBE, mode.isEmpty() ? QStringList() : QStringList{mode});
    const bool finished = process.waitForFinished(30000) && process.exitCode() == 0;
    QMap<QString, QString> values;
    for (const QByteArray &line : process.readAll().split('\n')) {
        const int equals = line.contains('=') ? line.indexOf('=') : line.size();
        values.insert(QString::fromUtf8(line.left(equals)), QString::fromUtf8(line.mid(equals + 1)));
    }
    if (!finished) {
        values.insert("error", "the probe did not end well");
    }
    return values;
}

// The pairs of "Key=value Key=value" that the stored values do not match, as "Key=stored".
inline QStringList storedMismatches(const QString &expected, const QString &mode = QString())
{
    const QMap<QString, QString> stored = runSettingsProbe(mode);
    QStringList mismatches;
    for (const QString &pair : expected.split(' ', Qt::SkipEmptyParts)) {
        if (stored.value(pair.section('=', 0, 0)) != pair.section('=', 1)) {
            mismatches.append(pair.section('=', 0, 0) + '=' + stored.value(pair.section('=', 0, 0)));
        }
    }
    return mismatches;
}

#endif

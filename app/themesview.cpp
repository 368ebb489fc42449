#include "themesview.h"

#include "catalogue/iconsizechoice.h"

#include <KLocalizedString>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QIcon>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QThread>

#include <algorithm>

namespace
{
// Where a file lies: the theme's own folder, another theme's, or a fallback folder.
QString originOf(const QString &file, const QString &theme)
{
    if (file.isEmpty()) {
        return i18nd("zel-find-qicon", "not found");
    }
    const QStringList searchPaths = QIcon::themeSearchPaths();
    for (const QString &path : searchPaths) {
        if (file.startsWith(QDir(path).filePath(theme) + QLatin1Char('/'))) {
            return i18nd("zel-find-qicon", "own");
        }
    }
    for (const QString &path : searchPaths) {
        const QString prefix = QDir(path).path() + QLatin1Char('/');
        if (file.startsWith(prefix)) {
            return i18nd("zel-find-qicon", "inherited from %1", file.mid(prefix.size()).section(QLatin1Char('/'), 0, 0));
        }
    }
    return i18nd("zel-find-qicon", "fallback");
}
}

ThemesView::ThemesView(QWidget *parent)
    : QTableWidget(parent)
{
    QStringList headers{i18nd("zel-find-qicon", "Theme"), i18nd("zel-find-qicon", "Origin")};
    for (int size : sizes()) {
        headers.append(QString::number(size));
    }
    setColumnCount(headers.size());
    setHorizontalHeaderLabels(headers);
    setIconSize(QSize(sizes().last(), sizes().last()));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

ThemesView::~ThemesView()
{
    stopProcesses();
}

const QList<int> &ThemesView::sizes()
{
    static const QList<int> sizes = {16, 32, 48};
    return sizes;
}

QStringList ThemesView::installedThemes()
{
    QStringList themes;
    const QStringList searchPaths = QIcon::themeSearchPaths();
    for (const QString &path : searchPaths) {
        if (path.startsWith(QLatin1Char(':'))) {
            continue;
        }
        const QStringList folders = QDir(path).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString &folder : folders) {
            if (QFileInfo(QDir(path).filePath(folder + QStringLiteral("/index.theme"))).isFile() && !themes.contains(folder)) {
                themes.append(folder);
            }
        }
    }
    themes.sort();
    return themes;
}

void ThemesView::stopProcesses()
{
    for (QProcess *process : qAsConst(m_processes)) {
        process->disconnect(this);
        process->kill();
        process->waitForFinished(1000);
        delete process;
    }
    m_processes.clear();
}

void ThemesView::setIconName(const QString &name)
{
    stopProcesses();
    const QStringList themes = name.isEmpty() ? QStringList() : installedThemes();
    setRowCount(themes.size());
    QStringList common;
    const QStringList searchPaths = QIcon::themeSearchPaths();
    for (const QString &path : searchPaths) {
        if (!path.startsWith(QLatin1Char(':'))) {
            common << QStringLiteral("--theme-path") << path;
        }
    }
    const QStringList fallbackPaths = QIcon::fallbackSearchPaths();
    for (const QString &path : fallbackPaths.isEmpty() ? QStringList{QString()} : fallbackPaths) {
        common << QStringLiteral("--fallback-path") << path;
    }
    if (!QIcon::fallbackThemeName().isEmpty()) {
        common << QStringLiteral("--fallback-theme") << QIcon::fallbackThemeName();
    }
    for (int size : sizes()) {
        common << QStringLiteral("--at") << QString::number(size);
    }
    m_arguments = common + QStringList{QStringLiteral("--format"), QStringLiteral("json"), QStringLiteral("--"), name};
    m_themes = themes;
    m_next = 0;
    for (int row = 0; row < themes.size(); ++row) {
        setItem(row, 0, new QTableWidgetItem(themes.at(row)));
        setItem(row, 1, new QTableWidgetItem(i18nd("zel-find-qicon", "asking...")));
        for (int column = 2; column < columnCount(); ++column) {
            setItem(row, column, new QTableWidgetItem());
        }
    }
    // A few processes at a time: a search path may hold any number of themes.
    for (int i = 0; i < std::max(2, QThread::idealThreadCount()); ++i) {
        askNext();
    }
}

void ThemesView::askNext()
{
    if (m_next >= m_themes.size()) {
        return;
    }
    const int row = m_next++;
    const QString theme = m_themes.at(row);
    auto *process = new QProcess;
    m_processes.append(process);
    connect(process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this, [this, process, row, theme]() {
        fillRow(row, theme, process->readAllStandardOutput());
        askNext();
    });
    connect(process, &QProcess::errorOccurred, this, [this, row](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            item(row, 1)->setText(i18nd("zel-find-qicon", "the report program is missing"));
            askNext();
        }
    });
    process->setStandardErrorFile(QProcess::nullDevice());
    process->start(QCoreApplication::applicationDirPath() + QStringLiteral("/zel-find-qicon-report"),
                   QStringList{QStringLiteral("--theme"), theme} + m_arguments);
}

void ThemesView::fillRow(int row, const QString &theme, const QByteArray &json)
{
    const QJsonObject entry = QJsonDocument::fromJson(json).array().at(0).toObject();
    const QJsonArray at = entry.value(QStringLiteral("at")).toArray();
    QString first;
    for (int i = 0; i < at.size() && i + 2 < columnCount(); ++i) {
        const QString file = at.at(i).toObject().value(QStringLiteral("file")).toString();
        item(row, i + 2)->setData(Qt::DecorationRole, QPixmap::fromImage(IconSizeChoice::drawn(file, sizes().at(i))));
        item(row, i + 2)->setToolTip(file);
        first = first.isEmpty() ? file : first;
    }
    item(row, 1)->setText(entry.isEmpty() ? i18nd("zel-find-qicon", "no answer") : originOf(first, theme));
}

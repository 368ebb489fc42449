// Hostile themes too large for a test, through the real window: each case in a process
// of its own, so that its peak resident size is its own. Prints one table.
//   zel-find-qicon-hostile [runs]
#include "app/mainwindow.h"
#include "settings/settings.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListView>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

namespace
{
double peakMegabytes()
{
    struct rusage usage;
    return ::getrusage(RUSAGE_SELF, &usage) == 0 ? usage.ru_maxrss / 1024.0 : 0;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
}

void writeTheme(const QString &root, const QString &name, const QStringList &folders)
{
    QByteArray index = "[Icon Theme]\nName=" + name.toUtf8() + "\nDirectories=" + folders.join(QLatin1Char(',')).toUtf8() + '\n';
    for (const QString &folder : folders) {
        index += "\n[" + folder.toUtf8() + "]\nSize=16\nType=Fixed\n";
        QDir().mkpath(root + QLatin1Char('/') + name + QLatin1Char('/') + folder);
    }
    writeFile(root + QLatin1Char('/') + name + QStringLiteral("/index.theme"), index);
}

// The longest gap between ticks of a 5 ms timer while the loop runs until done() is true.
double longestGap(const std::function<bool()> &done)
{
    QElapsedTimer since;
    since.start();
    qint64 longest = 0;
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        longest = std::max(longest, since.restart());
    }
    return double(longest);
}

// The child: a window over the fixture's theme, one case, "figure value" lines on stdout.
int runCase(const QString &which, const QString &root)
{
    QStandardPaths::setTestModeEnabled(true);
    QFile::remove(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/zel-find-qicon/application.ini"));
    {
        Settings settings;
        settings.setIconThemeSearchPaths({root});
        settings.setIconFallbackSearchPaths({});
        settings.setIconThemeName(QStringLiteral("hostile"));
        settings.setIconFallbackThemeName(QStringLiteral("hostile"));
        settings.setUsingSystemIconsTheme(false);
    }
    QTextStream out(stdout);
    QElapsedTimer timer;
    timer.start();
    auto window = std::make_unique<MainWindow>();
    window->show();
    QCoreApplication::processEvents();
    out << "shown " << timer.elapsed() << '\n';
    auto *name = window->findChild<QLineEdit *>(QStringLiteral("lineEditIconName"));
    auto *rows = window->findChild<QListView *>(QStringLiteral("listViewApplicantsIconPaths"))->model();
    const auto find = [&](const QString &icon) {
        name->setText(icon);
        timer.restart();
        window->findIconByCurrentName();
        out << "find returned " << timer.elapsed() << '\n';
        out << "longest gap after " << longestGap([]() {
            return !QGuiApplication::overrideCursor();
        }) << '\n';
        out << "find done " << timer.elapsed() << '\n' << "rows " << rows->rowCount() << '\n';
    };
    if (which == QLatin1String("stop")) {
        window->findChild<QPushButton *>(QStringLiteral("pushButtonScanIconNamesStart"))->click();
        QTimer::singleShot(300, window.get(), [&]() {
            timer.restart();
            window->findChild<QPushButton *>(QStringLiteral("pushButtonScanIconNamesStop"))->click();
            out << "stop " << timer.elapsed() << '\n';
        });
        longestGap([&]() {
            return window->findChild<QStatusBar *>(QStringLiteral("statusbar"))->currentMessage().startsWith(QLatin1String("Scan icon names stoped"));
        });
    } else if (which == QLatin1String("close during find")) {
        name->setText(QStringLiteral("no-such-icon"));
        window->findIconByCurrentName();
        QCoreApplication::processEvents();
    } else if (which == QLatin1String("close during scan")) {
        window->findChild<QPushButton *>(QStringLiteral("pushButtonScanIconNamesStart"))->click();
        QElapsedTimer wait;
        wait.start();
        longestGap([&wait]() {
            return wait.elapsed() > 300;
        });
    } else {
        find(which);
    }
    timer.restart();
    window.reset();
    out << "closed " << timer.elapsed() << '\n' << "peak " << peakMegabytes() << '\n';
    return 0;
}

struct Case {
    QString figure;
    QString which;
    QString root;
};
}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 4 && arguments.at(1) == QLatin1String("--case")) {
        return runCase(arguments.at(2), arguments.at(3));
    }
    const int runs = arguments.size() > 1 ? std::max(1, arguments.at(1).toInt()) : 3;
    QTemporaryDir dir;
    const QString base = dir.path();

    // One folder of a million links, in a theme of its own, and a theme linking to it.
    std::fprintf(stderr, "writing the fixtures...\n");
    writeTheme(base + QStringLiteral("/many"), QStringLiteral("hostile"), {QStringLiteral("apps")});
    const QByteArray folder = QFile::encodeName(base + QStringLiteral("/many/hostile/apps"));
    writeFile(base + QStringLiteral("/many/hostile/apps/target.png"), QByteArray());
    for (int i = 0; i < 1000000; ++i) {
        [[maybe_unused]] const int linked = ::symlink("target.png", QByteArray(folder + "/link-" + QByteArray::number(i) + ".png").constData());
    }
    writeTheme(base + QStringLiteral("/root"), QStringLiteral("hostile"), {QStringLiteral("apps")});
    QFile::link(QStringLiteral("/"), base + QStringLiteral("/root/hostile/apps/root"));
    QFile::link(base + QStringLiteral("/many/hostile/apps"), base + QStringLiteral("/root/hostile/apps/many"));
    for (int levels : {20, 22}) {
        const QString dag = base + QStringLiteral("/dag%1").arg(levels);
        writeTheme(dag, QStringLiteral("hostile"), {QStringLiteral("l0")});
        for (int level = 0; level <= levels; ++level) {
            const QString path = QStringLiteral("%1/hostile/l%2").arg(dag).arg(level);
            writeFile(path + QStringLiteral("/dag-icon.png"), QByteArray());
            for (const char *link : {"/a", "/b"}) {
                QFile::link(QStringLiteral("../l%1").arg(level + 1), path + QLatin1String(link));
            }
        }
    }
    writeTheme(base + QStringLiteral("/png"), QStringLiteral("hostile"), {QStringLiteral("apps")});
    QImage big(4096, 4096, QImage::Format_ARGB32);
    big.fill(Qt::red);
    big.save(base + QStringLiteral("/png/hostile/apps/big.png"));
    QStringList sections;
    for (int i = 0; i < 100000; ++i) {
        sections.append(QStringLiteral("s%1").arg(i, 6, 10, QLatin1Char('0')));
    }
    writeTheme(base + QStringLiteral("/sections"), QStringLiteral("hostile"), sections);
    writeFile(base + QStringLiteral("/sections/hostile/s099999/last-section.png"), QByteArray());

    const QVector<Case> cases{
        {QStringLiteral("1,000,000 links in one folder: Stop during a scan"), QStringLiteral("stop"), base + QStringLiteral("/many")},
        {QStringLiteral("1,000,000 links in one folder: closing during a find"), QStringLiteral("close during find"), base + QStringLiteral("/many")},
        {QStringLiteral("a link to / and one to the million links: closing during a scan"), QStringLiteral("close during scan"), base + QStringLiteral("/root")},
        {QStringLiteral("link tree of 20 levels: find dag-icon"), QStringLiteral("dag-icon"), base + QStringLiteral("/dag20")},
        {QStringLiteral("link tree of 22 levels: find dag-icon"), QStringLiteral("dag-icon"), base + QStringLiteral("/dag22")},
        {QStringLiteral("a 4096x4096 PNG: find big"), QStringLiteral("big"), base + QStringLiteral("/png")},
        {QStringLiteral("index of 100,000 sections: find last-section"), QStringLiteral("last-section"), base + QStringLiteral("/sections")},
    };
    QTextStream out(stdout);
    out << "| case | figure | median | min | max |\n|---|---|---|---|---|\n";
    for (const Case &one : cases) {
        QMap<QString, QVector<double>> figures;
        for (int run = 0; run < runs; ++run) {
            QProcess child;
            child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--case"), one.which, one.root});
            child.waitForFinished(-1);
            for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
                const int space = line.lastIndexOf(' ');
                if (space > 0) {
                    figures[QString::fromUtf8(line.left(space))].append(line.mid(space + 1).toDouble());
                }
            }
        }
        for (auto it = figures.begin(); it != figures.end(); ++it) {
            std::sort(it->begin(), it->end());
            const QString unit = it.key() == QLatin1String("peak") ? QStringLiteral(" MB") : it.key() == QLatin1String("rows") ? QString() : QStringLiteral(" ms");
            out << "| " << one.figure << " | " << it.key() << " | " << it->at(it->size() / 2) << unit << " | " << it->first() << " | " << it->last() << " |\n";
        }
        out.flush();
    }
    return 0;
}

// Times what a user waits for on real themes, through the real window's own slots and
// signals, each against a reference measured in the same run; prints one table.
#include "app/mainwindow.h"
#include "app/mainwindow_p.h"
#include "applicants/applicantssortfiltermodel.h"
#include "catalogue/iconsmodel.h"
#include "remarks/iconsremarksviewdialog.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QMenu>
#include <QStandardItemModel>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QIcon>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableView>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <cstdio>
#include <memory>
#include <vector>

class MainWindowAccess
{
public:
    static MainWindowPrivate *d(MainWindow *window)
    {
        return window->d.get();
    }
};

namespace
{
struct Figure {
    QString name;
    QVector<double> runs;
    QVector<double> reference;
    QString target;
    QString unit = QStringLiteral("ms");
};

double median(QVector<double> values)
{
    if (values.isEmpty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const int n = values.size();
    return n % 2 ? values.at(n / 2) : (values.at(n / 2 - 1) + values.at(n / 2)) / 2;
}

QString number(double value)
{
    return value >= 100 ? QString::number(value, 'f', 0) : QString::number(value, 'f', value >= 10 ? 1 : 2);
}

void waitForMessage(QStatusBar *status, const std::function<bool(const QString &)> &accept)
{
    QEventLoop loop;
    QObject::connect(status, &QStatusBar::messageChanged, &loop, [&](const QString &message) {
        if (accept(message)) {
            loop.quit();
        }
    });
    loop.exec();
}

double runFindMinusL(const QStringList &roots)
{
    QElapsedTimer timer;
    QProcess find;
    find.setStandardOutputFile(QProcess::nullDevice());
    find.setStandardErrorFile(QProcess::nullDevice());
    timer.start();
    find.start(QStringLiteral("find"), QStringList{QStringLiteral("-L")} + roots + QStringList{QStringLiteral("-type"), QStringLiteral("f"), QStringLiteral("-print")});
    find.waitForFinished(-1);
    return timer.nsecsElapsed() / 1e6;
}
}

// The child side of the start-up figure: build the window (or a bare one), show it,
// and tell the parent as soon as the first events after the show have run. The
// parent stops its clock there: what the window does when it closes (saving its
// state) is not start-up.
int startupChild(const QString &which)
{
    QStandardPaths::setTestModeEnabled(true);
    QFile::remove(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/zel-find-qicon/application.ini"));
    const bool app = which == QLatin1String("app");
    if (app) {
        // As the program's own main does before it builds the window.
        QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("zel-image")));
    }
    std::unique_ptr<QMainWindow> window(app ? new MainWindow : new QMainWindow);
    window->show();
    QTimer::singleShot(0, window.get(), []() {
        std::fputs("shown\n", stdout);
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    return QCoreApplication::exec();
}

// The child side of the cold find: a new window over the roots, one find, the time
// from the find slot to its outcome message and the applicant count on stdout.
int findChild(const QString &name, const QStringList &roots)
{
    QStandardPaths::setTestModeEnabled(true);
    MainWindow window;
    QIcon::setThemeSearchPaths(roots);
    QIcon::setFallbackSearchPaths({});
    QIcon::setThemeName(QStringLiteral("breeze"));
    window.show();
    QCoreApplication::processEvents();
    auto *status = window.findChild<QStatusBar *>(QStringLiteral("statusbar"));
    window.findChild<QLineEdit *>(QStringLiteral("lineEditIconName"))->setText(name);
    QElapsedTimer timer;
    timer.start();
    window.findIconByCurrentName();
    waitForMessage(status, [](const QString &message) {
        return !message.startsWith(QLatin1String("Finding icon by name"));
    });
    std::printf("%.3f %d\n", timer.nsecsElapsed() / 1e6, MainWindowAccess::d(&window)->applicantsIconPathsModel->rowCount());
    return 0;
}

double runStartup(const QString &which)
{
    QElapsedTimer timer;
    QProcess child;
    child.setStandardErrorFile(QProcess::nullDevice());
    timer.start();
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--startup"), which});
    while (!child.canReadLine() && child.waitForReadyRead(-1)) {
    }
    const double elapsed = timer.nsecsElapsed() / 1e6;
    child.waitForFinished(-1);
    return elapsed;
}

double peakResidentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
        }
    }
    return 0;
}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.size() == 2 && arguments.first() == QLatin1String("--startup")) {
        return startupChild(arguments.at(1));
    }
    if (arguments.size() >= 2 && arguments.first() == QLatin1String("--find-child")) {
        return findChild(arguments.at(1), arguments.mid(2));
    }
    QStandardPaths::setTestModeEnabled(true);
    int runs = 3;
    bool scanOnly = false;
    // --only lets one figure be worked on without waiting for all the others.
    QStringList only;
    // Options in any order before the roots; a root never starts with two dashes.
    while (!arguments.isEmpty() && arguments.first().startsWith(QLatin1String("--"))) {
        const QString option = arguments.takeFirst();
        if (option == QLatin1String("--scan-only")) {
            scanOnly = true;
        } else if (option == QLatin1String("--only") && !arguments.isEmpty()) {
            only = arguments.takeFirst().split(QLatin1Char(','));
        } else if (option == QLatin1String("--runs") && !arguments.isEmpty()) {
            runs = std::max(1, arguments.takeFirst().toInt());
        } else {
            std::fprintf(stderr, "unknown option %s\n", qPrintable(option));
            return 2;
        }
    }
    const auto wanted = [&only](const char *part) {
        return only.isEmpty() || only.contains(QLatin1String(part));
    };
    const QStringList roots = arguments.isEmpty() ? QStringList{QStringLiteral("/usr/share/icons")} : arguments;
    const QString findName = QStringLiteral("edit-copy");

    MainWindow window;
    QIcon::setThemeSearchPaths(roots);
    QIcon::setFallbackSearchPaths({});
    QIcon::setThemeName(QStringLiteral("breeze"));
    window.show();
    MainWindowPrivate *d = MainWindowAccess::d(&window);
    auto *status = window.findChild<QStatusBar *>(QStringLiteral("statusbar"));
    auto *start = window.findChild<QPushButton *>(QStringLiteral("pushButtonScanIconNamesStart"));
    auto *nameEdit = window.findChild<QLineEdit *>(QStringLiteral("lineEditIconName"));

    Figure scan{QStringLiteral("scan (Scan to end handled)"), {}, {}, QStringLiteral("<= 0.5 x find -L")};
    Figure stall{QStringLiteral("event-loop stall during scan"), {}, {}, QStringLiteral("median <= 30 ms, max <= 100 ms")};
    Figure loadedScan{QStringLiteral("scan, two busy processes beside it"), {}, {}, QStringLiteral("<= 0.6 x find -L under load")};
    Figure loadedStall{QStringLiteral("event-loop stall during scan, two busy processes"), {}, {}, QStringLiteral("median <= 30 ms, max <= 100 ms")};
    Figure loading{QStringLiteral("loading pass, per name"), {}, {}, QStringLiteral("<= 1.2 x bare loop"), QStringLiteral("us")};
    Figure loadingTotal{QStringLiteral("loading pass, total"), {}, {}, QString()};
    Figure find{QStringLiteral("find edit-copy, warm"), {}, {}, QStringLiteral("<= 100 ms, >= 30 x faster")};
    Figure warming{QStringLiteral("remarks worked out in idle time after loading"), {}, {}, QString()};
    Figure findOrgCold{QStringLiteral("find org, cold (first after start-up)"), {}, {}, QStringLiteral("<= 2 s")};
    Figure findOrgWarm{QStringLiteral("find org, warm"), {}, {}, QStringLiteral("<= 1 s")};
    Figure sortOrg{QStringLiteral("sort of the applicants of org alone"), {}, {}, QStringLiteral("<= 250 ms")};
    int orgApplicants = 0;
    Figure fresh{QStringLiteral("find of a name just added, listed"), {}, {}, QStringLiteral("<= 100 ms")};
    Figure table{QStringLiteral("remarks table open"), {}, {}, QStringLiteral("<= 2 s")};
    Figure copyAll{QStringLiteral("Copy all remarks"), {}, {}, QStringLiteral("<= 2 s")};
    Figure startup{QStringLiteral("start-up to window shown"), {}, {}, QStringLiteral("<= 1.5 x bare window")};
    Figure memory{QStringLiteral("peak resident after scan, loading and remarks"), {}, {}, QStringLiteral("<= 400 MB"), QStringLiteral("MB")};
    QVector<Figure> sorts;
    for (const char *column : {"found name", "name", "remarks"}) {
        sorts.append(Figure{QStringLiteral("remarks table sort by %1").arg(QLatin1String(column)), {}, {},
                            QLatin1String(column) == QLatin1String("remarks") ? QStringLiteral("<= 2 s") : QString()});
    }
    int names = 0;

    // One scan through the window's Scan button; returns the longest gap between ticks.
    const auto timeScan = [&](Figure &scanFigure) {
        scanFigure.reference.append(runFindMinusL(roots));
        QElapsedTimer ticks;
        qint64 longest = 0;
        bool scanning = true;
        QTimer ticker;
        ticker.setInterval(10);
        QObject::connect(&ticker, &QTimer::timeout, &ticker, [&]() {
            if (scanning) {
                longest = std::max(longest, ticks.restart());
            }
        });
        QElapsedTimer timer;
        QElapsedTimer loadTimer;
        QObject::connect(status, &QStatusBar::messageChanged, &ticker, [&](const QString &message) {
            if (scanning && message.startsWith(QLatin1String("Loading icons by names"))) {
                scanning = false;
                scanFigure.runs.append(timer.nsecsElapsed() / 1e6);
                loadTimer.start();
            }
        });
        ticks.start();
        ticker.start();
        timer.start();
        start->click();
        waitForMessage(status, [](const QString &message) {
            return message.startsWith(QLatin1String("Scan icon names done"));
        });
        return std::make_pair(double(longest), loadTimer.nsecsElapsed() / 1e6);
    };

    for (int run = 0; run < runs; ++run) {
        const auto [longest, loadMs] = timeScan(scan);
        stall.runs.append(longest);
        names = d->iconsModel->rowCount();
        loadingTotal.runs.append(loadMs);
        loading.runs.append(loadMs * 1000 / std::max(1, names));

        // The bare reference: what any program pays to ask the theme for each name.
        QStringList allNames;
        allNames.reserve(names);
        for (int row = 0; row < names; ++row) {
            allNames.append(d->iconsModel->iconName(d->iconsModel->index(row, 0)));
        }
        QElapsedTimer bare;
        bare.start();
        qint64 sizes = 0;
        for (const QString &name : qAsConst(allNames)) {
            sizes += QIcon::fromTheme(name).availableSizes().size();
        }
        const double bareMs = bare.nsecsElapsed() / 1e6;
        loadingTotal.reference.append(bareMs);
        loading.reference.append(bareMs * 1000 / std::max(1, names));
        Q_UNUSED(sizes);
        QElapsedTimer warm;
        warm.start();
        while (d->iconsModel->isWarmingRemarks()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        warming.runs.append(warm.nsecsElapsed() / 1e6);
        memory.runs.append(peakResidentMegabytes());
        std::fprintf(stderr, "run %d: scan %.0f ms (find -L %.0f ms), stall %.0f ms, %d names, loading %.0f ms\n", run + 1, scan.runs.last(), scan.reference.last(),
                     longest, names, loadMs);
    }


    // The same scan with two busy-looping processes on the machine's cores, find -L
    // measured under the same load.
    for (int run = 0; wanted("loaded") && run < runs; ++run) {
        std::vector<std::unique_ptr<QProcess>> busy;
        for (int i = 0; i < 2; ++i) {
            busy.push_back(std::make_unique<QProcess>());
            busy.back()->start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("while :; do :; done")});
            busy.back()->waitForStarted(-1);
        }
        const auto result = timeScan(loadedScan);
        loadedStall.runs.append(result.first);
        for (auto &process : busy) {
            process->kill();
            process->waitForFinished(-1);
        }
        // The figures after this one start from a warmed model, as after the quiet scans.
        while (d->iconsModel->isWarmingRemarks()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        std::fprintf(stderr, "loaded run %d: scan %.0f ms (find -L %.0f ms), stall %.0f ms\n", run + 1, loadedScan.runs.last(), loadedScan.reference.last(),
                     result.first);
    }

    if (scanOnly) {
        std::fprintf(stdout, "scan %.0f ms, find -L %.0f ms, stall %.0f ms\n", median(scan.runs), median(scan.reference), median(stall.runs));
        if (!loadedScan.runs.isEmpty()) {
            std::fprintf(stdout, "loaded: scan %.0f ms, find -L %.0f ms, stall %.0f ms\n", median(loadedScan.runs), median(loadedScan.reference),
                         median(loadedStall.runs));
        }
        return 0;
    }

    auto timeFind = [&](const QString &name) {
        QElapsedTimer timer;
        nameEdit->setText(name);
        timer.start();
        window.findIconByCurrentName();
        waitForMessage(status, [](const QString &message) {
            return !message.startsWith(QLatin1String("Finding icon by name"));
        });
        return timer.nsecsElapsed() / 1e6;
    };
    if (wanted("find")) {
        timeFind(findName);
        for (int run = 0; run < std::max(runs, 5); ++run) {
            find.runs.append(timeFind(findName));
        }
        d->applicantsIndex.setReuseListings(false);
        for (int run = 0; run < runs; ++run) {
            find.reference.append(timeFind(findName));
        }
        d->applicantsIndex.setReuseListings(true);
    }
    // Tens of thousands of applicants: application icons named org.<vendor>.<app>.
    const QString bigName = QStringLiteral("org");
    for (int run = 0; wanted("org") && run < std::max(runs, 5); ++run) {
        QProcess child;
        child.setStandardErrorFile(QProcess::nullDevice());
        child.start(QCoreApplication::applicationFilePath(), QStringList{QStringLiteral("--find-child"), bigName} + roots);
        child.waitForFinished(-1);
        const QList<QByteArray> fields = child.readAllStandardOutput().trimmed().split(' ');
        findOrgCold.runs.append(fields.value(0).toDouble());
        orgApplicants = fields.value(1).toInt();
    }
    if (wanted("org")) {
        timeFind(bigName);
        for (int run = 0; run < std::max(runs, 5); ++run) {
            findOrgWarm.runs.append(timeFind(bigName));
        }
        orgApplicants = d->applicantsIconPathsModel->rowCount();
        for (int run = 0; run < std::max(runs, 5); ++run) {
            d->applicantsSortFilterModel->sort(-1);
            QElapsedTimer timer;
            timer.start();
            d->applicantsSortFilterModel->sort(0);
            sortOrg.runs.append(timer.nsecsElapsed() / 1e6);
        }
        findOrgCold.name += QStringLiteral(", %1 applicants").arg(orgApplicants);
        findOrgWarm.name += QStringLiteral(", %1 applicants").arg(orgApplicants);
    }

    // A theme author drops a new file in and looks it up at once: it must be listed.
    const QString freshDir = roots.first() + QStringLiteral("/breeze/actions/16");
    bool freshListed = wanted("fresh") && QFileInfo(freshDir).isWritable();
    // The folder must get its time back afterwards: a folder newer than the theme's
    // icon-theme.cache makes the toolkit distrust the cache and look every icon up
    // file by file, which would slow every later figure and every later run.
    struct stat freshDirStat;
    const bool freshDirTimed = ::stat(QFile::encodeName(freshDir).constData(), &freshDirStat) == 0;
    for (int run = 0; freshListed && run < std::max(runs, 5); ++run) {
        const QString name = QStringLiteral("zel-bench-fresh-%1-%2").arg(QCoreApplication::applicationPid()).arg(run);
        const QString path = freshDir + QLatin1Char('/') + name + QStringLiteral(".svg");
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"16\" height=\"16\"><rect width=\"16\" height=\"16\"/></svg>");
        file.close();
        QElapsedTimer timer;
        nameEdit->setText(name);
        timer.start();
        window.findIconByCurrentName();
        waitForMessage(status, [](const QString &message) {
            return !message.startsWith(QLatin1String("Finding icon by name"));
        });
        fresh.runs.append(timer.nsecsElapsed() / 1e6);
        freshListed = !d->applicantsIconPathsModel->findItems(path).isEmpty();
        QFile::remove(path);
        if (freshDirTimed) {
            const struct timespec times[2] = {freshDirStat.st_atim, freshDirStat.st_mtim};
            ::utimensat(AT_FDCWD, QFile::encodeName(freshDir).constData(), times, 0);
        }
        if (!freshListed) {
            std::fprintf(stderr, "fresh file %s was not listed\n", qPrintable(path));
        }
    }
    if (!freshListed && wanted("fresh")) {
        fresh.name += QStringLiteral(" (NOT LISTED or not writable)");
    }

    for (int run = 0; wanted("table") && run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        auto *dialog = new IconsRemarksViewDialog(d->iconsModel, &window);
        dialog->show();
        QCoreApplication::processEvents();
        table.runs.append(timer.nsecsElapsed() / 1e6);
        auto *view = dialog->findChild<QTableView *>(QStringLiteral("iconsRemarksTableView"));
        for (int column = 0; column < 3; ++column) {
            timer.restart();
            view->sortByColumn(column, Qt::AscendingOrder);
            QCoreApplication::processEvents();
            sorts[column].runs.append(timer.nsecsElapsed() / 1e6);
        }
        for (QAction *action : dialog->findChildren<QAction *>()) {
            if (action->text() == QLatin1String("Copy all remarks")) {
                timer.restart();
                action->trigger();
                copyAll.runs.append(timer.nsecsElapsed() / 1e6);
            }
        }
        delete dialog;
    }

    for (int run = 0; wanted("startup") && run < std::max(runs, 5); ++run) {
        startup.runs.append(runStartup(QStringLiteral("app")));
        startup.reference.append(runStartup(QStringLiteral("bare")));
    }

    QTextStream out(stdout);
    out << "names scanned: " << names << ", runs: " << runs << ", roots: " << roots.join(QLatin1Char(' ')) << "\n\n";
    out << "| figure | median | min | max | reference median | ratio | target |\n|---|---|---|---|---|---|---|\n";
    QVector<Figure> all{scan, stall, loadedScan, loadedStall, loading, loadingTotal, warming, find, findOrgCold, findOrgWarm, sortOrg, fresh, table};
    all += sorts;
    all += QVector<Figure>{copyAll, startup, memory};
    for (const Figure &figure : qAsConst(all)) {
        if (figure.runs.isEmpty()) {
            out << "| " << figure.name << " | - | - | - | - | - | " << figure.target << " |\n";
            continue;
        }
        const double m = median(figure.runs);
        const double r = median(figure.reference);
        QString ratio = QStringLiteral("-");
        if (r > 0) {
            ratio = figure.name.startsWith(QLatin1String("find")) ? number(r / m) + QStringLiteral(" x faster") : number(m / r);
        }
        out << "| " << figure.name << " | " << number(m) << ' ' << figure.unit << " | " << number(*std::min_element(figure.runs.begin(), figure.runs.end())) << " | "
            << number(*std::max_element(figure.runs.begin(), figure.runs.end())) << " | " << (r > 0 ? number(r) + QLatin1Char(' ') + figure.unit : QStringLiteral("-"))
            << " | " << ratio << " | " << (figure.target.isEmpty() ? QStringLiteral("-") : figure.target) << " |\n";
    }
    out.flush();
    return 0;
}

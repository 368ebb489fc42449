// Times what a user waits for on real themes, through the real window's own slots and
// signals, each against a reference measured in the same run; prints one table.
#include "app/mainwindow.h"
#include "applicants/applicantsindex.h"
#include "applicants/applicantssortfiltermodel.h"
#include "catalogue/iconsmodel.h"
#include "catalogue/scaniconnamesthread.h"
#include "remarks/iconsremarksviewdialog.h"
#include "app/iconsizesview.h"
#include "app/themesview.h"
#include "report/themereport.h"
#include "report/themereportwriter.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDockWidget>
#include <QLabel>
#include <QTableWidget>
#include <QBuffer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QIcon>
#include <QLineEdit>
#include <QListView>
#include <QSortFilterProxyModel>
#include <QMainWindow>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextStream>
#include <QSet>
#include <QTimer>

#include <private/qiconloader_p.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <dirent.h>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

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

// A find is done when its applicants are listed: its cursors are all restored then.
void waitForFind()
{
    while (QGuiApplication::overrideCursor()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

double runFindMinusL(const QStringList &roots)
{
    QElapsedTimer timer;
    QProcess find;
    find.setStandardOutputFile(QProcess::nullDevice());
    find.setStandardErrorFile(QProcess::nullDevice());
    timer.start();
    find.start(QStringLiteral("find"),
               QStringList{QStringLiteral("-L")} + roots + QStringList{QStringLiteral("-type"), QStringLiteral("f"), QStringLiteral("-print")});
    find.waitForFinished(-1);
    return timer.nsecsElapsed() / 1e6;
}
}

// The floor of a scan: each real directory read once (device and inode), links followed,
// the base names of icon files gathered; what any walk of these roots pays.
double runBareWalk(const QStringList &roots)
{
    QElapsedTimer timer;
    timer.start();
    QSet<QPair<quint64, quint64>> seen;
    QSet<QByteArray> names;
    const QList<QByteArray> suffixes{"png", "jpg", "jpeg", "svg", "svgz", "xcf", "xpm"};
    std::function<void(const QByteArray &)> walk = [&](const QByteArray &folder) {
        struct stat info;
        if (::stat(folder.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || seen.contains({info.st_dev, info.st_ino})) {
            return;
        }
        seen.insert({info.st_dev, info.st_ino});
        DIR *dir = ::opendir(folder.constData());
        QList<QByteArray> subfolders;
        while (const dirent *entry = dir ? ::readdir(dir) : nullptr) {
            const QByteArray name(entry->d_name);
            struct stat target;
            const bool isDir = entry->d_type == DT_DIR
                || ((entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) && ::fstatat(::dirfd(dir), entry->d_name, &target, 0) == 0 && S_ISDIR(target.st_mode));
            if (name.startsWith('.')) {
                continue;
            } else if (isDir) {
                subfolders.append(folder + '/' + name);
            } else if (suffixes.contains(name.mid(name.lastIndexOf('.') + 1))) {
                names.insert(name.left(name.indexOf('.')));
            }
        }
        if (dir) {
            ::closedir(dir);
        }
        for (const QByteArray &subfolder : qAsConst(subfolders)) {
            walk(subfolder);
        }
    };
    for (const QString &root : roots) {
        walk(QFile::encodeName(root));
    }
    return names.isEmpty() ? 0 : timer.nsecsElapsed() / 1e6;
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
    window.findChild<QLineEdit *>(QStringLiteral("lineEditIconName"))->setText(name);
    QElapsedTimer timer;
    timer.start();
    window.findIconByCurrentName();
    waitForFind();
    std::printf("%.3f %d\n", timer.nsecsElapsed() / 1e6, window.findChild<QListView *>(QStringLiteral("listViewApplicantsIconPaths"))->model()->rowCount());
    return 0;
}

// The child side of the report figure: breeze's own names, then either the report's
// examination with its text output, or a bare loop asking the toolkit the same
// questions (name in use, has theme icon, sizes, a pixmap of each, the file of each).
int reportChild(const QString &which, const QStringList &roots)
{
    // Built first: its model puts the platform's theme set-up in force.
    ThemeReport scanner;
    QIcon::setThemeSearchPaths(roots);
    QIcon::setFallbackSearchPaths({});
    QIcon::setThemeName(QStringLiteral("breeze"));
    const QStringList names = scanner.scanIconNames(ThemeReport::Scope::Theme);
    // The second of two rounds counts, each on fresh icons: the first pays for loading
    // plugins and reading folders into the file system's cache, whichever side it is.
    double elapsed = 0;
    qint64 answers = 0;
    for (int round = 0; round < 2; ++round) {
        QElapsedTimer timer;
        timer.start();
        if (which == QLatin1String("report")) {
            QIcon::setThemeName(QStringLiteral("breeze"));
            QByteArray text;
            QBuffer buffer(&text);
            buffer.open(QIODevice::WriteOnly);
            ThemeReportWriter writer(&buffer, ThemeReportWriter::Format::Text, ThemeReport::Output());
            for (const QString &name : names) {
                writer.write(ThemeReport::examined(name));
            }
            answers = text.size();
        } else {
            answers = 0;
            QIcon::setThemeName(QStringLiteral("breeze"));
            for (const QString &name : names) {
                const QIcon icon = QIcon::fromTheme(name);
                answers += icon.name().size() + QIcon::hasThemeIcon(name);
                const QThemeIconInfo info = QIconLoader::instance()->loadIcon(name);
                for (const QSize &size : icon.availableSizes()) {
                    answers += icon.pixmap(size).isNull();
                    answers += QIconLoaderEngine::entryForSize(info, size) != nullptr;
                }
                qDeleteAll(info.entries);
            }
        }
        elapsed = timer.nsecsElapsed() / 1e6;
    }
    std::printf("%.3f %d %lld\n", elapsed, int(names.size()), answers);
    return 0;
}

double runStartup(const QString &which)
{
    QElapsedTimer timer;
    QProcess child;
    child.setStandardErrorFile(QProcess::nullDevice());
    timer.start();
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--startup"), which});
    while (!child.canReadLine() && child.waitForReadyRead(-1)) { }
    const double elapsed = timer.nsecsElapsed() / 1e6;
    child.waitForFinished(-1);
    return elapsed;
}

double peakResidentMegabytes()
{
    struct rusage usage;
    if (::getrusage(RUSAGE_SELF, &usage) != 0) {
        return 0;
    }
    return usage.ru_maxrss / 1024.0; // kilobytes on Linux
}

struct Options {
    int runs = 3;
    bool scanOnly = false;
    // --only lets one figure be worked on without waiting for all the others.
    QStringList only;
    QStringList roots;

    bool wanted(const char *part) const
    {
        return only.isEmpty() || only.contains(QLatin1String(part));
    }
    int repeats() const
    {
        return std::max(runs, 5);
    }
};

// Options in any order before the roots; a root never starts with two dashes.
bool parseOptions(QStringList arguments, Options &options)
{
    while (!arguments.isEmpty() && arguments.first().startsWith(QLatin1String("--"))) {
        const QString option = arguments.takeFirst();
        if (option == QLatin1String("--scan-only")) {
            options.scanOnly = true;
        } else if (option == QLatin1String("--only") && !arguments.isEmpty()) {
            options.only = arguments.takeFirst().split(QLatin1Char(','));
        } else if (option == QLatin1String("--runs") && !arguments.isEmpty()) {
            options.runs = std::max(1, arguments.takeFirst().toInt());
        } else {
            std::fprintf(stderr, "unknown option %s\n", qPrintable(option));
            return false;
        }
    }
    options.roots = arguments.isEmpty() ? QStringList{QStringLiteral("/usr/share/icons")} : arguments;
    return true;
}

// The figures taken through one window over the roots, each step one group of rows.
class Bench
{
public:
    explicit Bench(const Options &options)
        : m_options(options)
    {
        QIcon::setThemeSearchPaths(options.roots);
        QIcon::setFallbackSearchPaths({});
        // Another theme for corpora without breeze, such as one folder of 200,000 files.
        QIcon::setThemeName(qEnvironmentVariable("ZEL_BENCH_THEME", QStringLiteral("breeze")));
        m_window.show();
        m_icons = m_window.findChild<IconsModel *>();
        m_applicants = qobject_cast<QSortFilterProxyModel *>(m_window.findChild<QListView *>(QStringLiteral("listViewApplicantsIconPaths"))->model());
        m_status = m_window.findChild<QStatusBar *>(QStringLiteral("statusbar"));
        m_start = m_window.findChild<QPushButton *>(QStringLiteral("pushButtonScanIconNamesStart"));
        m_nameEdit = m_window.findChild<QLineEdit *>(QStringLiteral("lineEditIconName"));
        for (const char *column : {"found name", "name", "remarks"}) {
            sorts.append(Figure{QStringLiteral("remarks table sort by %1").arg(QLatin1String(column)),
                                {},
                                {},
                                QLatin1String(column) == QLatin1String("remarks") ? QStringLiteral("<= 2 s") : QString()});
        }
    }

    void timeQuietScans();
    void timeLoadedScans();
    void printScanSummary() const;
    void timeFinds();
    void timeBigFinds();
    void timeTable();
    void timeFreshFind();
    void timeStartup();
    void timeReport();
    void timeWorkbench();
    void printTable() const;

private:
    std::pair<double, double> timeScan(Figure &scanFigure);
    double timeFind(const QString &name);
    void waitForWarming();

    const Options &m_options;
    MainWindow m_window;
    IconsModel *m_icons = nullptr;
    QSortFilterProxyModel *m_applicants = nullptr;
    QStatusBar *m_status = nullptr;
    QPushButton *m_start = nullptr;
    QLineEdit *m_nameEdit = nullptr;
    int m_names = 0;
    int m_orgApplicants = 0;

    Figure scan{QStringLiteral("scan (Scan to end handled)"), {}, {}, QStringLiteral("<= 0.5 x find -L")};
    Figure scanFloor{QStringLiteral("scan against a bare walk of each folder once"), {}, {}, QStringLiteral("<= 1.5 x bare walk")};
    Figure stall{QStringLiteral("event-loop stall during scan"), {}, {}, QStringLiteral("median <= 30 ms, max <= 100 ms")};
    Figure loadedScan{QStringLiteral("scan, two busy processes beside it"), {}, {}, QStringLiteral("<= 0.6 x find -L under load")};
    Figure loadedStall{QStringLiteral("event-loop stall during scan, two busy processes"), {}, {}, QStringLiteral("median <= 30 ms, max <= 100 ms")};
    Figure loading{QStringLiteral("loading pass, per name"), {}, {}, QStringLiteral("<= 1.2 x bare loop"), QStringLiteral("us")};
    Figure loadingTotal{QStringLiteral("loading pass, total"), {}, {}, QString()};
    Figure warming{QStringLiteral("remarks worked out in idle time after loading"), {}, {}, QString()};
    Figure find{QStringLiteral("find edit-copy, warm"), {}, {}, QStringLiteral("<= 100 ms, >= 30 x faster")};
    Figure findOrgCold{QStringLiteral("find org, cold (first after start-up)"), {}, {}, QStringLiteral("<= 2 s")};
    Figure findOrgWarm{QStringLiteral("find org, warm"), {}, {}, QStringLiteral("<= 1 s")};
    Figure sortOrg{QStringLiteral("sort of the applicants of org alone"), {}, {}, QStringLiteral("<= 250 ms")};
    Figure fresh{QStringLiteral("find of a name just added, listed"), {}, {}, QStringLiteral("<= 100 ms")};
    Figure table{QStringLiteral("remarks table open"), {}, {}, QStringLiteral("<= 2 s")};
    QVector<Figure> sorts;
    Figure copyAll{QStringLiteral("Copy all remarks"), {}, {}, QStringLiteral("<= 2 s")};
    Figure reportFigure{QStringLiteral("report on breeze, its own names"), {}, {}, QStringLiteral("<= 1.3 x bare loop")};
    Figure sizesView{QStringLiteral("sizes view of a found name, warm"), {}, {}, QStringLiteral("<= 30 ms")};
    Figure themesView{QStringLiteral("every theme side by side"), {}, {}, QStringLiteral("<= 300 ms")};
    Figure themesGap{QStringLiteral("longest event-loop gap while the themes are asked"), {}, {}, QString()};
    Figure reload{QStringLiteral("live reload: an SVG rewritten to its new preview"), {}, {}, QStringLiteral("<= 1 s")};
    Figure startup{QStringLiteral("start-up to window shown"), {}, {}, QStringLiteral("<= 1.5 x bare window")};
    Figure memory{QStringLiteral("peak resident after scan, loading and remarks"), {}, {}, QStringLiteral("<= 400 MB"), QStringLiteral("MB")};
};

// One scan through the window's Scan button: the time to the loading message, the
// longest gap between ticks of a 10 ms timer until then, and the loading pass.
std::pair<double, double> Bench::timeScan(Figure &scanFigure)
{
    scanFigure.reference.append(runFindMinusL(m_options.roots));
    if (&scanFigure == &scan) {
        scanFloor.reference.append(runBareWalk(m_options.roots));
    }
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
    QObject::connect(m_status, &QStatusBar::messageChanged, &ticker, [&](const QString &message) {
        if (scanning && message.startsWith(QLatin1String("Loading icons by names"))) {
            scanning = false;
            scanFigure.runs.append(timer.nsecsElapsed() / 1e6);
            if (&scanFigure == &scan) {
                scanFloor.runs.append(scanFigure.runs.last());
            }
            loadTimer.start();
        }
    });
    ticks.start();
    ticker.start();
    timer.start();
    m_start->click();
    waitForMessage(m_status, [](const QString &message) {
        return message.startsWith(QLatin1String("Scan icon names done"));
    });
    return std::make_pair(double(longest), loadTimer.nsecsElapsed() / 1e6);
}

// Every scan starts from a model whose idle pass has finished, as a rescan does for a
// user who waited.
void Bench::waitForWarming()
{
    // The loaded names are examined in idle slices of the model's zero timer.
    const QTimer *examiner = m_icons->findChild<QTimer *>();
    while (examiner && examiner->isActive()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

void Bench::timeQuietScans()
{
    for (int run = 0; run < m_options.runs; ++run) {
        const auto [longest, loadMs] = timeScan(scan);
        stall.runs.append(longest);
        m_names = m_icons->rowCount();
        loadingTotal.runs.append(loadMs);
        loading.runs.append(loadMs * 1000 / std::max(1, m_names));

        // The bare reference: what any program pays to ask the theme for each name.
        QStringList allNames;
        allNames.reserve(m_names);
        for (int row = 0; row < m_names; ++row) {
            allNames.append(m_icons->iconName(m_icons->index(row, 0)));
        }
        QElapsedTimer bare;
        bare.start();
        qint64 sizes = 0;
        for (const QString &name : qAsConst(allNames)) {
            sizes += QIcon::fromTheme(name).availableSizes().size();
        }
        const double bareMs = bare.nsecsElapsed() / 1e6;
        loadingTotal.reference.append(bareMs);
        loading.reference.append(bareMs * 1000 / std::max(1, m_names));
        Q_UNUSED(sizes);
        QElapsedTimer warm;
        warm.start();
        waitForWarming();
        warming.runs.append(warm.nsecsElapsed() / 1e6);
        memory.runs.append(peakResidentMegabytes());
        std::fprintf(stderr,
                     "run %d: scan %.0f ms (find -L %.0f ms), stall %.0f ms, %d names, loading %.0f ms (bare loop %.0f ms), peak %.0f MB\n",
                     run + 1,
                     scan.runs.last(),
                     scan.reference.last(),
                     longest,
                     m_names,
                     loadMs,
                     bareMs,
                     memory.runs.last());
    }
}

// Two busy-looping processes on the machine's cores, find -L measured under the same load.
void Bench::timeLoadedScans()
{
    for (int run = 0; m_options.wanted("loaded") && run < m_options.runs; ++run) {
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
        waitForWarming();
        std::fprintf(stderr,
                     "loaded run %d: scan %.0f ms (find -L %.0f ms), stall %.0f ms\n",
                     run + 1,
                     loadedScan.runs.last(),
                     loadedScan.reference.last(),
                     result.first);
    }
}

void Bench::printScanSummary() const
{
    std::fprintf(stdout,
                 "scan %.0f ms, find -L %.0f ms, bare walk %.0f ms, stall %.0f ms\n",
                 median(scan.runs),
                 median(scan.reference),
                 median(scanFloor.reference),
                 median(stall.runs));
    if (!loadedScan.runs.isEmpty()) {
        std::fprintf(stdout,
                     "loaded: scan %.0f ms, find -L %.0f ms, stall %.0f ms\n",
                     median(loadedScan.runs),
                     median(loadedScan.reference),
                     median(loadedStall.runs));
    }
}

double Bench::timeFind(const QString &name)
{
    QElapsedTimer timer;
    m_nameEdit->setText(name);
    timer.start();
    m_window.findIconByCurrentName();
    waitForFind();
    return timer.nsecsElapsed() / 1e6;
}

void Bench::timeFinds()
{
    if (!m_options.wanted("find")) {
        return;
    }
    const QString findName = QStringLiteral("edit-copy");
    timeFind(findName);
    for (int run = 0; run < m_options.repeats(); ++run) {
        find.runs.append(timeFind(findName));
    }
    // The reference: the plain walk a find would make without the kept listings.
    const QSet<QString> baseNames = ApplicantsIndex::applicantBaseNames(findName);
    for (int run = 0; run < m_options.runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        QStringList paths;
        for (const QString &root : QIcon::themeSearchPaths() + QIcon::fallbackSearchPaths()) {
            ApplicantsIndex::collectByWalk(root, m_window.findChild<ScanIconNamesThread *>()->searchIconSuffixes(), baseNames, paths);
        }
        find.reference.append(timer.nsecsElapsed() / 1e6);
    }
}

// Tens of thousands of applicants: application icons named org.<vendor>.<app>.
void Bench::timeBigFinds()
{
    if (!m_options.wanted("org")) {
        return;
    }
    const QString bigName = QStringLiteral("org");
    for (int run = 0; run < m_options.repeats(); ++run) {
        QProcess child;
        child.setStandardErrorFile(QProcess::nullDevice());
        child.start(QCoreApplication::applicationFilePath(), QStringList{QStringLiteral("--find-child"), bigName} + m_options.roots);
        child.waitForFinished(-1);
        const QList<QByteArray> fields = child.readAllStandardOutput().trimmed().split(' ');
        findOrgCold.runs.append(fields.value(0).toDouble());
    }
    timeFind(bigName);
    for (int run = 0; run < m_options.repeats(); ++run) {
        findOrgWarm.runs.append(timeFind(bigName));
    }
    m_orgApplicants = m_applicants->rowCount();
    for (int run = 0; run < m_options.repeats(); ++run) {
        m_applicants->sort(-1);
        QElapsedTimer timer;
        timer.start();
        m_applicants->sort(0);
        sortOrg.runs.append(timer.nsecsElapsed() / 1e6);
    }
    findOrgCold.name += QStringLiteral(", %1 applicants").arg(m_orgApplicants);
    findOrgWarm.name += QStringLiteral(", %1 applicants").arg(m_orgApplicants);
}

void Bench::timeTable()
{
    for (int run = 0; m_options.wanted("table") && run < m_options.runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        auto *dialog = new IconsRemarksViewDialog(m_icons, &m_window);
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
}

// A theme author drops a new file into a full folder of breeze and looks it up at once:
// it must be listed. The folder is a copy, read by the toolkit as part of breeze and
// put before the roots; nothing is written under the roots themselves.
void Bench::timeFreshFind()
{
    const QString breeze = m_options.roots.first() + QStringLiteral("/breeze");
    QTemporaryDir own;
    const QString freshDir = own.path() + QStringLiteral("/breeze/actions/16");
    if (!m_options.wanted("fresh") || !QDir().mkpath(freshDir)
        || !QFile::copy(breeze + QStringLiteral("/index.theme"), own.path() + QStringLiteral("/breeze/index.theme"))) {
        return;
    }
    const QDir original(breeze + QStringLiteral("/actions/16"));
    for (const QString &file : original.entryList(QDir::Files)) {
        QFile::copy(original.filePath(file), freshDir + QLatin1Char('/') + file);
    }
    QIcon::setThemeSearchPaths(QStringList{own.path()} + m_options.roots);
    // The first find after new search paths meets a folder it has never read: not this figure.
    timeFind(QStringLiteral("edit-copy"));
    bool listed = true;
    for (int run = 0; listed && run < m_options.repeats(); ++run) {
        const QString name = QStringLiteral("zel-bench-fresh-%1").arg(run);
        const QString path = freshDir + QLatin1Char('/') + name + QStringLiteral(".svg");
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"16\" height=\"16\"><rect width=\"16\" height=\"16\"/></svg>");
        file.close();
        fresh.runs.append(timeFind(name));
        listed = !m_applicants->match(m_applicants->index(0, 0), Qt::DisplayRole, path, 1, Qt::MatchExactly).isEmpty();
        if (!listed) {
            std::fprintf(stderr, "fresh file %s was not listed\n", qPrintable(path));
            fresh.name += QStringLiteral(" (NOT LISTED)");
        }
    }
    QIcon::setThemeSearchPaths(m_options.roots);
}

void Bench::timeStartup()
{
    for (int run = 0; m_options.wanted("startup") && run < m_options.repeats(); ++run) {
        startup.runs.append(runStartup(QStringLiteral("app")));
        startup.reference.append(runStartup(QStringLiteral("bare")));
    }
}

// Each side in a process of its own, in turn, so neither finds the other's icons cached.
void Bench::timeReport()
{
    const auto runChild = [this](const QString &which) {
        QProcess child;
        child.setStandardErrorFile(QProcess::nullDevice());
        child.start(QCoreApplication::applicationFilePath(), QStringList{QStringLiteral("--report-child"), which} + m_options.roots);
        child.waitForFinished(-1);
        return child.readAllStandardOutput().trimmed().split(' ').value(0).toDouble();
    };
    for (int run = 0; m_options.wanted("report") && run < m_options.repeats(); ++run) {
        reportFigure.reference.append(runChild(QStringLiteral("bare")));
        reportFigure.runs.append(runChild(QStringLiteral("report")));
    }
}

// The views beside the find, on edit-copy in breeze: the sizes view drawn anew, every
// installed theme asked through report processes while the window keeps answering, and
// a file of the found name rewritten on disk until the preview shows it.
void Bench::timeWorkbench()
{
    if (!m_options.wanted("workbench")) {
        return;
    }
    for (auto *dock : m_window.findChildren<QDockWidget *>()) {
        dock->show();
    }
    auto *sizes = m_window.findChild<IconSizesView *>(QStringLiteral("iconSizesView"));
    auto *themes = m_window.findChild<QTableWidget *>(QStringLiteral("tableWidgetThemes"));
    timeFind(QStringLiteral("edit-copy"));
    for (int run = 0; run < m_options.runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        sizes->setIconName(QStringLiteral("edit-copy"));
        sizes->repaint();
        sizesView.runs.append(timer.nsecsElapsed() / 1e6);

        timer.restart();
        qobject_cast<ThemesView *>(themes)->setIconName(QStringLiteral("edit-copy"));
        double gap = 0;
        QElapsedTimer tick;
        tick.start();
        while (!themes->findItems(QStringLiteral("asking..."), Qt::MatchExactly).isEmpty() && timer.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
            gap = std::max(gap, tick.nsecsElapsed() / 1e6);
            tick.restart();
        }
        themesView.runs.append(timer.nsecsElapsed() / 1e6);
        themesGap.runs.append(gap);
    }
    themesView.name += QStringLiteral(", %1 themes").arg(themes->rowCount());
    for (auto *dock : m_window.findChildren<QDockWidget *>()) {
        dock->hide();
    }

    QTemporaryDir own;
    const QString folder = own.path() + QStringLiteral("/breeze/actions/16");
    const QString file = folder + QStringLiteral("/zel-bench-reload.svg");
    const auto writeSvg = [&file](const char *colour) {
        QFile svg(file);
        svg.open(QIODevice::WriteOnly);
        svg.write(QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"16\" height=\"16\"><rect width=\"16\" height=\"16\" fill=\"") + colour
                  + "\"/></svg>");
    };
    if (!QDir().mkpath(folder) || !QFile::copy(m_options.roots.first() + QStringLiteral("/breeze/index.theme"), own.path() + QStringLiteral("/breeze/index.theme"))) {
        return;
    }
    writeSvg("red");
    QIcon::setThemeSearchPaths(QStringList{own.path()} + m_options.roots);
    timeFind(QStringLiteral("zel-bench-reload"));
    auto *preview = m_window.findChild<QLabel *>(QStringLiteral("labelFindedIconPreview"));
    for (int run = 0; run < m_options.runs; ++run) {
        const QRgb before = preview->pixmap(Qt::ReturnByValue).toImage().pixel(8, 8);
        QElapsedTimer timer;
        timer.start();
        writeSvg(run % 2 == 0 ? "blue" : "red");
        while (preview->pixmap(Qt::ReturnByValue).toImage().pixel(8, 8) == before && timer.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        }
        reload.runs.append(timer.nsecsElapsed() / 1e6);
    }
    QIcon::setThemeSearchPaths(m_options.roots);
}

void Bench::printTable() const
{
    QTextStream out(stdout);
    out << "names scanned: " << m_names << ", runs: " << m_options.runs << ", roots: " << m_options.roots.join(QLatin1Char(' ')) << "\n\n";
    out << "| figure | median | min | max | reference median | ratio | target |\n|---|---|---|---|---|---|---|\n";
    QVector<Figure> all{scan, scanFloor, stall, loadedScan, loadedStall, loading, loadingTotal, warming, find, findOrgCold, findOrgWarm, sortOrg, fresh, table};
    all += sorts;
    all += QVector<Figure>{copyAll, reportFigure, sizesView, themesView, themesGap, reload, startup, memory};
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
        out << "| " << figure.name << " | " << number(m) << ' ' << figure.unit << " | " << number(*std::min_element(figure.runs.begin(), figure.runs.end()))
            << " | " << number(*std::max_element(figure.runs.begin(), figure.runs.end())) << " | "
            << (r > 0 ? number(r) + QLatin1Char(' ') + figure.unit : QStringLiteral("-")) << " | " << ratio << " | "
            << (figure.target.isEmpty() ? QStringLiteral("-") : figure.target) << " |\n";
    }
}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.size() == 2 && arguments.first() == QLatin1String("--startup")) {
        return startupChild(arguments.at(1));
    }
    if (arguments.size() >= 2 && arguments.first() == QLatin1String("--find-child")) {
        return findChild(arguments.at(1), arguments.mid(2));
    }
    if (arguments.size() >= 2 && arguments.first() == QLatin1String("--report-child")) {
        return reportChild(arguments.at(1), arguments.mid(2));
    }
    QStandardPaths::setTestModeEnabled(true);
    Options options;
    if (!parseOptions(arguments, options)) {
        return 2;
    }
    Bench bench(options);
    bench.timeQuietScans();
    bench.timeLoadedScans();
    if (options.scanOnly) {
        bench.printScanSummary();
        return 0;
    }
    bench.timeFinds();
    bench.timeBigFinds();
    bench.timeTable();
    bench.timeFreshFind();
    bench.timeReport();
    bench.timeWorkbench();
    bench.timeStartup();
    bench.printTable();
    return 0;
}

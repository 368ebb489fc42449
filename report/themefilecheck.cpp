#include "themefilecheck.h"

#include "catalogue/iconfileguard.h"
#include "report/themeindexcheck.h"

#include <KLocalizedString>

#include <QBuffer>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QFuture>
#include <QImageReader>
#include <QSettings>
#include <QXmlStreamReader>
#include <QtConcurrent>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <functional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// What index.theme says of a folder; listed false for a folder it does not list.
struct Folder {
    bool listed = false;
    QString name;
    QString type;
    int size = 0;
    int scale = 1;
    int minimum = 0; // pixels a side, scale included
    int maximum = 0;
};

struct Job {
    QByteArray path;
    QString subject;
    DirectoryListing::Entry entry;
    bool icon = false; // has an icon suffix
    Folder folder;
};

struct Checked {
    ThemeReport::Entry entry;
    QByteArray hash; // of a regular icon file read whole
    DirectoryListing::Key key;
};

// The toolkit's SVG messages of the file this thread checks, where one is checked.
thread_local QStringList *svgMessages = nullptr;
QtMessageHandler previousHandler = nullptr;

void captureSvgMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (svgMessages && context.category && QByteArray(context.category).startsWith("qt.svg")) {
        // The module names the file it reads from memory "<input>"; the remark names the file.
        QString said = message;
        said.replace(QStringLiteral("<input>:"), QStringLiteral("line "));
        if (!svgMessages->contains(said)) {
            svgMessages->append(said);
        }
    } else if (previousHandler) {
        previousHandler(type, context, message);
    }
}

// The folders index.theme lists, as the toolkit reads them; none for an index past the
// report's limits.
QHash<QString, Folder> listedFolders(const QString &themeFolder)
{
    QHash<QString, Folder> folders;
    const QStringList listed = ThemeIndexCheck::listedFolders(themeFolder);
    if (listed.isEmpty()) {
        return folders;
    }
    const QSettings index(themeFolder + QStringLiteral("/index.theme"), QSettings::IniFormat);
    for (const QString &name : listed) {
        Folder folder{true, name, index.value(name + QStringLiteral("/Type"), QStringLiteral("Threshold")).toString()};
        folder.size = index.value(name + QStringLiteral("/Size")).toInt();
        folder.scale = std::max(1, index.value(name + QStringLiteral("/Scale"), 1).toInt());
        const int threshold = index.value(name + QStringLiteral("/Threshold"), 2).toInt();
        const bool scalable = folder.type == QLatin1String("Scalable");
        folder.minimum = (scalable ? index.value(name + QStringLiteral("/MinSize"), folder.size).toInt() : folder.size - threshold) * folder.scale;
        folder.maximum = (scalable ? index.value(name + QStringLiteral("/MaxSize"), folder.size).toInt() : folder.size + threshold) * folder.scale;
        if (folder.type == QLatin1String("Fixed")) {
            folder.minimum = folder.maximum = folder.size * folder.scale;
        }
        folders.insert(name, folder);
    }
    return folders;
}

void checkName(const QString &name, ThemeReport::Entry &entry)
{
    bool spaceOrControl = false;
    QString others;
    for (const QChar c : name) {
        const ushort code = c.unicode();
        if (c.isSpace() || c.category() == QChar::Other_Control || c.category() == QChar::Other_Format) {
            spaceOrControl = true;
        } else if (!((code >= 'a' && code <= 'z') || (code >= '0' && code <= '9') || code == '-' || code == '_' || code == '.') && !others.contains(c)) {
            others += c;
        }
    }
    if (spaceOrControl) {
        entry.add(QStringLiteral("file-name-whitespace"),
                  i18nd("zel-find-qicon", "The file name holds whitespace or control characters, which break lookups and icon caches."));
    } else if (!others.isEmpty()) {
        entry.add(QStringLiteral("file-name-characters"),
                  i18nd("zel-find-qicon", "The file name holds %1, outside the a-z, 0-9, -, _ and dots of the Icon Naming Specification.", others));
    }
}

void checkLink(const Job &job, const QStringList &canonical, ThemeReport::Entry &entry)
{
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink(job.path.constData(), buffer, sizeof buffer);
    const QString target = length < 0 ? QString() : QFile::decodeName(QByteArray(buffer, int(length)));
    if (target.startsWith(QLatin1Char('/'))) {
        entry.add(QStringLiteral("link-absolute"),
                  i18nd("zel-find-qicon", "The link's target %1 is absolute: it breaks when the theme is installed elsewhere.", target));
    }
    struct stat info;
    if (job.entry.kind == DirectoryListing::Kind::Broken) {
        if (::stat(job.path.constData(), &info) != 0 && errno == ELOOP) {
            entry.add(QStringLiteral("link-loop"), i18nd("zel-find-qicon", "The link leads back to itself through links: it resolves nowhere."));
        } else {
            entry.add(QStringLiteral("link-target-missing"), i18nd("zel-find-qicon", "The link's target %1 does not exist.", target));
        }
    } else if (!ThemeFileCheck::isInside(job.path, canonical)) {
        entry.add(QStringLiteral("link-outside-theme"),
                  i18nd("zel-find-qicon",
                        "The link %1 leads out of the theme, to %2; it is not followed.",
                        job.subject,
                        QFileInfo(QFile::decodeName(job.path)).canonicalFilePath()));
    }
}

bool isTransparent(const QImage &image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        if (std::any_of(line, line + argb.width(), [](QRgb pixel) {
                return qAlpha(pixel) != 0;
            })) {
            return false;
        }
    }
    return true;
}

// Rendered as the toolkit's icon engine renders it, at its folder's pixel size.
void checkSvg(const QByteArray &bytes, const Folder &folder, ThemeReport::Entry &entry)
{
    QByteArray text = IconFileGuard::svgText(bytes);
    QXmlStreamReader xml(text);
    while (!xml.atEnd()) {
        xml.readNext();
    }
    if (xml.hasError()) {
        entry.add(QStringLiteral("svg-not-well-formed"),
                  i18nd("zel-find-qicon",
                        "The SVG file is not well-formed XML: %1 (line %2, column %3).",
                        xml.errorString(),
                        QString::number(xml.lineNumber()),
                        QString::number(xml.columnNumber())));
        return;
    }
    QStringList messages;
    svgMessages = &messages;
    QBuffer buffer(&text);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "svg");
    const QSize size = folder.listed && folder.size > 0 ? QSize(folder.size, folder.size) * folder.scale : reader.size();
    if (size.isValid() && size.width() <= IconFileGuard::maximumSide && size.height() <= IconFileGuard::maximumSide) {
        reader.setScaledSize(size);
    }
    const QImage image = reader.read();
    svgMessages = nullptr;
    if (!messages.isEmpty()) {
        entry.add(QStringLiteral("svg-toolkit-message"), i18nd("zel-find-qicon", "The toolkit's SVG module says: %1", messages.join(QStringLiteral("; "))));
    }
    if (image.isNull()) {
        entry.add(QStringLiteral("image-unreadable"), i18nd("zel-find-qicon", "The toolkit's image reader cannot decode the file: %1.", reader.errorString()));
    } else if (isTransparent(image)) {
        entry.add(QStringLiteral("svg-transparent"),
                  i18nd("zel-find-qicon",
                        "The SVG file renders fully transparent at %1x%2 pixels.",
                        QString::number(image.width()),
                        QString::number(image.height())));
    }
}

void checkRaster(QByteArray &bytes, const QString &suffix, const Folder &folder, ThemeReport::Entry &entry)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, suffix.toLatin1());
    const QImage image = reader.read();
    if (image.isNull()) {
        entry.add(QStringLiteral("image-unreadable"), i18nd("zel-find-qicon", "The toolkit's image reader cannot decode the file: %1.", reader.errorString()));
        return;
    }
    const QString width = QString::number(image.width());
    const QString height = QString::number(image.height());
    if (image.width() != image.height()) {
        entry.add(QStringLiteral("raster-not-square"), i18nd("zel-find-qicon", "The image is %1x%2 pixels, not square.", width, height));
    }
    if (!folder.listed) {
        return;
    }
    if (folder.type == QLatin1String("Scalable")) {
        entry.add(QStringLiteral("raster-in-scalable"),
                  i18nd("zel-find-qicon", "The raster image lies in the Scalable folder %1, where it is scaled blurry.", folder.name));
    }
    const int side = std::max(image.width(), image.height());
    if (folder.minimum == folder.maximum && (image.width() != folder.minimum || image.height() != folder.minimum)) {
        entry.add(QStringLiteral("raster-size-mismatch"),
                  i18nd("zel-find-qicon",
                        "The image is %1x%2 pixels, where its folder %3 asks for %4x%4.",
                        width,
                        height,
                        folder.name,
                        QString::number(folder.minimum)));
    } else if (side < folder.minimum || side > folder.maximum) {
        entry.add(QStringLiteral("raster-size-mismatch"),
                  i18nd("zel-find-qicon",
                        "The image is %1x%2 pixels, where its folder %3 asks for %4 to %5 pixels a side.",
                        width,
                        height,
                        folder.name,
                        QString::number(folder.minimum),
                        QString::number(folder.maximum)));
    }
}

// A regular file read whole, within the guard's byte limit and without waiting on a writer.
bool readRegular(const QByteArray &path, QByteArray &bytes, DirectoryListing::Key &key)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat info;
    bool read = fd >= 0 && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= IconFileGuard::maximumFileBytes;
    if (read) {
        key = {quint64(info.st_dev), quint64(info.st_ino)};
        bytes.resize(int(info.st_size));
        qint64 done = 0;
        for (ssize_t got = 1; got > 0 && done < bytes.size(); done += got) {
            got = ::read(fd, bytes.data() + done, size_t(bytes.size() - done));
            read = got >= 0;
        }
        bytes.resize(int(std::min<qint64>(done, bytes.size())));
    }
    if (fd >= 0) {
        ::close(fd);
    }
    return read;
}

// Whether the guard lets the bytes be decoded, with a remark where it does not.
bool passesGuard(const QByteArray &bytes, const QString &suffix, ThemeReport::Entry &entry)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    switch (IconFileGuard::verdictOf(buffer, suffix)) {
    case IconFileGuard::Verdict::ExternalReference:
        entry.add(QStringLiteral("svg-external-reference"),
                  i18nd("zel-find-qicon", "The SVG file refers to an external entity, file, style sheet or URL; it is neither read nor rendered."));
        return false;
    case IconFileGuard::Verdict::Refused:
        entry.add(QStringLiteral("file-refused"),
                  i18nd("zel-find-qicon",
                        "The file is not decoded: it claims more than %1 pixels a side, inflates past %2 bytes or nests images too deep.",
                        QString::number(IconFileGuard::maximumSide),
                        QString::number(IconFileGuard::maximumInflatedBytes)));
        return false;
    case IconFileGuard::Verdict::Decodable:
        break;
    }
    return true;
}

Checked check(const Job &job, const QStringList &canonical, const QSet<QString> &skipped)
{
    Checked checked;
    ThemeReport::Entry &entry = checked.entry;
    entry.name = job.subject;
    entry.kind = QStringLiteral("file");
    entry.path = QFile::decodeName(job.path);
    const QString name = QFile::decodeName(job.entry.name);
    if (job.icon) {
        checkName(name, entry);
    }
    if (job.entry.symlink) {
        checkLink(job, canonical, entry);
        return checked;
    }
    QByteArray bytes;
    if (!job.icon) {
        return checked;
    }
    if (!readRegular(job.path, bytes, checked.key)) {
        entry.add(QStringLiteral("file-refused"),
                  i18nd("zel-find-qicon",
                        "The file is not read: it is not a regular file, or it is larger than %1 bytes.",
                        QString::number(IconFileGuard::maximumFileBytes)));
        return checked;
    }
    const QString suffix = name.mid(name.lastIndexOf(QLatin1Char('.')) + 1).toLower();
    if (!passesGuard(bytes, suffix, entry)) {
        return checked;
    }
    if (!skipped.contains(QStringLiteral("duplicate-file"))) {
        checked.hash = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
    }
    if (suffix == QLatin1String("svg") || suffix == QLatin1String("svgz")) {
        checkSvg(bytes, job.folder, entry);
    } else {
        checkRaster(bytes, suffix, job.folder, entry);
    }
    return checked;
}
}

struct ThemeFileCheck::Private {
    QStringList canonical;
    QStringList suffixes;
    QSet<QString> skipped;
    QHash<QString, QHash<QString, Folder>> indexes; // by theme folder
    QHash<QString, bool> rootIsTheme; // by scanned folder: looked at once, not for each entry
    QVector<Job> jobs;
    QFuture<Checked> checks;
};

ThemeFileCheck::ThemeFileCheck(const QStringList &folders, const QStringList &iconSuffixes, const QSet<QString> &skipped)
    : d(new Private)
{
    for (const QString &folder : folders) {
        d->canonical.append(QFileInfo(folder).canonicalFilePath());
    }
    d->suffixes = iconSuffixes;
    d->skipped = skipped;
    static const QtMessageHandler installed = qInstallMessageHandler(captureSvgMessages);
    previousHandler = installed;
}

ThemeFileCheck::~ThemeFileCheck()
{
    d->checks.waitForFinished();
}

void ThemeFileCheck::add(const QString &root, const QByteArray &dirPath, const DirectoryListing::Entry &entry)
{
    const QString name = QFile::decodeName(entry.name);
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const bool icon = dot > 0 && entry.kind != DirectoryListing::Kind::Dir && d->suffixes.contains(name.mid(dot + 1));
    if (!icon && !entry.symlink) {
        return;
    }
    Job job{DirectoryListing::childPath(dirPath, entry.name), QString(), entry, icon, Folder()};
    const QString path = QFile::decodeName(job.path);
    job.subject = path.mid(root.size() + 1);
    // A scanned folder is a theme's, or holds themes (a search path).
    QString themeFolder = root;
    QString folder = QFile::decodeName(dirPath).mid(root.size() + 1);
    auto rootIsTheme = d->rootIsTheme.find(root);
    if (rootIsTheme == d->rootIsTheme.end()) {
        rootIsTheme = d->rootIsTheme.insert(root, QFileInfo::exists(root + QStringLiteral("/index.theme")));
    }
    if (!*rootIsTheme) {
        themeFolder = root + QLatin1Char('/') + folder.section(QLatin1Char('/'), 0, 0);
        folder = folder.section(QLatin1Char('/'), 1);
    }
    auto index = d->indexes.find(themeFolder);
    if (index == d->indexes.end()) {
        index = d->indexes.insert(themeFolder, listedFolders(themeFolder));
    }
    job.folder = index->value(folder);
    d->jobs.append(job);
}

void ThemeFileCheck::start()
{
    const Private *shared = d.get();
    d->checks = QtConcurrent::mapped(d->jobs, std::function<Checked(const Job &)>([shared](const Job &job) {
                                         return check(job, shared->canonical, shared->skipped);
                                     }));
}

QList<ThemeReport::Entry> ThemeFileCheck::finish()
{
    QList<Checked> checked = d->checks.results();
    std::sort(checked.begin(), checked.end(), [](const Checked &a, const Checked &b) {
        return a.entry.name < b.entry.name;
    });
    // The first copy in path order is the one the others repeat; hard links are one file.
    QHash<QByteArray, const Checked *> firsts;
    QList<ThemeReport::Entry> entries;
    for (Checked &one : checked) {
        if (!one.hash.isEmpty()) {
            const Checked *&first = firsts[one.hash];
            if (!first) {
                first = &one;
            } else if (!(first->key == one.key)) {
                one.entry.add(QStringLiteral("duplicate-file"),
                              i18nd("zel-find-qicon", "The file is byte for byte the same as %1; a link to it would do.", first->entry.name));
            }
        }
        if (!one.entry.remarks.isEmpty()) {
            entries.append(one.entry);
        }
    }
    return entries;
}

bool ThemeFileCheck::isInside(const QByteArray &path, const QStringList &canonicalFolders)
{
    const QString target = QFileInfo(QFile::decodeName(path)).canonicalFilePath();
    return std::any_of(canonicalFolders.cbegin(), canonicalFolders.cend(), [&target](const QString &folder) {
        return target == folder || target.startsWith(folder + QLatin1Char('/'));
    });
}

#include "applicantsindex.h"

#include <QDateTime>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QVector>

#include <algorithm>

#include <sys/stat.h>

namespace
{
struct Identity {
    bool exists = false;
    bool isDir = false;
    dev_t device = 0;
    ino_t inode = 0;
    qint64 modified = 0;
    qint64 changed = 0;

    bool operator==(const Identity &other) const
    {
        return exists == other.exists && isDir == other.isDir && device == other.device && inode == other.inode && modified == other.modified
            && changed == other.changed;
    }
    bool operator!=(const Identity &other) const
    {
        return !(*this == other);
    }
};

Identity identityOf(const QString &path)
{
    Identity identity;
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        return identity;
    }
    identity.exists = true;
    identity.isDir = S_ISDIR(info.st_mode);
    identity.device = info.st_dev;
    identity.inode = info.st_ino;
    identity.modified = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    identity.changed = qint64(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
    return identity;
}

// File systems stamp times by a coarse clock: a folder changed within the last
// moments may change again under the same stamp, so its listing is not trusted yet.
bool isSettled(const Identity &identity)
{
    constexpr qint64 margin = qint64(2) * 1000000000;
    const qint64 now = QDateTime::currentMSecsSinceEpoch() * 1000000;
    return identity.modified < now - margin && identity.changed < now - margin;
}

struct DirectoryKey {
    dev_t device;
    ino_t inode;
    bool operator==(const DirectoryKey &other) const
    {
        return device == other.device && inode == other.inode;
    }
};

uint qHash(const DirectoryKey &key, uint seed = 0)
{
    return ::qHash(quint64(key.inode), seed) ^ ::qHash(quint64(key.device), seed);
}

enum class Kind : quint8 { File, Dir, Other };

struct ContainerSeen {
    int container;
    quint32 version;
};

struct Entry {
    QString name;
    QString suffix;
    Kind kind = Kind::Other;
    bool symlink = false;
    QVector<ContainerSeen> containers; // for links: the folders whose change can retarget them
};

struct Directory {
    Identity identity;
    bool settled = false;
    quint64 readIn = 0;
    QVector<Entry> entries;
    QHash<QString, QVector<int>> byBaseName;
    QVector<int> plainDirectories;
    QVector<int> symlinks;
    // What the links gave when last looked at: every container they depend on, once, and
    // those links that lead to a folder. A visit that finds all these containers as they
    // were need not look at the links one by one.
    QVector<ContainerSeen> linkContainers;
    QVector<int> linkedDirectories;
    bool linksLookedAt = false;
};

struct Container {
    QString path;
    Identity identity;
    quint32 version = 0;
    quint64 checkedIn = 0;
    bool settled = false;
};

bool isApplicant(const QFileInfo &info, const QStringList &suffixes, const QSet<QString> &baseNames)
{
    return suffixes.contains(info.suffix()) && baseNames.contains(info.baseName());
}

void walk(const QString &dirPath, const QStringList &suffixes, const QSet<QString> &baseNames, QStringList &paths, QSet<QString> &ancestors)
{
    const QString canonical = QFileInfo(dirPath).canonicalFilePath();
    if (canonical.isEmpty() || ancestors.contains(canonical)) {
        return;
    }
    ancestors.insert(canonical);
    QDirIterator it(dirPath, QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot, QDirIterator::NoIteratorFlags);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        if (info.isDir()) {
            walk(path, suffixes, baseNames, paths, ancestors);
        } else if (isApplicant(info, suffixes, baseNames)) {
            paths.append(path);
        }
    }
    ancestors.remove(canonical);
}
}

class ApplicantsIndexPrivate
{
public:
    QHash<DirectoryKey, Directory> directories;
    QVector<Container> containers;
    QHash<QString, int> containerByPath;
    quint64 generation = 0;
    int reads = 0;
    bool reuseListings = true;

    int containerIndex(const QString &path)
    {
        const auto it = containerByPath.constFind(path);
        if (it != containerByPath.constEnd()) {
            return *it;
        }
        Container container;
        container.path = path;
        container.identity = identityOf(path);
        container.settled = isSettled(container.identity);
        container.checkedIn = generation;
        containers.append(container);
        containerByPath.insert(path, containers.size() - 1);
        return containers.size() - 1;
    }

    // The current version of a container, looked at once per collect.
    quint32 containerVersion(int index)
    {
        Container &container = containers[index];
        if (container.checkedIn != generation) {
            container.checkedIn = generation;
            const Identity now = identityOf(container.path);
            if (now != container.identity || !container.settled) {
                container.identity = now;
                container.settled = isSettled(now);
                ++container.version;
            }
        }
        return container.version;
    }

    void resolve(Entry &entry, const QString &path)
    {
        const QFileInfo info(path);
        entry.kind = info.isDir() ? Kind::Dir : (info.isFile() ? Kind::File : Kind::Other);
        entry.containers.clear();
        // Every hop of the link chain lives in a folder that can retarget it.
        QString hop = path;
        for (int depth = 0; depth < 16; ++depth) {
            const QFileInfo hopInfo(hop);
            if (!hopInfo.isSymLink()) {
                break;
            }
            const QString target = hopInfo.symLinkTarget();
            if (target.isEmpty()) {
                break;
            }
            const int index = containerIndex(QFileInfo(target).path());
            entry.containers.append({index, containerVersion(index)});
            hop = target;
        }
    }

    void read(Directory &directory, const QString &dirPath, const Identity &identity)
    {
        ++reads;
        directory = Directory();
        directory.identity = identity;
        directory.settled = isSettled(identity);
        directory.readIn = generation;
        // System entries are kept too: a broken link may come to life without its folder changing.
        QDirIterator it(dirPath, QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot | QDir::System, QDirIterator::NoIteratorFlags);
        while (it.hasNext()) {
            it.next();
            const QFileInfo info = it.fileInfo();
            Entry entry;
            entry.name = info.fileName();
            entry.suffix = info.suffix();
            entry.symlink = info.isSymLink();
            const int position = directory.entries.size();
            if (entry.symlink) {
                resolve(entry, info.filePath());
                directory.symlinks.append(position);
            } else {
                entry.kind = info.isDir() ? Kind::Dir : (info.isFile() ? Kind::File : Kind::Other);
                if (entry.kind == Kind::Dir) {
                    directory.plainDirectories.append(position);
                }
            }
            directory.byBaseName[info.baseName()].append(position);
            directory.entries.append(entry);
        }
    }

    bool linksAsLookedAt(const Directory &directory)
    {
        if (!directory.linksLookedAt) {
            return false;
        }
        for (const ContainerSeen &seen : directory.linkContainers) {
            if (containerVersion(seen.container) != seen.version) {
                return false;
            }
        }
        return true;
    }

    void lookAtLinks(Directory &directory, const QString &prefix)
    {
        directory.linkContainers.clear();
        directory.linkedDirectories.clear();
        for (int position : qAsConst(directory.symlinks)) {
            Entry &entry = directory.entries[position];
            for (const ContainerSeen &seen : qAsConst(entry.containers)) {
                if (containerVersion(seen.container) != seen.version) {
                    resolve(entry, prefix + entry.name);
                    break;
                }
            }
            if (entry.kind == Kind::Dir) {
                directory.linkedDirectories.append(position);
            }
            directory.linkContainers += entry.containers;
        }
        std::sort(directory.linkContainers.begin(), directory.linkContainers.end(), [](const ContainerSeen &a, const ContainerSeen &b) {
            return a.container < b.container;
        });
        directory.linkContainers.erase(std::unique(directory.linkContainers.begin(),
                                                   directory.linkContainers.end(),
                                                   [](const ContainerSeen &a, const ContainerSeen &b) {
                                                       return a.container == b.container;
                                                   }),
                                       directory.linkContainers.end());
        directory.linksLookedAt = true;
    }

    void collect(const QString &dirPath, const QStringList &suffixes, const QSet<QString> &baseNames, QStringList &paths, QSet<DirectoryKey> &ancestors)
    {
        const Identity identity = identityOf(dirPath);
        if (!identity.exists || !identity.isDir) {
            return;
        }
        const DirectoryKey key{identity.device, identity.inode};
        if (ancestors.contains(key)) {
            return;
        }
        Directory &directory = directories[key];
        // One collect answers for one moment, so a folder met again through a link in the
        // same collect is not read twice, even while its listing is not trusted yet.
        const bool fresh = directory.settled || directory.readIn == generation;
        if (!fresh || directory.identity != identity) {
            read(directory, dirPath, identity);
        }

        // The iterator does not double a slash the folder path already ends with.
        const QString prefix = dirPath.endsWith(QLatin1Char('/')) ? dirPath : dirPath + QLatin1Char('/');
        if (!linksAsLookedAt(directory)) {
            lookAtLinks(directory, prefix);
        }
        QVector<int> visit = directory.plainDirectories;
        visit += directory.linkedDirectories;
        for (const QString &baseName : baseNames) {
            const auto it = directory.byBaseName.constFind(baseName);
            if (it == directory.byBaseName.constEnd()) {
                continue;
            }
            for (int position : *it) {
                const Entry &entry = directory.entries.at(position);
                if (entry.kind == Kind::File && suffixes.contains(entry.suffix)) {
                    visit.append(position);
                }
            }
        }
        if (visit.isEmpty()) {
            return;
        }
        std::sort(visit.begin(), visit.end());
        visit.erase(std::unique(visit.begin(), visit.end()), visit.end());

        // Recursion may rehash the table, so nothing below holds a reference into it.
        QVector<QPair<Kind, QString>> steps;
        steps.reserve(visit.size());
        for (int position : qAsConst(visit)) {
            const Entry &entry = directory.entries.at(position);
            steps.append({entry.kind, prefix + entry.name});
        }
        ancestors.insert(key);
        for (const auto &step : qAsConst(steps)) {
            if (step.first == Kind::Dir) {
                collect(step.second, suffixes, baseNames, paths, ancestors);
            } else {
                paths.append(step.second);
            }
        }
        ancestors.remove(key);
    }
};

ApplicantsIndex::ApplicantsIndex()
    : d(new ApplicantsIndexPrivate)
{
}

ApplicantsIndex::~ApplicantsIndex() = default;

void ApplicantsIndex::collect(const QString &dirPath, const QStringList &suffixes, const QSet<QString> &baseNames, QStringList &paths)
{
    if (!d->reuseListings) {
        collectByWalk(dirPath, suffixes, baseNames, paths);
        return;
    }
    ++d->generation;
    QSet<DirectoryKey> ancestors;
    d->collect(dirPath, suffixes, baseNames, paths, ancestors);
}

void ApplicantsIndex::collectByWalk(const QString &dirPath, const QStringList &suffixes, const QSet<QString> &baseNames, QStringList &paths)
{
    QSet<QString> ancestors;
    walk(dirPath, suffixes, baseNames, paths, ancestors);
}

void ApplicantsIndex::setReuseListings(bool reuse)
{
    d->reuseListings = reuse;
}

bool ApplicantsIndex::reuseListings() const
{
    return d->reuseListings;
}

QSet<QString> ApplicantsIndex::applicantBaseNames(const QString &iconName)
{
    QSet<QString> names;
    const QStringList parts = iconName.split(QLatin1Char('-'));
    QString candidate;
    for (int k = 0; k < parts.size(); ++k) {
        if (k > 0) {
            candidate += QLatin1Char('-');
        }
        candidate += parts.at(k);
        names.insert(candidate);
    }
    return names;
}

int ApplicantsIndex::cachedDirectoryCount() const
{
    return d->directories.size();
}

int ApplicantsIndex::directoryReads() const
{
    return d->reads;
}

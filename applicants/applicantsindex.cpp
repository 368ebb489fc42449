#include "applicantsindex.h"

#include "catalogue/directorylisting.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QVector>

#include <algorithm>

namespace
{
using Identity = DirectoryListing::Identity;
using DirectoryKey = DirectoryListing::Key;
using Kind = DirectoryListing::Kind;

Identity identityOf(const QString &path)
{
    return DirectoryListing::identityOf(QFile::encodeName(path));
}

// File systems stamp times by a coarse clock: a folder changed within the last
// moments may change again under the same stamp, so its listing is not trusted yet.
bool isSettled(const Identity &identity)
{
    constexpr qint64 margin = qint64(2) * 1000000000;
    const qint64 now = QDateTime::currentMSecsSinceEpoch() * 1000000;
    return identity.modified < now - margin && identity.changed < now - margin;
}

struct ContainerSeen {
    int container;
    quint32 version;
};

struct Entry {
    QString name;
    QString suffix;
    Kind kind = Kind::Broken;
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

// The suffix after the last dot, the base name before the first, as QFileInfo cuts them.
QString suffixOf(const QString &name)
{
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1);
}

QString baseNameOf(const QString &name)
{
    return name.left(name.indexOf(QLatin1Char('.')));
}

}

class ApplicantsIndexPrivate
{
public:
    QHash<DirectoryKey, Directory> directories;
    QVector<Container> containers;
    QHash<QString, int> containerByPath;
    quint64 generation = 0;

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

    // kindKnown: the entry comes from a listing that has just looked at what the link leads to.
    void resolve(Entry &entry, const QString &path, bool kindKnown = false)
    {
        if (!kindKnown) {
            const QFileInfo info(path);
            entry.kind = info.isDir() ? Kind::Dir : info.isFile() ? Kind::File : info.exists() ? Kind::Special : Kind::Broken;
        }
        entry.containers.clear();
        // Every hop of the link chain lives in a folder that can retarget it.
        QString hop = path;
        for (int depth = 0; depth < 16; ++depth) {
            const QFileInfo hopInfo(hop);
            // The entry itself is a link: the listing said so.
            if (depth > 0 && !hopInfo.isSymLink()) {
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
        directory = Directory();
        directory.identity = identity;
        directory.settled = isSettled(identity);
        directory.readIn = generation;
        // Broken links are kept too: one may come to life without its folder changing.
        QVector<DirectoryListing::Entry> listed;
        DirectoryListing::read(QFile::encodeName(dirPath), listed, interrupted);
        const QString prefix = dirPath.endsWith(QLatin1Char('/')) ? dirPath : dirPath + QLatin1Char('/');
        for (const DirectoryListing::Entry &found : qAsConst(listed)) {
            // A listing cut short is never taken for the folder's: the next collect reads it anew.
            if (isInterrupted()) {
                directory.identity = Identity();
                return;
            }
            Entry entry;
            entry.name = QFile::decodeName(found.name);
            entry.suffix = suffixOf(entry.name);
            entry.symlink = found.symlink;
            entry.kind = found.kind;
            const int position = directory.entries.size();
            if (entry.symlink) {
                resolve(entry, prefix + entry.name, true);
                directory.symlinks.append(position);
            } else if (entry.kind == Kind::Dir) {
                directory.plainDirectories.append(position);
            }
            directory.byBaseName[baseNameOf(entry.name)].append(position);
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

    // The folder's subdirectories and its files of the names, in the folder's order.
    static QVector<int> entriesToVisit(const Directory &directory, const QStringList &suffixes, const QSet<QString> &baseNames)
    {
        QVector<int> visit = directory.plainDirectories + directory.linkedDirectories;
        for (const QString &baseName : baseNames) {
            for (int position : directory.byBaseName.value(baseName)) {
                const Entry &entry = directory.entries.at(position);
                if (entry.kind == Kind::File && suffixes.contains(entry.suffix)) {
                    visit.append(position);
                }
            }
        }
        std::sort(visit.begin(), visit.end());
        visit.erase(std::unique(visit.begin(), visit.end()), visit.end());
        return visit;
    }

    // What one collect found under a folder: a run of its paths, and where their part
    // below the folder starts. A folder met again through another link gives the same
    // files under the new path, so a tree of links is read and walked once.
    struct Answer {
        int first;
        int last;
        int prefixLength;
    };
    QHash<DirectoryKey, Answer> answers;
    quint64 cycleCuts = 0;
    std::function<bool()> interrupted;
    bool isInterrupted() const
    {
        return interrupted && interrupted();
    }

    void
    collect(const QString &dirPath, const QStringList &suffixes, const QSet<QString> &baseNames, QStringList &paths, DirectoryListing::Ancestors &ancestors)
    {
        if (isInterrupted()) {
            return;
        }
        const Identity identity = identityOf(dirPath);
        if (!identity.exists || !identity.isDir) {
            return;
        }
        const DirectoryKey key = identity.key;
        // The iterator does not double a slash the folder path already ends with.
        const QString prefix = dirPath.endsWith(QLatin1Char('/')) ? dirPath : dirPath + QLatin1Char('/');
        const auto known = answers.constFind(key);
        if (known != answers.constEnd()) {
            const Answer answer = *known;
            for (int i = answer.first; i < answer.last && !isInterrupted(); ++i) {
                paths.append(prefix + paths.at(i).midRef(answer.prefixLength));
            }
            return;
        }
        if (!ancestors.enter(key)) {
            ++cycleCuts;
            return;
        }
        const int first = paths.size();
        const quint64 cutsBefore = cycleCuts;
        collectFolder(dirPath, prefix, identity, suffixes, baseNames, paths, ancestors);
        ancestors.leave(key);
        // An answer cut short by a cycle holds for the path it was reached by only.
        if (cycleCuts == cutsBefore) {
            answers.insert(key, {first, int(paths.size()), int(prefix.size())});
        }
    }

    void collectFolder(const QString &dirPath,
                       const QString &prefix,
                       const Identity &identity,
                       const QStringList &suffixes,
                       const QSet<QString> &baseNames,
                       QStringList &paths,
                       DirectoryListing::Ancestors &ancestors)
    {
        Directory &directory = directories[identity.key];
        // One collect answers for one moment, so a folder met again through a link in the
        // same collect is not read twice, even while its listing is not trusted yet.
        const bool fresh = directory.settled || directory.readIn == generation;
        if (!fresh || directory.identity != identity) {
            read(directory, dirPath, identity);
        }

        if (!linksAsLookedAt(directory)) {
            lookAtLinks(directory, prefix);
        }
        const QVector<int> visit = entriesToVisit(directory, suffixes, baseNames);
        // Recursion may rehash the table, so nothing below holds a reference into it.
        QVector<QPair<Kind, QString>> steps;
        steps.reserve(visit.size());
        for (int position : qAsConst(visit)) {
            const Entry &entry = directory.entries.at(position);
            steps.append({entry.kind, prefix + entry.name});
        }
        for (const auto &step : qAsConst(steps)) {
            if (step.first == Kind::Dir) {
                collect(step.second, suffixes, baseNames, paths, ancestors);
            } else {
                paths.append(step.second);
            }
        }
    }
};

ApplicantsIndex::ApplicantsIndex()
    : d(new ApplicantsIndexPrivate)
{
}

ApplicantsIndex::~ApplicantsIndex() = default;

void ApplicantsIndex::collect(const QString &dirPath,
                             const QStringList &suffixes,
                             const QSet<QString> &baseNames,
                             QStringList &paths,
                             const std::function<bool()> &interrupted)
{
    ++d->generation;
    d->answers.clear();
    d->interrupted = interrupted;
    DirectoryListing::Ancestors ancestors;
    d->collect(dirPath, suffixes, baseNames, paths, ancestors);
}

void ApplicantsIndex::collectByWalk(const QString &dirPath, const QStringList &suffixes, const QSet<QString> &baseNames, QStringList &paths)
{
    DirectoryListing::Visitor visitor;
    visitor.entry = [&](const QByteArray &folder, const DirectoryListing::Entry &entry) {
        const QString name = QFile::decodeName(entry.name);
        if (entry.kind == Kind::File && suffixes.contains(suffixOf(name)) && baseNames.contains(baseNameOf(name))) {
            paths.append(QFile::decodeName(DirectoryListing::childPath(folder, entry.name)));
        }
    };
    DirectoryListing::walk(QFile::encodeName(dirPath), DirectoryListing::Mode::EveryPath, visitor);
}

QSet<QString> ApplicantsIndex::applicantBaseNames(const QString &iconName)
{
    QSet<QString> names;
    // No file name is longer; the forms of a longer name would grow with its square.
    if (QFile::encodeName(iconName).size() > 255) {
        return names;
    }
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

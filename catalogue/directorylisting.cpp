#include "directorylisting.h"

#include <QFile>
#include <QHashFunctions>

#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace
{
bool isAscii(const char *text, int length)
{
    for (int i = 0; i < length; ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0x80) {
            return false;
        }
    }
    return true;
}

// The toolkit reaches files by their decoded names: one whose bytes do not survive
// decoding is out of its sight, so no walk may offer it.
bool isReachable(const char *name, int length)
{
    if (isAscii(name, length)) {
        return true;
    }
    const QByteArray bytes = QByteArray::fromRawData(name, length);
    return QFile::encodeName(QFile::decodeName(bytes)) == bytes;
}
}

namespace
{
struct Walk {
    const DirectoryListing::Visitor &visitor;
    DirectoryListing::Mode mode;
    DirectoryListing::Ancestors ancestors;
    QSet<DirectoryListing::Key> listed;

    bool interrupted() const
    {
        return visitor.interrupted && visitor.interrupted();
    }

    void folder(const QByteArray &dirPath)
    {
        const DirectoryListing::Identity identity = DirectoryListing::identityOf(dirPath);
        const DirectoryListing::Key &key = identity.key;
        if (!identity.isDir || (mode == DirectoryListing::Mode::EachDirectoryOnce ? listed.contains(key) : !ancestors.enter(key))) {
            return;
        }
        listed.insert(key);
        QVector<DirectoryListing::Entry> entries;
        if (!DirectoryListing::read(dirPath, entries, visitor.interrupted) && !interrupted() && visitor.unreadable) {
            visitor.unreadable(dirPath);
        }
        for (const DirectoryListing::Entry &entry : qAsConst(entries)) {
            if (interrupted()) {
                break;
            }
            const QByteArray path = DirectoryListing::childPath(dirPath, entry.name);
            if (entry.kind == DirectoryListing::Kind::Dir && (!entry.symlink || !visitor.entersLink || visitor.entersLink(path))) {
                folder(path);
            } else if (visitor.entry) {
                visitor.entry(dirPath, entry);
            }
        }
        if (mode == DirectoryListing::Mode::EveryPath) {
            ancestors.leave(key);
        }
    }
};
}

void DirectoryListing::walk(const QByteArray &root, Mode mode, const Visitor &visitor)
{
    Walk{visitor, mode, {}, {}}.folder(root);
}

bool DirectoryListing::Identity::operator==(const Identity &other) const
{
    return exists == other.exists && isDir == other.isDir && key == other.key && modified == other.modified && changed == other.changed;
}

bool DirectoryListing::Ancestors::enter(const Key &key)
{
    const int before = m_keys.size();
    m_keys.insert(key);
    return m_keys.size() != before;
}

void DirectoryListing::Ancestors::leave(const Key &key)
{
    m_keys.remove(key);
}

DirectoryListing::Identity DirectoryListing::identityOf(const QByteArray &path)
{
    Identity identity;
    struct stat info;
    if (::stat(path.constData(), &info) != 0) {
        return identity;
    }
    identity.exists = true;
    identity.isDir = S_ISDIR(info.st_mode);
    identity.key = {quint64(info.st_dev), quint64(info.st_ino)};
    identity.modified = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    identity.changed = qint64(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
    return identity;
}

// The entry types readdir gives spare a stat of every plain file; only links, and
// file systems that give no types, cost one.
bool DirectoryListing::read(const QByteArray &dirPath, QVector<Entry> &entries, const std::function<bool()> &interrupted)
{
    DIR *dir = ::opendir(dirPath.constData());
    if (!dir) {
        return false;
    }
    const int fd = ::dirfd(dir);
    bool complete = true;
    while (const dirent *found = ::readdir(dir)) {
        if (interrupted && interrupted()) {
            complete = false;
            break;
        }
        const char *name = found->d_name;
        const int length = int(std::strlen(name));
        if (name[0] == '.' || !isReachable(name, length)) {
            continue;
        }
        Entry entry;
        entry.name = QByteArray(name, length);
        unsigned char type = found->d_type;
        if (type == DT_UNKNOWN) {
            struct stat info;
            if (::fstatat(fd, name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
                continue;
            }
            type = S_ISLNK(info.st_mode) ? DT_LNK : S_ISDIR(info.st_mode) ? DT_DIR : S_ISREG(info.st_mode) ? DT_REG : DT_UNKNOWN;
        }
        if (type == DT_LNK) {
            entry.symlink = true;
            struct stat target;
            if (::fstatat(fd, name, &target, 0) == 0) {
                entry.kind = S_ISDIR(target.st_mode) ? Kind::Dir : S_ISREG(target.st_mode) ? Kind::File : Kind::Special;
            }
        } else {
            entry.kind = type == DT_DIR ? Kind::Dir : type == DT_REG ? Kind::File : Kind::Special;
        }
        entries.append(entry);
    }
    ::closedir(dir);
    return complete;
}

QByteArray DirectoryListing::childPath(const QByteArray &dirPath, const QByteArray &name)
{
    QByteArray path;
    path.reserve(dirPath.size() + 1 + name.size());
    path.append(dirPath);
    if (!path.endsWith('/')) {
        path.append('/');
    }
    path.append(name);
    return path;
}

uint qHash(const DirectoryListing::Key &key, uint seed)
{
    return qHash(key.inode, seed) ^ qHash(key.device, seed);
}

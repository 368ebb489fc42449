#ifndef DIRECTORYLISTING_H
#define DIRECTORYLISTING_H

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QVector>

#include <functional>

// One directory's entries as every walk of the program sees them: readdir order, no
// hidden names, no names the toolkit cannot reach, links followed for their kind.
class DirectoryListing
{
public:
    // Of the target, for a link. Special: a socket, pipe or device.
    enum class Kind : quint8 { File, Dir, Special, Broken };

    struct Entry {
        QByteArray name; // the bytes on disk
        Kind kind = Kind::Broken;
        bool symlink = false;
        // What QDirIterator leaves out unless asked for system entries: a link to a pipe it keeps.
        bool isSystem() const
        {
            return kind == Kind::Broken || (kind == Kind::Special && !symlink);
        }
    };

    struct Key {
        quint64 device = 0;
        quint64 inode = 0;
        bool operator==(const Key &other) const
        {
            return device == other.device && inode == other.inode;
        }
    };

    // What stat() tells of a path, links followed.
    struct Identity {
        bool exists = false;
        bool isDir = false;
        Key key;
        qint64 modified = 0; // nanoseconds
        qint64 changed = 0;
        bool operator==(const Identity &other) const;
        bool operator!=(const Identity &other) const
        {
            return !(*this == other);
        }
    };

    // The directories on the way down from a walk's root: entering one of them again is a cycle.
    class Ancestors
    {
    public:
        bool enter(const Key &key);
        void leave(const Key &key);

    private:
        QSet<Key> m_keys;
    };

    // What a walk tells and asks. EachDirectoryOnce lists every directory on disk once,
    // whatever paths lead to it; EveryPath goes down every path, cutting only a link back
    // to a directory on the way down.
    enum class Mode { EachDirectoryOnce, EveryPath };
    struct Visitor {
        // Each entry the walk does not go into, with the path of its folder.
        std::function<void(const QByteArray &dirPath, const Entry &entry)> entry;
        // A directory that cannot be listed.
        std::function<void(const QByteArray &dirPath)> unreadable;
        // Whether to go into the directory a link leads to; into every one without it.
        std::function<bool(const QByteArray &linkPath)> entersLink;
        std::function<bool()> interrupted;
    };
    static void walk(const QByteArray &root, Mode mode, const Visitor &visitor);

    static Identity identityOf(const QByteArray &path);
    // False when the directory cannot be opened, or when interrupted() turned true
    // between two entries: a folder of a million links takes seconds to read.
    static bool read(const QByteArray &dirPath, QVector<Entry> &entries, const std::function<bool()> &interrupted = {});
    static QByteArray childPath(const QByteArray &dirPath, const QByteArray &name);
};

uint qHash(const DirectoryListing::Key &key, uint seed = 0);

#endif

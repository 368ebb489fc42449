#ifndef SCANICONNAMESTHREAD_H
#define SCANICONNAMESTHREAD_H

#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <QPair>
#include <QSet>
#include <QStringList>
#include <QThread>
#include <QVector>

#include <atomic>

// Walks icon theme directories and reports each icon file's name; touches only the file system.
class ScanIconNamesThread : public QThread
{
    Q_OBJECT
public:
    explicit ScanIconNamesThread(QObject *parent = nullptr);
    ~ScanIconNamesThread() override;

    void setDirPaths(const QStringList &dirPaths);
    QStringList dirPaths() const;

    void setSearchIconSuffixes(const QStringList &searchIconSuffixes);
    QStringList searchIconSuffixes() const;

    void stop();
    bool isNeedStop() const;

    void scanIconNamesByDirPath(const QString &dirPath);

Q_SIGNALS:
    void iconNameFinded(const QString &iconName);

protected:
    void run() override;

private:
    using DirectoryKey = QPair<quint64, quint64>; // device, inode
    // What a directory gave to the walk: its subdirectories by name, in readdir order,
    // between the names of its icon files.
    struct ListedEntry {
        QByteArray dirName;
        QString iconName;
    };
    using Listings = QHash<DirectoryKey, QVector<ListedEntry>>;
    static QList<QByteArray> encodedSuffixes(const QStringList &suffixes);
    void walk(const QByteArray &dirPath, const QList<QByteArray> &suffixes, QSet<DirectoryKey> &ancestors, Listings &listings);
    void replay(const QByteArray &dirPath, const QVector<ListedEntry> &listing, const QList<QByteArray> &suffixes, QSet<DirectoryKey> &ancestors,
                Listings &listings);

    std::atomic<bool> m_stopFlag{false};
    // The settings dialog may replace the suffixes while a walk runs on the other thread.
    mutable QMutex m_mutex;
    QStringList m_dirPaths;
    QStringList m_searchIconSuffixes;
};

#endif

#ifndef SCANICONNAMESTHREAD_H
#define SCANICONNAMESTHREAD_H

#include <QByteArray>
#include <QElapsedTimer>
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
    // What one walk knows besides the directory it is in; lives for a run or for one
    // scanIconNamesByDirPath called on its own.
    struct Walk {
        explicit Walk(const QList<QByteArray> &encodedSuffixes)
            : suffixes(encodedSuffixes)
        {
            clock.start();
        }
        QList<QByteArray> suffixes;
        QSet<DirectoryKey> ancestors;
        // Roots may repeat or nest, and on the largest themes the links between size
        // folders make the walk meet ten entries for each one on disk.
        QHash<DirectoryKey, QVector<ListedEntry>> listings;
        QSet<QString> reportedNames;
        QElapsedTimer clock;
        // Only a walk on its own thread queues its names; one called directly hands each
        // name over before it goes on, and must never sleep.
        bool paced = false;
        // Without a view of the GUI thread: when it can be expected to have taken every
        // name queued so far.
        qint64 paceNs = 0;
        // With one: what the names queued since the last batch went out will cost it,
        // and whether it has been seen asleep since then.
        int guiStatFd = -1;
        qint64 owedNs = 0;
        bool guiSlept = false;
    };
    static QList<QByteArray> encodedSuffixes(const QStringList &suffixes);
    void walk(const QByteArray &dirPath, Walk &state);
    void replay(const QByteArray &dirPath, const QVector<ListedEntry> &listing, Walk &state);
    // What a name costs the GUI thread, queued call included, with ten thousand rows
    // listed on two cores shared with the walk; the repeat's figure is well above what it
    // costs alone, for the contention that comes with it.
    static constexpr qint64 newNameNs = 25000;
    static constexpr qint64 repeatNameNs = 1500;
    void pace(Walk &state, qint64 costNs);
    static bool guiSleeps(const Walk &state);
    void waitForGuiSleep(const Walk &state);

    std::atomic<bool> m_stopFlag{false};
    // The thread this object was made on, where its queued names are taken.
    qint64 m_guiThreadId = 0;
    // The settings dialog may replace the suffixes while a walk runs on the other thread.
    mutable QMutex m_mutex;
    QStringList m_dirPaths;
    QStringList m_searchIconSuffixes;
};

#endif

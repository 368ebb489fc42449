#ifndef SCANICONNAMESTHREAD_H
#define SCANICONNAMESTHREAD_H

#include "catalogue/directorylisting.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QMutex>
#include <QSet>
#include <QStringList>
#include <QThread>
#include <QVector>
#include <QWaitCondition>

#include <atomic>
#include <functional>

// Walks icon theme directories and reports the icon names it finds; touches only the file system.
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

    // On, as the window's list has it, "org.kde.app.svg" gives "org"; off, the name an
    // application asks for, "org.kde.app".
    void setCutsAtFirstDot(bool cuts);
    bool cutsAtFirstDot() const;

    void stop();
    bool isNeedStop() const;

    void scanIconNamesByDirPath(const QString &dirPath);

    // The receiver of iconNamesFinded calls this once for every batch it has taken;
    // a running walk holds at batchesInFlight batches that nobody has taken yet.
    void releaseBatch();
    static constexpr int batchesInFlight = 2;
    static constexpr int batchNames = 64;
    static constexpr int batchMilliseconds = 5;

Q_SIGNALS:
    // Once per icon file met, while a receiver is connected.
    void iconNameFinded(const QString &iconName);
    // The names not reported before in this walk, in the order the walk first met them.
    void iconNamesFinded(const QStringList &iconNames);

protected:
    void run() override;

private:
    struct Walk {
        QList<QByteArray> suffixes;
        bool cutsAtFirstDot = true;
        // Per-file names need every path to a directory, so its listing is kept and
        // replayed; without them a directory is read once and never met again.
        bool perFile = false;
        bool paced = false;
        std::function<bool()> stopped;
        DirectoryListing::Ancestors ancestors;
        QSet<DirectoryListing::Key> visited;
        QHash<DirectoryListing::Key, QVector<DirectoryListing::Entry>> listings;
        QSet<QString> reportedNames;
        QStringList batch;
        QElapsedTimer batchClock;
    };
    void startWalk(Walk &state, bool paced);
    void walk(const QByteArray &dirPath, Walk &state);
    void visit(const QByteArray &dirPath, const QVector<DirectoryListing::Entry> &entries, bool replay, Walk &state);
    QString iconName(const QByteArray &fileName, const Walk &state) const;
    void foundName(const QString &iconName, Walk &state);
    void flushBatch(Walk &state);

    std::atomic<bool> m_stopFlag{false};
    // The settings dialog may replace the suffixes while a walk runs on the other thread.
    mutable QMutex m_mutex;
    QStringList m_dirPaths;
    QStringList m_searchIconSuffixes;
    bool m_cutsAtFirstDot = true;
    QMutex m_flightMutex;
    QWaitCondition m_flightChanged;
    int m_inFlight = 0;
};

#endif

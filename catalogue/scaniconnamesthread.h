#ifndef SCANICONNAMESTHREAD_H
#define SCANICONNAMESTHREAD_H

#include <QElapsedTimer>
#include <QMutex>
#include <QSet>
#include <QStringList>
#include <QThread>

#include <atomic>

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

    void stop();
    bool isNeedStop() const;

    void scanIconNamesByDirPath(const QString &dirPath);

    // A batch closes after this long, or at batchNames names or a sixteenth of the names
    // reported so far, whichever is more.
    static constexpr int batchNames = 64;
    static constexpr int batchMilliseconds = 5;

Q_SIGNALS:
    // Once per icon file met, on every path to it, while a receiver is connected.
    void iconNameFinded(const QString &iconName);
    // The names not reported before in this run, in the order the walk first met them.
    void iconNamesFinded(const QStringList &iconNames);

protected:
    void run() override;

private:
    void foundName(const QString &iconName);
    void flushBatch();

    std::atomic<bool> m_stopFlag{false};
    // The settings dialog may replace the suffixes while a walk runs on the other thread.
    mutable QMutex m_mutex;
    QStringList m_dirPaths;
    QStringList m_searchIconSuffixes;
    // Of the run under way, on the worker thread only.
    QSet<QString> m_reported;
    QStringList m_batch;
    QElapsedTimer m_batchClock;
};

#endif

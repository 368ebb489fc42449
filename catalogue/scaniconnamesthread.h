#ifndef SCANICONNAMESTHREAD_H
#define SCANICONNAMESTHREAD_H

#include <QMutex>
#include <QSet>
#include <QStringList>
#include <QThread>

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
    void walk(const QString &dirPath, const QStringList &suffixes, QSet<QString> &ancestors);

    std::atomic<bool> m_stopFlag{false};
    // The settings dialog may replace the suffixes while a walk runs on the other thread.
    mutable QMutex m_mutex;
    QStringList m_dirPaths;
    QStringList m_searchIconSuffixes;
};

#endif

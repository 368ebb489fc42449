#ifndef SCANICONNAMESTHREAD_H
#define SCANICONNAMESTHREAD_H

#include <QByteArray>
#include <QMutex>
#include <QPair>
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
    using DirectoryKey = QPair<quint64, quint64>; // device, inode
    static QList<QByteArray> encodedSuffixes(const QStringList &suffixes);
    void walk(const QByteArray &dirPath, const QList<QByteArray> &suffixes, QSet<DirectoryKey> &ancestors);

    std::atomic<bool> m_stopFlag{false};
    // The settings dialog may replace the suffixes while a walk runs on the other thread.
    mutable QMutex m_mutex;
    QStringList m_dirPaths;
    QStringList m_searchIconSuffixes;
};

#endif

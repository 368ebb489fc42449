#ifndef QUITONSIGNAL_H
#define QUITONSIGNAL_H

#include <QObject>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP end the program as closing its window does: the window saves
// its state on the way out. A signal that comes while it saves waits for the save, so no
// save is cut off half-way, with its new file left beside the settings file.
class QuitOnSignal : public QObject
{
    Q_OBJECT
public:
    explicit QuitOnSignal(QObject *parent);

private:
    static void handle(int signal);
    QSocketNotifier *m_notifier = nullptr;
};

#endif

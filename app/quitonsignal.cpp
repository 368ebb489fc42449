#include "quitonsignal.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace
{
// Written by the handler, read by the event loop: the only things a handler may do.
int s_pair[2] = {-1, -1};
}

QuitOnSignal::QuitOnSignal(QObject *parent)
    : QObject(parent)
{
    if (s_pair[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, s_pair) != 0) {
        return;
    }
    m_notifier = new QSocketNotifier(s_pair[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, []() {
        char byte;
        if (::read(s_pair[1], &byte, 1) == 1) {
            QCoreApplication::quit();
        }
    });
    struct sigaction action = {};
    action.sa_handler = &QuitOnSignal::handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        ::sigaction(signal, &action, nullptr);
    }
}

void QuitOnSignal::handle(int)
{
    const char byte = 1;
    // A full socket means a quit is on its way already.
    [[maybe_unused]] const ssize_t written = ::write(s_pair[0], &byte, 1);
}

#ifndef MAINWINDOWACCESS_H
#define MAINWINDOWACCESS_H

#include "app/mainwindow.h"
#include "app/mainwindow_p.h"

class MainWindowAccess
{
public:
    static MainWindowPrivate *d(MainWindow *window)
    {
        return window->d.get();
    }
};

#endif

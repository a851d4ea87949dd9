#include "StopSignals.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <windows.h>

namespace vrx {

namespace {

// Called on a thread of the console's: the quit is queued to the application's thread. The program
// ends once the handler returns for a closing console, so the handler waits a moment for it.
BOOL WINAPI OnConsoleControl(DWORD event) {
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return FALSE;
    QMetaObject::invokeMethod(app, &QCoreApplication::quit, Qt::QueuedConnection);
    if (event == CTRL_CLOSE_EVENT)
        ::Sleep(500);
    return TRUE;
}

} // namespace

bool QuitOnStopSignals(QCoreApplication &) {
    return ::SetConsoleCtrlHandler(OnConsoleControl, TRUE) != 0;
}

} // namespace vrx

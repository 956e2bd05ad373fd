// The desktop's end-of-session signals on the UI thread: the pipe their handler writes to is watched by a
// socket notifier, and each signal ends the running main window as the Updater's close request does.

#include <QSocketNotifier>
#include <memory>

#include "platform/system/session_end_signals.h"
#include "platform/ui/dialog.h"
#include "ui/main_window.h"

namespace {

std::unique_ptr<QSocketNotifier> g_notifier;
bool g_endedBeforeMainWindow = false;

void OnSessionEndSignal() {
    if (TakeSessionEndSignal() == 0)
        return;
    if (CTarvikDlg* window = MainWindow())
        window->EndSession();
    else {
        // Start-up's boxes end, and the main window will not start.
        g_endedBeforeMainWindow = true;
        EndModalLoops(IDCANCEL);
    }
}

}  // namespace

int WatchSessionEndSignals(unsigned boundSeconds) {
    if (g_notifier != nullptr)
        return 0;
    if (InstallSessionEndSignals(boundSeconds) != 0)
        return -1;
    g_notifier = std::make_unique<QSocketNotifier>(SessionEndSignalFd(), QSocketNotifier::Read);
    QObject::connect(g_notifier.get(), &QSocketNotifier::activated, [] { OnSessionEndSignal(); });
    return 0;
}

bool SessionEndedBeforeMainWindow() {
    return g_endedBeforeMainWindow;
}

void StopWatchingSessionEndSignals() {
    g_notifier.reset();
    RemoveSessionEndSignals();
}

#include <QApplication>
#include <clocale>

#include "core/file_version_text.h"
#include "core/tarvik_app.h"
#include "media/pixel_routines.h"
#include "platform/system/descriptor_limit.h"
#include "platform/system/file_size_limit.h"
#include "platform/system/shared_thread_pool.h"
#include "platform/ui/win_app.h"
#include "ui/client_resources.h"
#include "ui/main_window.h"

// The file version the Updater reads from this binary.
VISTAL_FILE_VERSION_TEXT("4.4.2.0")

namespace {

// The window layer's application: its message loop runs the client's start-up, which ends by running the
// main window modally.
class VistalWinApp : public CWinApp {
public:
    BOOL InitInstance() override {
        theApp.m_pfnRunMainWindow = RunMainWindow;
        // The pixel routine table is filled before the application system starts and emptied after it ends.
        ImgInitDispatch();
        (void)theApp.InitInstance();
        return FALSE;
    }
    int ExitInstance() override {
        int code = theApp.ExitInstance();
        ImgShutdown();
        return code;
    }
};

}  // namespace

int main(int argc, char** argv) {
    // Before the desktop platform opens its own descriptors: 64 DVRs need more than a common soft limit.
    static_cast<void>(RaiseDescriptorLimit());
    // A recording or snapshot that meets a file-size limit fails that one write, never the whole client.
    static_cast<void>(IgnoreFileSizeSignal());
    QApplication application(argc, argv);
    static_cast<void>(PrestartSharedThreadPool());
    std::setlocale(LC_NUMERIC, "C");
    InstallClientResources();
    // A desktop logout, a shutdown or Ctrl+C ends the program as a confirmed exit does, within the time
    // the Updater also gives it.
    constexpr unsigned kShutDownBoundSeconds = 8;
    const bool watched = WatchSessionEndSignals(kShutDownBoundSeconds) == 0;
    VistalWinApp app;
    const int code = app.Start();
    if (watched)
        StopWatchingSessionEndSignals();
    return code;
}

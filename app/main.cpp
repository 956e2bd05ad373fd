#include <QApplication>
#include <clocale>
#include <cstdio>

#include "core/file_version_text.h"
#include "core/tarvik_app.h"
#include "dvr/dvr_session.h"
#include "media/pixel_routines.h"
#include "platform/system/descriptor_limit.h"
#include "platform/system/file_size_limit.h"
#include "platform/system/shared_thread_pool.h"
#include "platform/ui/message_box.h"
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

// What the program opens before any DVR: the desktop platform, the 64 record and 67 decode threads' queues,
// the supervisor, the sound device, the single-instance endpoint and the files of the start-up (measured:
// 290 with an empty device list).
constexpr long kStartUpDescriptors = 300;
// The least limit of open files the client runs with: the start-up, the reserve the sessions leave free
// for the rest of the program, and one DVR's session.
constexpr long kLeastDescriptorLimit = kStartUpDescriptors + SESSION_DESCRIPTOR_RESERVE + SESSION_DESCRIPTORS;

// Under a smaller limit the start-up's own threads would take every descriptor and no window would come:
// the program says so, on standard error and in a message box, and ends.
int RefuseDescriptorLimit(int argc, char** argv, long limit) {
    const QString text =
        QStringLiteral(
            "The limit of open files (%1) is too low for Vistal: it needs at least %2. Raise the hard limit "
            "of open files (\"ulimit -Hn %2\", or LimitNOFILE / nofile in the system's limits) and start "
            "Vistal again.")
            .arg(limit)
            .arg(kLeastDescriptorLimit);
    std::fprintf(stderr, "Vistal cannot start: %s\n", qPrintable(text));
    std::fflush(stderr);
    QApplication application(argc, argv);
    static_cast<void>(MessageBox(nullptr, text, QStringLiteral("Vistal"), MB_OK | MB_ICONERROR));
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    // Before the desktop platform opens its own descriptors: 64 DVRs need more than a common soft limit.
    const long limit = RaiseDescriptorLimit();
    if (limit >= 0 && limit < kLeastDescriptorLimit)
        return RefuseDescriptorLimit(argc, argv, limit);
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

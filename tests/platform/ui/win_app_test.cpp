// The application object starts on a QApplication that its caller made, runs InitInstance, turns the
// loop when asked to, and ends with ExitInstance's code.

#include <gtest/gtest.h>

#include "platform/ui/message_loop.h"
#include "tests/platform/ui/ui_test_support.h"

namespace {

class LoopApp : public CWinApp {
public:
    std::vector<SeenMessage> log;
    RecordingWnd main{"main", &log};
    bool runLoop = true;
    int exitInstanceCalls = 0;

    BOOL InitInstance() override {
        main.CreateTest(nullptr, 0);
        m_pMainWnd = &main;
        // The first message of the loop ends it, as a main window's exit would.
        main.onMessage = [](UINT message, WPARAM, LPARAM) {
            if (message == WM_USER + 5)
                PostQuitMessage(3);
        };
        main.PostMessage(WM_USER + 5);
        return runLoop ? TRUE : FALSE;
    }
    int ExitInstance() override {
        ++exitInstanceCalls;
        main.DestroyWindow();
        return CWinApp::ExitInstance();
    }
};

TEST(WinApp, StartRunsTheLoopUntilQuitAndReturnsTheExitCode) {
    {
        LoopApp app;
        EXPECT_EQ(AfxGetApp(), &app);
        EXPECT_EQ(app.Start(), 3);
        EXPECT_EQ(app.exitInstanceCalls, 1);
    }
    {
        // InitInstance returning FALSE: no loop, and the queued post is released with the window.
        LoopApp app;
        app.runLoop = false;
        EXPECT_EQ(app.Start(), 0);
        EXPECT_EQ(app.exitInstanceCalls, 1);
    }
    // The suite's own application object is back.
    EXPECT_NE(AfxGetApp(), nullptr);
    InstallWindowMessageLoop();
}

}  // namespace

// The window layer on a real X server without a window manager: a top-level window owned by another (a
// dialog's video window, a dialog of the main window) stays above its owner however the owner comes to
// the top, as the programs' windows expect. Nothing else would keep it there: the server stacks windows in
// the order they are mapped and raised.

#include <gtest/gtest.h>

#include <QApplication>
#include <QRect>
#include <QWidget>
#include <functional>
#include <memory>

#include "platform/ui/wnd.h"
#include "tests/bounded_wait.h"
#include "tests/e2e/x_session.h"
#include "tests/platform/ui/ui_test_support.h"

namespace {

unsigned long XWindow(const CWnd& wnd) {
    return static_cast<unsigned long>(wnd.GetWidget()->winId());
}

TEST(OwnedWindowsOnX, StayAboveTheirOwnerWhenTheOwnerIsShownOrRaised) {
    if (!XvfbInstalled())
        GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs it)";
    XvfbServer xvfb;
    XClient x;
    ASSERT_EQ(xvfb.Start(640, 480), 0);
    ASSERT_EQ(x.Open(xvfb.Display()), 0);
    qputenv("DISPLAY", xvfb.Display().toLatin1());
    qputenv("QT_QPA_PLATFORM", "xcb");
    int argc = 1;
    char name[] = "owned_windows_x_test";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);

    // How the owner comes to the top after its owned window was shown; a window of another program lies
    // over both before the owner is raised.
    const struct {
        const char* how;
        bool covered;
        std::function<void(CWnd&)> act;
    } cases[] = {
        {"shown after the owned window", false, [](CWnd& w) { w.ShowWindow(SW_SHOW); }},
        {"brought to the top", true, [](CWnd& w) { w.BringWindowToTop(); }},
        {"made the foreground window", true, [](CWnd& w) { w.SetForegroundWindow(); }},
        {"raised by SetWindowPos", true,
         [](CWnd& w) { w.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }},
    };
    // The owner is itself owned, as the playback dialog is by the main window.
    std::unique_ptr<CWnd> main = MakeTestTopLevel(nullptr, QRect(0, 0, 640, 480));
    ASSERT_NE(main, nullptr);
    main->ShowWindow(SW_SHOW);
    for (const auto& c : cases) {
        std::unique_ptr<CWnd> owner = MakeTestTopLevel(main.get(), QRect(0, 0, 400, 300));
        ASSERT_NE(owner, nullptr);
        std::unique_ptr<CWnd> owned = MakeTestTopLevel(owner.get(), QRect(30, 30, 200, 150));
        ASSERT_NE(owned, nullptr);
        if (c.covered)
            owner->ShowWindow(SW_SHOW);
        owned->ShowWindow(SW_SHOW);
        auto shown = [&] { return x.IsShown(XWindow(*owner)) == c.covered && x.IsShown(XWindow(*owned)); };
        ASSERT_TRUE(harness::WaitUntil(shown, 5000, [] { QCoreApplication::processEvents(); })) << c.how;
        const unsigned long cover = c.covered ? x.MapCover(QRect(0, 0, 640, 480)) : 0;
        c.act(*owner);
        EXPECT_TRUE(harness::WaitUntil(
            [&] {
                return x.IsAbove(XWindow(*owned), XWindow(*owner)) &&
                       (cover == 0 || x.IsAbove(XWindow(*owner), cover));
            },
            3000, [] { QCoreApplication::processEvents(); }))
            << c.how;
        owned->DestroyWindow();
        owner->DestroyWindow();
    }
}

}  // namespace

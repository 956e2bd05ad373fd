// A disabled window, and every window inside it, hears nothing of the mouse and the keyboard; enabled
// again, it hears them as before.

#include <gtest/gtest.h>

#include <QTest>
#include <algorithm>

#include "tests/platform/ui/ui_test_support.h"

namespace {

bool IsInput(UINT message) {
    return (message >= WM_MOUSEMOVE && message <= WM_MBUTTONDBLCLK) || message == WM_MOUSEWHEEL ||
           message == WM_KEYDOWN;
}

// Logs the input messages that reach the window's handler as "name:message".
void LogInput(RecordingWnd& wnd, const std::string& name, std::vector<std::string>* log) {
    wnd.onMessage = [name, log](UINT message, WPARAM, LPARAM) {
        if (IsInput(message))
            log->push_back(name + ":" + std::to_string(message));
    };
}

// Every kind of input an operator gives a window: clicks of both buttons, a double click, a wheel turn
// and keys.
void GiveInput(QWidget* widget) {
    const QPoint at(5, 5);
    QTest::mouseMove(widget, at);
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
    QTest::mouseClick(widget, Qt::RightButton, {}, at);
    QWheelEvent wheel(at, widget->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &wheel);
    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Escape, Qt::Key_Down})
        QTest::keyClick(widget, key);
}

TEST(DisabledInput, DisabledWindowAndItsChildrenHearNoInputUntilEnabled) {
    std::vector<SeenMessage> log;
    RecordingWnd parent("parent", &log);
    RecordingWnd child("child", &log);
    RecordingWnd grandchild("grandchild", &log);
    std::vector<std::string> seen;
    LogInput(parent, "parent", &seen);
    LogInput(child, "child", &seen);
    LogInput(grandchild, "grandchild", &seen);
    ASSERT_TRUE(parent.CreateTest(nullptr, WS_VISIBLE));
    ASSERT_TRUE(child.CreateTest(&parent, WS_CHILD | WS_VISIBLE, 1));
    ASSERT_TRUE(grandchild.CreateTest(&child, WS_CHILD | WS_VISIBLE, 2));
    parent.MoveWindow(0, 0, 200, 200);
    child.MoveWindow(10, 10, 100, 100);
    grandchild.MoveWindow(10, 10, 50, 50);

    struct Case {
        const char* what;
        CWnd* disabled;                 // the window disabled for the case
        CWnd* target;                   // the window given the input
        std::vector<std::string> deaf;  // the disabled window and the windows inside it
    } const cases[] = {
        {"the disabled window itself", &child, &child, {"child", "grandchild"}},
        {"a child of a disabled window", &child, &grandchild, {"child", "grandchild"}},
        {"a grandchild of a disabled top-level window",
         &parent,
         &grandchild,
         {"parent", "child", "grandchild"}},
        {"a disabled window inside an enabled one", &grandchild, &grandchild, {"grandchild"}},
    };
    for (const Case& c : cases) {
        seen.clear();
        c.disabled->EnableWindow(FALSE);
        c.target->GetWidget()->setFocus();
        GiveInput(c.target->GetWidget());
        for (const std::string& message : seen) {
            // Input on a disabled window may go on to an enabled window around it, never to it or its
            // children.
            const std::string who = message.substr(0, message.find(':'));
            EXPECT_EQ(std::count(c.deaf.begin(), c.deaf.end(), who), 0) << c.what << ": " << message;
        }
        c.disabled->EnableWindow(TRUE);
    }

    // Enabled again, the same input reaches the window.
    seen.clear();
    grandchild.GetWidget()->setFocus();
    GiveInput(grandchild.GetWidget());
    for (UINT message :
         {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_MOUSEWHEEL, WM_KEYDOWN}) {
        EXPECT_NE(std::find(seen.begin(), seen.end(), "grandchild:" + std::to_string(message)), seen.end())
            << message;
    }
}

}  // namespace

// WM_SHOWWINDOW reaches only the window whose own visibility changed.

#include <gtest/gtest.h>

#include "tests/platform/ui/ui_test_support.h"

namespace {

std::vector<std::string> ShowLog(const std::vector<SeenMessage>& log) {
    std::vector<std::string> out;
    for (const SeenMessage& m : log) {
        if (m.message == WM_SHOWWINDOW)
            out.push_back(m.who + (m.wParam ? "+" : "-"));
    }
    return out;
}

TEST(ShowWindow, OnlyTheWindowWhoseOwnVisibilityChangedHearsOfIt) {
    std::vector<SeenMessage> log;
    RecordingWnd parent("parent", &log);
    RecordingWnd child("child", &log);
    ASSERT_TRUE(parent.CreateTest(nullptr, 0));
    ASSERT_TRUE(child.CreateTest(&parent, WS_CHILD | WS_VISIBLE));
    child.ShowWindow(SW_SHOW);
    parent.ShowWindow(SW_SHOW);
    parent.ShowWindow(SW_SHOW);  // no change
    EXPECT_TRUE(child.IsWindowVisible());
    parent.ShowWindow(SW_HIDE);
    EXPECT_FALSE(child.IsWindowVisible());
    child.ShowWindow(SW_HIDE);
    EXPECT_EQ(ShowLog(log), (std::vector<std::string>{"parent+", "parent-", "child-"}));
}

}  // namespace

// Window handles: ids with generations, never reused for another window.

#include <gtest/gtest.h>

#include "platform/ui/window_table.h"
#include "tests/platform/ui/ui_test_support.h"

namespace {

TEST(WindowHandle, ARetiredHandleNeverNamesTheNextWindow) {
    CWnd first;
    CWnd second;
    HWND a = AllocWindowHandle(&first);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(LookupWindowHandle(a), &first);
    FreeWindowHandle(a);
    EXPECT_EQ(LookupWindowHandle(a), nullptr);
    HWND b = AllocWindowHandle(&second);
    EXPECT_NE(a, b);
    EXPECT_EQ(LookupWindowHandle(a), nullptr);
    EXPECT_EQ(LookupWindowHandle(b), &second);
    FreeWindowHandle(a);  // stale: must not retire b
    EXPECT_EQ(LookupWindowHandle(b), &second);
    FreeWindowHandle(b);
    EXPECT_EQ(LookupWindowHandle(nullptr), nullptr);
    EXPECT_EQ(LookupWindowHandle(reinterpret_cast<HWND>(uintptr_t{0xFFFFF})), nullptr);
}

TEST(WindowHandle, ChildWindowsAreReleasedWithTheirParent) {
    std::vector<SeenMessage> log;
    RecordingWnd parent("parent", &log);
    RecordingWnd child("child", &log);
    ASSERT_TRUE(parent.CreateTest(nullptr, 0));
    ASSERT_TRUE(child.CreateTest(&parent, WS_CHILD, 7));
    EXPECT_EQ(parent.GetDlgItem(7), &child);
    EXPECT_EQ(child.GetParent(), &parent);
    HWND childHandle = child.m_hWnd;
    parent.DestroyWindow();
    EXPECT_EQ(CWnd::FromHandle(childHandle), nullptr);
    EXPECT_EQ(child.m_hWnd, nullptr);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].who, "parent");
    EXPECT_EQ(log[0].message, WM_DESTROY);
    EXPECT_EQ(log[1].who, "child");
}

}  // namespace

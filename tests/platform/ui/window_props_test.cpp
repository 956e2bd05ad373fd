// Window properties, and the two messages other processes send to the window that carries the instance
// property: a second start's raise request and WM_COPYDATA. The senders run on a thread of their own, as
// another process would, while the UI thread turns its event loop.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QThread>
#include <QWidget>
#include <atomic>
#include <thread>

#include "platform/system/copydata_endpoint.h"
#include "platform/system/instance_endpoint.h"
#include "platform/ui/window_props.h"
#include "tests/platform/ui/ui_test_support.h"

namespace {

const HANDLE kOne = reinterpret_cast<HANDLE>(1);

// A name of this test process alone: suites of other worktrees run beside it with the same runtime folder.
QString UniqueName(const char* what) {
    return QStringLiteral("props-test-%1-%2").arg(getpid()).arg(QString::fromLatin1(what));
}

class CopyDataWnd : public CWnd {
public:
    BOOL Create() { return Attach(new QWidget, nullptr, 0, 0); }
    BOOL OnCopyData(CWnd* pWnd, COPYDATASTRUCT* data) override {
        ++calls;
        senderWindowObject = pWnd;
        onUiThread = QThread::currentThread() == QCoreApplication::instance()->thread();
        dwData = data->dwData;
        payload = QByteArray(static_cast<const char*>(data->lpData), static_cast<int>(data->cbData));
        if (onCopy)
            onCopy();
        return answer;
    }
    int calls = 0;
    CWnd* senderWindowObject = reinterpret_cast<CWnd*>(1);
    bool onUiThread = false;
    uintptr_t dwData = 0;
    QByteArray payload;
    BOOL answer = TRUE;
    std::function<void()> onCopy;
};

// Runs send on a thread of its own while this thread turns the event loop; its result.
template <typename Send>
int SendFromAnotherThread(Send send) {
    std::atomic<int> result{-100};
    std::atomic<bool> done{false};
    std::thread sender([&] {
        result = send();
        done = true;
    });
    bool finished = WaitUntil([&] { return done.load(); }, 10000);
    sender.join();
    EXPECT_TRUE(finished);
    return result;
}

TEST(WindowProps, HoldsOneValuePerWindowAndName) {
    CopyDataWnd a, b;
    ASSERT_TRUE(a.Create());
    ASSERT_TRUE(b.Create());
    const QString name = UniqueName("table");
    EXPECT_EQ(GetProp(a.m_hWnd, name), nullptr);
    EXPECT_TRUE(SetProp(a.m_hWnd, name, reinterpret_cast<HANDLE>(5)));
    EXPECT_TRUE(SetProp(a.m_hWnd, name, reinterpret_cast<HANDLE>(6)));  // changed, not added
    EXPECT_TRUE(SetProp(a.m_hWnd, name + "2", reinterpret_cast<HANDLE>(7)));
    EXPECT_EQ(GetProp(a.m_hWnd, name), reinterpret_cast<HANDLE>(6));
    EXPECT_EQ(GetProp(a.m_hWnd, name + "2"), reinterpret_cast<HANDLE>(7));
    EXPECT_EQ(GetProp(b.m_hWnd, name), nullptr);
    EXPECT_FALSE(SetProp(a.m_hWnd, QString(), kOne));
    EXPECT_EQ(RemoveProp(a.m_hWnd, name), reinterpret_cast<HANDLE>(6));
    EXPECT_EQ(RemoveProp(a.m_hWnd, name), nullptr);
    EXPECT_EQ(GetProp(a.m_hWnd, name), nullptr);

    HWND gone = b.m_hWnd;
    EXPECT_TRUE(SetProp(gone, name, reinterpret_cast<HANDLE>(8)));
    b.DestroyWindow();
    EXPECT_EQ(GetProp(gone, name), nullptr);
    EXPECT_FALSE(SetProp(gone, name, reinterpret_cast<HANDLE>(8)));
    EXPECT_EQ(RemoveProp(a.m_hWnd, name + "2"), reinterpret_cast<HANDLE>(7));
}

TEST(WindowProps, ASecondStartRaisesTheWindowThatCarriesTheInstanceProperty) {
    const QString name = UniqueName("raise");
    CopyDataWnd window;
    ASSERT_TRUE(window.Create());
    // Nobody listens yet; a value other than 1 publishes nothing.
    EXPECT_EQ(RequestInstanceRaise(name, 500), -1);
    ASSERT_TRUE(SetProp(window.m_hWnd, name, reinterpret_cast<HANDLE>(2)));
    EXPECT_EQ(RequestInstanceRaise(name, 500), -1);

    ASSERT_TRUE(SetProp(window.m_hWnd, name, kOne));
    window.ShowWindow(SW_SHOWMINIMIZED);
    EXPECT_EQ(SendFromAnotherThread([&] { return RequestInstanceRaise(name, 5000); }), 1);
    EXPECT_TRUE(window.IsWindowVisible());
    EXPECT_FALSE(window.GetWidget()->isMinimized());
    EXPECT_EQ(window.calls, 0);  // the raise is no WM_COPYDATA of the window's

    window.ShowWindow(SW_HIDE);
    EXPECT_EQ(SendFromAnotherThread([&] { return RequestInstanceRaise(name, 5000); }), 1);
    EXPECT_TRUE(window.IsWindowVisible());

    // The property removed, the endpoint is gone: a later start finds no instance window.
    EXPECT_EQ(RemoveProp(window.m_hWnd, name), kOne);
    EXPECT_EQ(RequestInstanceRaise(name, 500), -1);
}

TEST(WindowProps, CopyDataFromAnotherProcessReachesTheInstanceWindowOnTheUiThread) {
    const QString name = UniqueName("copy");
    CopyDataWnd window, other;
    ASSERT_TRUE(window.Create());
    ASSERT_TRUE(other.Create());
    const COPYDATASTRUCT empty = {0x7156BCDA, 0, nullptr};
    // Without a published window the process takes no WM_COPYDATA.
    EXPECT_EQ(SendCopyData(getpid(), 0, empty, 300), -1);

    ASSERT_TRUE(SetProp(window.m_hWnd, name, kOne));
    LRESULT result = 0;
    const char bytes[] = "abc";
    const COPYDATASTRUCT withData = {0x1234, 3, bytes};
    window.answer = 7;
    EXPECT_EQ(SendFromAnotherThread([&] { return SendCopyData(getpid(), 0x99, withData, 5000, &result); }),
              0);
    EXPECT_EQ(result, 7);
    EXPECT_EQ(window.calls, 1);
    EXPECT_TRUE(window.onUiThread);
    EXPECT_EQ(window.senderWindowObject, nullptr);
    EXPECT_EQ(window.dwData, 0x1234u);
    EXPECT_EQ(window.payload, QByteArray("abc"));
    EXPECT_EQ(other.calls, 0);

    // A window that ends on the message removes its property while the message is being handled: the
    // sender still gets its answer, and the process takes no further WM_COPYDATA.
    window.onCopy = [&] { (void)RemoveProp(window.m_hWnd, name); };
    EXPECT_EQ(SendFromAnotherThread([&] { return SendCopyData(getpid(), 0, empty, 5000, &result); }), 0);
    EXPECT_EQ(window.calls, 2);
    EXPECT_EQ(window.dwData, 0x7156BCDAu);
    DrainPostedEvents();
    EXPECT_EQ(SendCopyData(getpid(), 0, empty, 300), -1);
    EXPECT_EQ(RequestInstanceRaise(name, 300), -1);
}

}  // namespace

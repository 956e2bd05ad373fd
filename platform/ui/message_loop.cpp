#include "platform/ui/message_loop.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QThread>
#include <atomic>
#include <mutex>
#include <shared_mutex>

#include "platform/ui/win_app.h"
#include "platform/ui/window_table.h"
#include "platform/ui/wnd.h"

namespace {

const QEvent::Type kPostedMessageEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// Qt's event queue hands an event from the posting thread to the UI thread under locks that the thread
// sanitizer cannot see (Qt is not instrumented). In that build the posting thread makes its event under
// this lock and the UI thread takes it before it reads one, so the checker sees the hand-over of the
// message and its payload; other builds need and pay for nothing.
#if defined(__SANITIZE_THREAD__)
std::mutex g_handoffLock;
struct HandoffGuard {
    std::lock_guard<std::mutex> lock{g_handoffLock};
};
#else
struct HandoffGuard {};
#endif

// One posted message. Its payload is released through the deleter unless the message reached a window.
class PostedMessageEvent : public QEvent {
public:
    PostedMessageEvent(const MSG& msg, PostPayloadDeleter deleter)
        : QEvent(kPostedMessageEvent), m_msg(msg), m_deleter(deleter) {}
    ~PostedMessageEvent() override {
        { [[maybe_unused]] HandoffGuard handoff; }
        if (!m_delivered && m_deleter != nullptr)
            m_deleter(m_msg.lParam);
    }
    MSG& Msg() { return m_msg; }
    void MarkDelivered() { m_delivered = true; }

private:
    MSG m_msg;
    PostPayloadDeleter m_deleter;
    bool m_delivered = false;
};

class PostReceiver : public QObject {
public:
    bool event(QEvent* e) override {
        { [[maybe_unused]] HandoffGuard handoff; }
        if (e->type() != kPostedMessageEvent)
            return QObject::event(e);
        auto* posted = static_cast<PostedMessageEvent*>(e);
        // A window destroyed since the post is not found: the event's destructor releases the payload.
        if (LookupWindowHandle(posted->Msg().hwnd) == nullptr)
            return true;
        posted->MarkDelivered();
        DispatchWindowMessage(&posted->Msg());
        return true;
    }
};

// Posting threads hold the lock shared while they queue; removal holds it exclusively.
std::shared_mutex g_receiverLock;
PostReceiver* g_receiver = nullptr;
std::atomic<Qt::HANDLE> g_uiThread{nullptr};

BOOL PostToUiThread(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, PostPayloadDeleter deleter) {
    if (!IsWindowHandleLive(hwnd))
        return FALSE;
    std::shared_lock<std::shared_mutex> guard(g_receiverLock);
    if (g_receiver == nullptr)
        return FALSE;
    MSG msg;
    msg.hwnd = hwnd;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    PostedMessageEvent* event = nullptr;
    {
        [[maybe_unused]] HandoffGuard handoff;
        event = new PostedMessageEvent(msg, deleter);
    }
    QCoreApplication::postEvent(g_receiver, event);
    return TRUE;
}

}  // namespace

void InstallWindowMessageLoop() {
    std::unique_lock<std::shared_mutex> guard(g_receiverLock);
    g_uiThread.store(QThread::currentThreadId());
    if (g_receiver == nullptr)
        g_receiver = new PostReceiver;
    SetWindowPostHandler(&PostToUiThread);
}

void RemoveWindowMessageLoop() {
    SetWindowPostHandler(nullptr);
    PostReceiver* receiver;
    {
        std::unique_lock<std::shared_mutex> guard(g_receiverLock);
        receiver = g_receiver;
        g_receiver = nullptr;
    }
    // Deleting the receiver drops its queued events, whose destructors release their payloads.
    delete receiver;
}

bool IsUiThread() {
    return g_uiThread.load() == QThread::currentThreadId();
}

BOOL WalkPreTranslateTree(MSG* msg) {
    CWnd* mainWnd = AfxGetMainWnd();
    bool reachedMain = false;
    for (CWnd* wnd = CWnd::FromHandle(msg->hwnd); wnd != nullptr; wnd = wnd->GetParent()) {
        HWND hwnd = wnd->GetSafeHwnd();
        if (wnd->PreTranslateMessage(msg))
            return TRUE;
        // The handler may have destroyed the window or the main window.
        if (!IsWindowHandleLive(hwnd))
            return TRUE;
        if (wnd == mainWnd) {
            reachedMain = true;
            break;
        }
    }
    mainWnd = AfxGetMainWnd();
    if (!reachedMain && mainWnd != nullptr && mainWnd->GetSafeHwnd() != msg->hwnd)
        return mainWnd->PreTranslateMessage(msg);
    return FALSE;
}

void DispatchWindowMessage(MSG* msg) {
    if (WalkPreTranslateTree(msg))
        return;
    if (CWnd* wnd = CWnd::FromHandle(msg->hwnd))
        wnd->WindowProc(msg->message, msg->wParam, msg->lParam);
}

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!IsUiThread())
        return 0;
    CWnd* wnd = CWnd::FromHandle(hwnd);
    return wnd == nullptr ? 0 : wnd->WindowProc(message, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
    QCoreApplication::exit(exitCode);
}

#include "tests/platform/ui/ui_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

#include "platform/ui/message_loop.h"
#include "platform/ui/prompt_hook.h"
#include "tests/bounded_wait.h"

int RunWindowTests(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests happens without CTest's environment: the windows are never on a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestApp theApp;
    InstallWindowMessageLoop();
    int result = RUN_ALL_TESTS();
    RemoveWindowMessageLoop();
    return result;
}

std::unique_ptr<CWnd> MakeTestTopLevel(CWnd* owner, const QRect& rect) {
    auto* widget = new QWidget(owner == nullptr ? nullptr : owner->GetWidget(),
                               (owner == nullptr ? Qt::Window : Qt::Tool) | Qt::FramelessWindowHint);
    widget->setGeometry(rect);
    auto wnd = std::make_unique<CWnd>();
    return wnd->Attach(widget, owner, 0, WS_POPUP) ? std::move(wnd) : nullptr;
}

bool WaitUntil(const std::function<bool()>& cond, int timeoutMs) {
    return harness::WaitUntil(cond, timeoutMs,
                              [] { QCoreApplication::processEvents(QEventLoop::AllEvents, 10); });
}

void DrainPostedEvents() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

BOOL RecordingWnd::PreTranslateMessage(MSG* msg) {
    if (msg->message >= WM_USER || msg->message == WM_TIMER)
        m_log->push_back({m_name + ".pre", msg->message, msg->wParam, msg->lParam});
    return takeMessage != 0 && msg->message == takeMessage;
}

LRESULT RecordingWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_USER || message == WM_TIMER || message == WM_SHOWWINDOW || message == WM_DESTROY ||
        message == WM_COMMAND)
        m_log->push_back({m_name, message, wParam, lParam});
    if (message == WM_TIMER && killTimerOnTick != 0 && wParam == killTimerOnTick)
        KillTimer(wParam);
    if (onMessage)
        onMessage(message, wParam, lParam);
    return CWnd::WindowProc(message, wParam, lParam);
}

void RecordPromptsAnsweringOk(QStringList* told) {
    SetPromptHook([told](const PromptRequest& request) {
        *told << request.text;
        PromptAnswer answer;
        answer.result = IDOK;
        return answer;
    });
}

#pragma once

// Helpers of the window-layer suites: an application object, a window that records what reaches it, and
// bounded waits that keep the event loop turning.

#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/win_app.h"
#include "platform/ui/wnd.h"

class TestApp : public CWinApp {};

// The body of a window suite's main: a QApplication, an application object and the window message loop
// around the tests. Returns the tests' result.
int RunWindowTests(int argc, char** argv);

// Turns the event loop until cond holds or timeoutMs passed; returns cond's last value.
bool WaitUntil(const std::function<bool()>& cond, int timeoutMs = 5000);
// Turns the event loop until every posted event queued so far has been handled.
void DrainPostedEvents();

// A frameless top-level window at rect, owned by owner when given (a Qt child window, as the dialogs make
// them); null when it could not be attached.
std::unique_ptr<CWnd> MakeTestTopLevel(CWnd* owner, const QRect& rect);

// Installs a prompt hook that answers every prompt with IDOK and appends its text to *told.
void RecordPromptsAnsweringOk(QStringList* told);

struct SeenMessage {
    std::string who;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// A window over a plain widget that logs every message it handles and every pre-translate call.
class RecordingWnd : public CWnd {
public:
    RecordingWnd(std::string name, std::vector<SeenMessage>* log) : m_name(std::move(name)), m_log(log) {}
    // A child (WS_CHILD) of parent, or a top-level window owned by parent.
    BOOL CreateTest(CWnd* parent, DWORD style, UINT id = 0) { return Attach(new QWidget, parent, id, style); }
    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    UINT takeMessage = 0;      // PreTranslateMessage answers TRUE for this message
    UINT killTimerOnTick = 0;  // OnTimer kills this timer id
    std::function<void(UINT, WPARAM, LPARAM)> onMessage;

private:
    std::string m_name;
    std::vector<SeenMessage>* m_log;
};

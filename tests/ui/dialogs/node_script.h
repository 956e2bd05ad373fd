#pragma once

// Answers the record dialogs (area and DVR) that the tree editor and the device list run modally: the
// scripted entry is typed in and OK pressed; when OK refuses it, the dialog is cancelled and the refusal
// recorded. Also the main-window stand-in that the dialogs post to.

#include <QTimer>
#include <deque>

#include "core/tarvik_app.h"
#include "platform/ui/win_app.h"
#include "tests/platform/ui/ui_test_support.h"
#include "ui/dialogs/dlg_node.h"
#include "ui/dialogs/node_fields.h"

struct NodeAnswer {
    NodeFieldEntry entry;
    bool ok = true;  // false: Cancel without pressing OK
};

struct NodeScript {
    std::deque<NodeAnswer> answers;
    int refused = 0;
    QString shownParent;   // the parent field of the last dialog
    NodeFieldEntry shown;  // what the last dialog showed before typing

    intptr_t Run(CDialog& dialog) {
        NodeAnswer answer = answers.empty() ? NodeAnswer{{}, false} : answers.front();
        if (!answers.empty())
            answers.pop_front();
        QTimer::singleShot(0, [this, &dialog, answer] {
            auto text = [&dialog](UINT id) {
                CWnd* item = dialog.GetDlgItem(id);
                return item != nullptr ? item->GetWindowText() : QString();
            };
            shownParent = text(IDC_NODE_PARENT);
            shown = {text(IDC_NODE_NAME), text(IDC_NODE_ADDRESS), text(IDC_NODE_PORT), text(IDC_NODE_USER),
                     text(IDC_NODE_PASSWORD)};
            if (answer.ok) {
                const std::pair<UINT, QString> fields[] = {
                    {IDC_NODE_NAME, answer.entry.name},         {IDC_NODE_ADDRESS, answer.entry.host},
                    {IDC_NODE_PORT, answer.entry.port},         {IDC_NODE_USER, answer.entry.user},
                    {IDC_NODE_PASSWORD, answer.entry.password},
                };
                for (const auto& field : fields) {
                    if (CWnd* item = dialog.GetDlgItem(field.first))
                        item->SetWindowText(field.second);
                }
                dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                if (!dialog.IsWindowVisible())
                    return;
                ++refused;
            }
            dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        });
        return dialog.DoModal();
    }
};

// Stands in for the main window: AfxGetMainWnd() while it lives, recording what is posted to it.
class MainWindowStandIn {
public:
    MainWindowStandIn() : m_wnd("main", &log) {
        m_wnd.CreateTest(nullptr, WS_POPUP);
        AfxGetApp()->m_pMainWnd = &m_wnd;
    }
    ~MainWindowStandIn() {
        AfxGetApp()->m_pMainWnd = nullptr;
        m_wnd.DestroyWindow();
    }
    CWnd* Wnd() { return &m_wnd; }
    // The messages of that number that reached the window (posted ones are counted once).
    std::vector<SeenMessage> Received(UINT message) {
        DrainPostedEvents();
        std::vector<SeenMessage> seen;
        for (const SeenMessage& m : log) {
            if (m.message == message && m.who == "main")
                seen.push_back(m);
        }
        return seen;
    }
    std::vector<SeenMessage> log;

private:
    RecordingWnd m_wnd;
};

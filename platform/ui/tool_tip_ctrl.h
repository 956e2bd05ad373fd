#pragma once

// CToolTipCtrl: tips for tools (windows, or areas of them). A tip shows only while the control is active.
// Without a delay of its own, the platform shows it on hover after its usual wait. With SetDelayTime the
// control keeps its own times, as a tip window of its own would: the tip shows once the pointer has rested
// on the tool for the delay, and goes after ten times the delay, when the pointer leaves or at a press.

#include <QString>
#include <map>
#include <memory>

#include "platform/ui/wnd.h"

constexpr DWORD TTS_ALWAYSTIP = 0x1;
constexpr int TTDT_AUTOMATIC = 0;

class ToolTipTimer;

class CToolTipCtrl {
public:
    CToolTipCtrl();
    ~CToolTipCtrl();
    CToolTipCtrl(const CToolTipCtrl&) = delete;
    CToolTipCtrl& operator=(const CToolTipCtrl&) = delete;

    BOOL Create(CWnd* parent, DWORD style = 0);
    BOOL IsCreated() const { return m_created; }
    BOOL AddTool(CWnd* tool, const QString& text, const RECT* rect = nullptr, UINT toolId = 0);
    void UpdateTipText(const QString& text, CWnd* tool, UINT toolId = 0);
    QString GetText(CWnd* tool, UINT toolId = 0) const;
    int GetToolCount() const { return static_cast<int>(m_tools.size()); }
    void Activate(BOOL active);
    BOOL IsActive() const { return m_active; }
    // TTDT_AUTOMATIC: the tip shows after ms of rest and stays ten times as long.
    void SetDelayTime(int kind, int ms);
    int GetDelayTime() const { return m_delayMs; }
    int SetMaxTipWidth(int width);
    void RelayEvent(MSG*) {}

private:
    void Apply();
    std::map<std::pair<HWND, UINT>, QString> m_tools;
    bool m_created = false;
    bool m_active = true;
    int m_maxWidth = -1;
    int m_delayMs = 0;
    std::unique_ptr<ToolTipTimer> m_timer;
};

#pragma once

// CToolTipCtrl: tips for tools (windows, or areas of them). A tip shows only while the control is active;
// Qt shows it on hover, so relayed mouse messages need no handling.

#include <QString>
#include <map>

#include "platform/ui/wnd.h"

constexpr DWORD TTS_ALWAYSTIP = 0x1;
constexpr int TTDT_AUTOMATIC = 0;

class CToolTipCtrl {
public:
    BOOL Create(CWnd* parent, DWORD style = 0);
    BOOL IsCreated() const { return m_created; }
    BOOL AddTool(CWnd* tool, const QString& text, const RECT* rect = nullptr, UINT toolId = 0);
    void UpdateTipText(const QString& text, CWnd* tool, UINT toolId = 0);
    QString GetText(CWnd* tool, UINT toolId = 0) const;
    int GetToolCount() const { return static_cast<int>(m_tools.size()); }
    void Activate(BOOL active);
    BOOL IsActive() const { return m_active; }
    void SetDelayTime(int kind, int ms);
    int SetMaxTipWidth(int width);
    void RelayEvent(MSG*) {}

private:
    void Apply();
    std::map<std::pair<HWND, UINT>, QString> m_tools;
    bool m_created = false;
    bool m_active = true;
    int m_maxWidth = -1;
    int m_delayMs = 0;
};

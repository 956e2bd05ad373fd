#include "platform/ui/tool_tip_ctrl.h"

BOOL CToolTipCtrl::Create(CWnd*, DWORD) {
    m_created = true;
    return TRUE;
}

BOOL CToolTipCtrl::AddTool(CWnd* tool, const QString& text, const RECT*, UINT toolId) {
    if (!m_created || tool == nullptr)
        return FALSE;
    m_tools[{tool->m_hWnd, toolId}] = text;
    Apply();
    return TRUE;
}

void CToolTipCtrl::UpdateTipText(const QString& text, CWnd* tool, UINT toolId) {
    if (tool == nullptr)
        return;
    auto it = m_tools.find({tool->m_hWnd, toolId});
    if (it == m_tools.end())
        return;
    it->second = text;
    Apply();
}

QString CToolTipCtrl::GetText(CWnd* tool, UINT toolId) const {
    if (tool == nullptr)
        return QString();
    auto it = m_tools.find({tool->m_hWnd, toolId});
    return it == m_tools.end() ? QString() : it->second;
}

void CToolTipCtrl::Activate(BOOL active) {
    m_active = active != FALSE;
    Apply();
}

void CToolTipCtrl::SetDelayTime(int, int ms) {
    m_delayMs = ms;
    Apply();
}

int CToolTipCtrl::SetMaxTipWidth(int width) {
    int previous = m_maxWidth;
    m_maxWidth = width;
    Apply();
    return previous;
}

void CToolTipCtrl::Apply() {
    for (const auto& [key, text] : m_tools) {
        CWnd* tool = CWnd::FromHandle(key.first);
        if (tool == nullptr || tool->GetWidget() == nullptr)
            continue;
        QString tip = m_active ? text : QString();
        // Wrapping at the maximum width: the tip is rich text in a box of that width.
        if (!tip.isEmpty() && m_maxWidth > 0)
            tip = QString("<div style='max-width:%1px'>%2</div>")
                      .arg(m_maxWidth)
                      .arg(tip.toHtmlEscaped().replace('\n', "<br>"));
        tool->GetWidget()->setToolTip(tip);
        tool->GetWidget()->setToolTipDuration(-1);
    }
}

#include "platform/ui/tool_tip_ctrl.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QToolTip>

// Shows the tips of the tools it watches on its own timer. The platform's own tip event is swallowed for
// them, so its global wake-up delay never applies; the tool keeps its tip text, which is what is shown.
class ToolTipTimer : public QObject {
public:
    ToolTipTimer() {
        m_wait.setSingleShot(true);
        QObject::connect(&m_wait, &QTimer::timeout, this, [this] { Show(); });
    }
    ~ToolTipTimer() override { Hide(); }

    void Watch(QWidget* tool) {
        for (const QPointer<QWidget>& known : m_tools) {
            if (known == tool)
                return;
        }
        m_tools.emplace_back(tool);
        tool->installEventFilter(this);
    }
    void SetDelay(int ms) { m_delayMs = ms; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* tool = qobject_cast<QWidget*>(watched);
        if (tool == nullptr)
            return false;
        switch (event->type()) {
            case QEvent::ToolTip:
                return true;
            case QEvent::Enter:
                Rest(tool, static_cast<QEnterEvent*>(event)->globalPosition().toPoint());
                break;
            case QEvent::MouseMove:
                // Moving on the tool before the tip shows starts the wait again.
                if (!m_shown)
                    Rest(tool, static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
                break;
            case QEvent::Leave:
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
            case QEvent::Hide:
            case QEvent::Wheel:
                if (tool == m_target)
                    Hide();
                break;
            default:
                break;
        }
        return false;
    }

private:
    void Rest(QWidget* tool, QPoint globalPos) {
        m_target = tool;
        m_pos = globalPos;
        m_wait.start(m_delayMs);
    }
    void Show() {
        if (m_target == nullptr || m_target->toolTip().isEmpty() || !m_target->isVisible())
            return;
        QToolTip::showText(m_pos, m_target->toolTip(), m_target, QRect(), m_delayMs * 10);
        m_shown = true;
    }
    void Hide() {
        m_wait.stop();
        if (m_shown)
            QToolTip::hideText();
        m_shown = false;
        m_target = nullptr;
    }

    std::vector<QPointer<QWidget>> m_tools;
    QPointer<QWidget> m_target;
    QPoint m_pos;
    QTimer m_wait;
    int m_delayMs = 0;
    bool m_shown = false;
};

CToolTipCtrl::CToolTipCtrl() = default;
CToolTipCtrl::~CToolTipCtrl() = default;

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
    if (m_delayMs > 0 && m_timer == nullptr)
        m_timer = std::make_unique<ToolTipTimer>();
    if (m_timer != nullptr)
        m_timer->SetDelay(m_delayMs);
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
        if (m_timer != nullptr)
            m_timer->Watch(tool->GetWidget());
    }
}

#include "platform/ui/range_ctrls.h"

#include <QProgressBar>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/ui/wnd_event_bridge.h"

namespace {
QSlider* Slider(const CWnd* wnd) {
    return qobject_cast<QSlider*>(wnd->GetWidget());
}
QProgressBar* Progress(const CWnd* wnd) {
    return qobject_cast<QProgressBar*>(wnd->GetWidget());
}
}  // namespace

BOOL CSliderCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT nID) {
    auto* slider = new QSlider((style & TBS_VERT) ? Qt::Vertical : Qt::Horizontal);
    slider->setTickPosition((style & TBS_NOTICKS) ? QSlider::NoTicks : QSlider::TicksBelow);
    slider->setRange(0, 100);
    UINT scroll = (style & TBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
    auto notify = [slider, scroll](UINT code, int pos) {
        CWnd* self = WindowOfWidget(slider);
        CWnd* parent = self == nullptr ? nullptr : self->GetParent();
        if (parent == nullptr)
            return;
        WindowEventScope scope;
        parent->SendMessage(scroll, MAKEWPARAM(static_cast<int>(code), pos),
                            reinterpret_cast<LPARAM>(self->m_hWnd));
    };
    // Only the user's moves are told: the slider's action and release signals, never valueChanged.
    QObject::connect(slider, &QSlider::actionTriggered, slider, [slider, notify](int action) {
        if (action == QAbstractSlider::SliderMove)
            notify(TB_THUMBTRACK, slider->sliderPosition());
        else if (action == QAbstractSlider::SliderPageStepAdd)
            notify(TB_PAGEDOWN, slider->sliderPosition());
        else if (action == QAbstractSlider::SliderPageStepSub)
            notify(TB_PAGEUP, slider->sliderPosition());
        else if (action == QAbstractSlider::SliderSingleStepAdd)
            notify(TB_LINEDOWN, slider->sliderPosition());
        else if (action == QAbstractSlider::SliderSingleStepSub)
            notify(TB_LINEUP, slider->sliderPosition());
    });
    QObject::connect(slider, &QSlider::sliderReleased, slider, [slider, notify] {
        notify(TB_THUMBPOSITION, slider->value());
        notify(TB_ENDTRACK, slider->value());
    });
    if (parent != nullptr)
        slider->setParent(parent->GetWidget());
    slider->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
    return Attach(slider, parent, nID, style | WS_CHILD);
}

void CSliderCtrl::SetRange(int minimum, int maximum, BOOL) {
    if (QSlider* slider = Slider(this)) {
        QSignalBlocker block(slider);
        slider->setRange(minimum, maximum);
    }
}

void CSliderCtrl::GetRange(int& minimum, int& maximum) const {
    QSlider* slider = Slider(this);
    minimum = slider == nullptr ? 0 : slider->minimum();
    maximum = slider == nullptr ? 0 : slider->maximum();
}

int CSliderCtrl::GetPos() const {
    return Slider(this) == nullptr ? 0 : Slider(this)->value();
}

void CSliderCtrl::SetPos(int pos) {
    if (QSlider* slider = Slider(this)) {
        QSignalBlocker block(slider);
        slider->setValue(pos);
    }
}

void CSliderCtrl::SetPageSize(int size) {
    if (QSlider* slider = Slider(this))
        slider->setPageStep(size);
}

void CSliderCtrl::SetTicFreq(int freq) {
    if (QSlider* slider = Slider(this))
        slider->setTickInterval(freq);
}

BOOL CProgressCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT nID) {
    auto* bar = new QProgressBar;
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    if (parent != nullptr)
        bar->setParent(parent->GetWidget());
    bar->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
    return Attach(bar, parent, nID, style | WS_CHILD);
}

void CProgressCtrl::SetRange(short lower, short upper) {
    SetRange32(lower, upper);
}

void CProgressCtrl::SetRange32(int lower, int upper) {
    if (QProgressBar* bar = Progress(this))
        bar->setRange(lower, upper);
}

int CProgressCtrl::GetPos() const {
    return Progress(this) == nullptr ? 0 : Progress(this)->value();
}

int CProgressCtrl::SetPos(int pos) {
    QProgressBar* bar = Progress(this);
    if (bar == nullptr)
        return 0;
    int previous = bar->value();
    bar->setValue(std::clamp(pos, bar->minimum(), bar->maximum()));
    return previous;
}

BOOL CSpinButtonCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT nID) {
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* up = new QToolButton(box);
    auto* down = new QToolButton(box);
    up->setArrowType(Qt::UpArrow);
    down->setArrowType(Qt::DownArrow);
    up->setAutoRepeat(true);
    down->setAutoRepeat(true);
    layout->addWidget(up);
    layout->addWidget(down);
    QObject::connect(up, &QToolButton::clicked, box, [box] {
        if (auto* self = CurrentWindow<CSpinButtonCtrl>(box))
            self->Step(1);
    });
    QObject::connect(down, &QToolButton::clicked, box, [box] {
        if (auto* self = CurrentWindow<CSpinButtonCtrl>(box))
            self->Step(-1);
    });
    if (parent != nullptr)
        box->setParent(parent->GetWidget());
    box->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
    return Attach(box, parent, nID, style | WS_CHILD);
}

void CSpinButtonCtrl::Step(int delta) {
    // A range given upside down (upper below lower) turns the arrows round, as the platform does.
    if (m_upper < m_lower)
        delta = -delta;
    WindowEventScope scope;
    NMUPDOWN nm;
    nm.hdr.code = UDN_DELTAPOS;
    nm.iPos = m_pos;
    nm.iDelta = delta;
    if (NotifyParent(&nm.hdr) != 0)
        return;
    SetPos32(m_pos + nm.iDelta);
    CWnd* parent = GetParent();
    if (parent != nullptr) {
        parent->SendMessage((GetStyle() & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL,
                            MAKEWPARAM(static_cast<int>(TB_THUMBPOSITION), m_pos),
                            reinterpret_cast<LPARAM>(m_hWnd));
    }
}

void CSpinButtonCtrl::TakeOverState(const CWnd& from) {
    if (auto* spin = dynamic_cast<const CSpinButtonCtrl*>(&from)) {
        m_buddy = spin->m_buddy;
        m_lower = spin->m_lower;
        m_upper = spin->m_upper;
        m_pos = spin->m_pos;
    }
}

void CSpinButtonCtrl::SetRange32(int lower, int upper) {
    m_lower = lower;
    m_upper = upper;
    SetPos32(m_pos);
}

void CSpinButtonCtrl::GetRange32(int& lower, int& upper) const {
    lower = m_lower;
    upper = m_upper;
}

int CSpinButtonCtrl::GetPos32() const {
    // With a buddy the position is the number the buddy shows.
    if (CWnd* buddy = GetBuddy(); buddy != nullptr && (GetStyle() & UDS_SETBUDDYINT)) {
        bool ok = false;
        int value = buddy->GetWindowText().toInt(&ok);
        if (ok)
            return std::clamp(value, std::min(m_lower, m_upper), std::max(m_lower, m_upper));
    }
    return m_pos;
}

int CSpinButtonCtrl::SetPos32(int pos) {
    int previous = m_pos;
    m_pos = std::clamp(pos, std::min(m_lower, m_upper), std::max(m_lower, m_upper));
    if (CWnd* buddy = GetBuddy(); buddy != nullptr && (GetStyle() & UDS_SETBUDDYINT))
        buddy->SetWindowText(QString::number(m_pos));
    return previous;
}

CWnd* CSpinButtonCtrl::SetBuddy(CWnd* buddy) {
    CWnd* previous = GetBuddy();
    m_buddy = buddy == nullptr ? nullptr : buddy->m_hWnd;
    if (buddy != nullptr && (GetStyle() & UDS_ALIGNRIGHT) && buddy->GetWidget() != nullptr &&
        GetWidget() != nullptr) {
        QRect r = buddy->GetWidget()->geometry();
        int width = GetWidget()->width() > 0 ? GetWidget()->width() : 16;
        GetWidget()->setGeometry(r.right() + 1, r.top(), width, r.height());
    }
    return previous;
}

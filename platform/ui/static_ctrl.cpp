#include "platform/ui/static_ctrl.h"

#include <QLabel>
#include <QPixmap>

BOOL CStatic::Create(const QString& text, DWORD style, const RECT& rect, CWnd* parent, UINT nID) {
    auto* label = new QLabel(text);
    Qt::Alignment align = (style & 0x3) == SS_CENTER  ? Qt::AlignHCenter
                          : (style & 0x3) == SS_RIGHT ? Qt::AlignRight
                                                      : Qt::AlignLeft;
    label->setAlignment(align | ((style & SS_CENTERIMAGE) ? Qt::AlignVCenter : Qt::AlignTop));
    label->setWordWrap((style & SS_CENTERIMAGE) == 0);
    if (parent != nullptr)
        label->setParent(parent->GetWidget());
    label->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
    return Attach(label, parent, nID, style | WS_CHILD);
}

HBITMAP CStatic::SetBitmap(HBITMAP bitmap) {
    HBITMAP previous = m_bitmap;
    m_bitmap = bitmap;
    if (auto* label = qobject_cast<QLabel*>(GetWidget()))
        label->setPixmap(bitmap == nullptr ? QPixmap() : QPixmap::fromImage(bitmap->image));
    return previous;
}

void CStatic::SetTextOfWidget(const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(GetWidget()))
        label->setText(text);
}

QString CStatic::TextOfWidget() const {
    auto* label = qobject_cast<QLabel*>(GetWidget());
    return label == nullptr ? QString() : label->text();
}

void CStatic::OnLButtonDown(UINT nFlags, POINT point) {
    if (GetStyle() & SS_NOTIFY)
        NotifyParentCommand(STN_CLICKED);
    CWnd::OnLButtonDown(nFlags, point);
}

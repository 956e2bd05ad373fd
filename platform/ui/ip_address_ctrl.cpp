#include "platform/ui/ip_address_ctrl.h"

#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>

namespace {

QList<QLineEdit*> Fields(const CWnd* wnd) {
    QList<QLineEdit*> fields;
    if (wnd->GetWidget() != nullptr)
        fields = wnd->GetWidget()->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly);
    return fields;
}

}  // namespace

BOOL CIPAddressCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT nID) {
    auto* box = new QWidget;
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < 4; ++i) {
        auto* field = new QLineEdit(box);
        field->setValidator(new QIntValidator(0, 255, field));
        field->setAlignment(Qt::AlignCenter);
        field->setMaxLength(3);
        field->setObjectName(QString("field%1").arg(i));
        QObject::connect(field, &QLineEdit::textEdited, box, [box] {
            if (auto* self = CurrentWindow<CIPAddressCtrl>(box))
                self->NotifyParentCommand(EN_CHANGE);
        });
        layout->addWidget(field);
        if (i < 3)
            layout->addWidget(new QLabel(".", box));
    }
    if (parent != nullptr)
        box->setParent(parent->GetWidget());
    box->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
    return Attach(box, parent, nID, style | WS_CHILD);
}

void CIPAddressCtrl::SetAddress(DWORD address) {
    SetAddress(static_cast<BYTE>(address >> 24), static_cast<BYTE>(address >> 16),
               static_cast<BYTE>(address >> 8), static_cast<BYTE>(address));
}

void CIPAddressCtrl::SetAddress(BYTE f0, BYTE f1, BYTE f2, BYTE f3) {
    QList<QLineEdit*> fields = Fields(this);
    const BYTE values[4] = {f0, f1, f2, f3};
    for (int i = 0; i < fields.size() && i < 4; ++i)
        fields[i]->setText(QString::number(values[i]));
}

int CIPAddressCtrl::GetAddress(DWORD& address) const {
    BYTE f[4] = {0, 0, 0, 0};
    int count = GetAddress(f[0], f[1], f[2], f[3]);
    address = (DWORD{f[0]} << 24) | (DWORD{f[1]} << 16) | (DWORD{f[2]} << 8) | DWORD{f[3]};
    return count;
}

int CIPAddressCtrl::GetAddress(BYTE& f0, BYTE& f1, BYTE& f2, BYTE& f3) const {
    QList<QLineEdit*> fields = Fields(this);
    BYTE* out[4] = {&f0, &f1, &f2, &f3};
    int count = 0;
    for (int i = 0; i < 4; ++i) {
        *out[i] = 0;
        if (i < fields.size() && !fields[i]->text().isEmpty()) {
            *out[i] = static_cast<BYTE>(std::min(255, fields[i]->text().toInt()));
            ++count;
        }
    }
    return count;
}

void CIPAddressCtrl::ClearAddress() {
    for (QLineEdit* field : Fields(this))
        field->clear();
}

BOOL CIPAddressCtrl::IsBlank() const {
    for (QLineEdit* field : Fields(this)) {
        if (!field->text().isEmpty())
            return FALSE;
    }
    return TRUE;
}

void CIPAddressCtrl::SetTextOfWidget(const QString& text) {
    QStringList parts = text.split('.');
    QList<QLineEdit*> fields = Fields(this);
    for (int i = 0; i < fields.size(); ++i)
        fields[i]->setText(i < parts.size() ? parts[i] : QString());
}

QString CIPAddressCtrl::TextOfWidget() const {
    BYTE f[4];
    GetAddress(f[0], f[1], f[2], f[3]);
    return QString("%1.%2.%3.%4").arg(f[0]).arg(f[1]).arg(f[2]).arg(f[3]);
}

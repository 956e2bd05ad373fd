#include <cstring>

#include "platform/ui/button.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/date_ctrls.h"
#include "platform/ui/dialog.h"
#include "platform/ui/dialog_font.h"
#include "platform/ui/edit.h"
#include "platform/ui/ip_address_ctrl.h"
#include "platform/ui/list_box.h"
#include "platform/ui/list_ctrl.h"
#include "platform/ui/range_ctrls.h"
#include "platform/ui/static_ctrl.h"
#include "platform/ui/tab_ctrl.h"
#include "platform/ui/tree_ctrl.h"

namespace {

struct ControlParams {
    DWORD style;
    RECT rect;
    CWnd* parent;
    UINT id;
    QString text;
};

// Controls created as (style, rect, parent, id); a template text becomes the window text.
template <typename Control>
std::unique_ptr<CWnd> Build(const ControlParams& params) {
    auto control = std::make_unique<Control>();
    if (!control->Create(params.style, params.rect, params.parent, params.id))
        return nullptr;
    if (!params.text.isEmpty())
        control->SetWindowText(params.text);
    return control;
}

// Controls created with their text.
template <typename Control>
std::unique_ptr<CWnd> BuildWithText(const ControlParams& params) {
    auto control = std::make_unique<Control>();
    if (!control->Create(params.text, params.style, params.rect, params.parent, params.id))
        return nullptr;
    return control;
}

struct FactoryEntry {
    const char* windowClass;
    std::unique_ptr<CWnd> (*build)(const ControlParams&);
};

const FactoryEntry kFactory[] = {
    {WC_EDIT, Build<CEdit>},
    {WC_STATIC, BuildWithText<CStatic>},
    {WC_COMBOBOX, Build<CComboBox>},
    {WC_LISTBOX, Build<CListBox>},
    {WC_LISTVIEW, Build<CListCtrl>},
    {WC_TREEVIEW, Build<CTreeCtrl>},
    {WC_TABCONTROL, Build<CTabCtrl>},
    {WC_TRACKBAR, Build<CSliderCtrl>},
    {WC_PROGRESS, Build<CProgressCtrl>},
    {WC_UPDOWN, Build<CSpinButtonCtrl>},
    {WC_DATETIMEPICK, Build<CDateTimeCtrl>},
    {WC_MONTHCAL, Build<CMonthCalCtrl>},
    {WC_IPADDRESS, Build<CIPAddressCtrl>},
};

}  // namespace

std::unique_ptr<CWnd> CreateTemplateControl(const DialogItemTemplate& item, CWnd* parent, int radioGroup) {
    DialogPixelRect pixels = DialogRectToPixels(item.x, item.y, item.cx, item.cy);
    ControlParams params{item.style | WS_CHILD,
                         RECT{pixels.x, pixels.y, pixels.x + pixels.cx, pixels.y + pixels.cy}, parent,
                         item.id, QString::fromUtf8(item.text == nullptr ? "" : item.text)};
    if (item.windowClass == nullptr)
        return nullptr;
    if (strcasecmp(item.windowClass, WC_BUTTON) == 0) {
        auto button = std::make_unique<CButton>();
        button->SetRadioGroup(radioGroup);
        if (!button->Create(params.text, params.style, params.rect, parent, item.id))
            return nullptr;
        return button;
    }
    for (const FactoryEntry& entry : kFactory) {
        if (strcasecmp(item.windowClass, entry.windowClass) == 0)
            return entry.build(params);
    }
    return nullptr;
}

#include "ui/dialogs/setup_combo.h"

#include "platform/ui/combo_box.h"

void AddComboItem(CComboBox& box, const QString& text, int data) {
    const int item = box.AddString(text);
    if (item >= 0)
        box.SetItemData(item, static_cast<uintptr_t>(static_cast<intptr_t>(data)));
}

void SelectComboData(CComboBox& box, int value, bool firstWhenNone) {
    int selected = firstWhenNone ? 0 : -1;
    for (int i = box.GetCount() - 1; i >= 0; --i) {
        if (static_cast<int>(static_cast<intptr_t>(box.GetItemData(i))) == value)
            selected = i;
    }
    box.SetCurSel(box.GetCount() > 0 ? selected : -1);
}

std::optional<int> SelectedComboData(const CComboBox& box) {
    const int selected = box.GetCurSel();
    if (selected < 0)
        return std::nullopt;
    return static_cast<int>(static_cast<intptr_t>(box.GetItemData(selected)));
}

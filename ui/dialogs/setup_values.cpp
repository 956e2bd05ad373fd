#include "ui/dialogs/setup_values.h"

#include "platform/ui/combo_box.h"

void FillValueCombo(CComboBox& combo, const std::vector<ValueItem>& items) {
    combo.ResetContent();
    for (const ValueItem& item : items) {
        int index = combo.AddString(item.text);
        if (index >= 0)
            combo.SetItemData(index, static_cast<uintptr_t>(static_cast<intptr_t>(item.value)));
    }
    combo.SetCurSel(-1);
}

void SelectValue(CComboBox& combo, int value) {
    int count = combo.GetCount();
    for (int i = 0; i < count; ++i) {
        if (static_cast<int>(static_cast<intptr_t>(combo.GetItemData(i))) == value) {
            combo.SetCurSel(i);
            return;
        }
    }
    if (count > 0)
        combo.SetCurSel(0);
}

int PickedValue(const CComboBox& combo, int keep) {
    int selected = combo.GetCurSel();
    if (selected < 0)
        return keep;
    return static_cast<int>(static_cast<intptr_t>(combo.GetItemData(selected)));
}

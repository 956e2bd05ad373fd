#include "ui/dialogs/setup_values.h"

#include "platform/ui/combo_box.h"
#include "ui/dialogs/setup_combo.h"

void FillValueCombo(CComboBox& combo, const std::vector<ValueItem>& items) {
    combo.ResetContent();
    for (const ValueItem& item : items)
        AddComboItem(combo, item.text, item.value);
    combo.SetCurSel(-1);
}

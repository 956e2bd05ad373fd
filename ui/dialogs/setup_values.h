#pragma once

// Value combos of the setup pages: drop-down lists whose items carry the stored value as item data. A
// reply selects the item of the record's value; Set reads the selected item's data back.

#include <QString>
#include <cstdint>
#include <vector>

class CComboBox;

struct ValueItem {
    QString text;
    int value;
};

// Empties the combo and inserts the items in order, none selected.
void FillValueCombo(CComboBox& combo, const std::vector<ValueItem>& items);
// Selects the first item whose data is value, item 0 when none is (nothing in an empty combo).
void SelectValue(CComboBox& combo, int value);
// The selected item's data; keep when nothing is selected, so a combo the operator never saw filled
// leaves the record's value alone.
int PickedValue(const CComboBox& combo, int keep);

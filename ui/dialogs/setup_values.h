#pragma once

// Filling the value combos of the setup pages: drop-down lists whose items carry the stored value as item
// data (setup_combo.h selects and reads them).

#include <QString>
#include <vector>

class CComboBox;

struct ValueItem {
    QString text;
    int value;
};

// Empties the combo and inserts the items in order, none selected.
void FillValueCombo(CComboBox& combo, const std::vector<ValueItem>& items);

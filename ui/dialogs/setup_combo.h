#pragma once

// Value lists of the setup pages: drop-down lists whose items carry the record value as item data.

#include <QString>
#include <optional>

class CComboBox;

// Appends an item with that data.
void AddComboItem(CComboBox& box, const QString& text, int data);
// Selects the first item whose data equals value. When none does: item 0 with firstWhenNone (nothing in
// an empty list), else no item, so that the list keeps the record's value at the next Set.
void SelectComboData(CComboBox& box, int value, bool firstWhenNone = true);
// The selected item's data; empty without a selection.
std::optional<int> SelectedComboData(const CComboBox& box);

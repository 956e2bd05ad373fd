#pragma once

// Value lists of the setup pages: drop-down lists whose items carry the record value as item data.

#include <QString>
#include <optional>

class CComboBox;

// Appends an item with that data.
void AddComboItem(CComboBox& box, const QString& text, int data);
// Selects the first item whose data equals value, item 0 when none does (nothing in an empty list).
void SelectComboData(CComboBox& box, int value);
// The selected item's data; empty without a selection.
std::optional<int> SelectedComboData(const CComboBox& box);

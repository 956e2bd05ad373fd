#include "ui/dialogs/setup_page_controls.h"

#include "dvr/dvr_session.h"
#include "platform/ui/combo_box.h"
#include "ui/dialogs/setup_combo.h"

void EnableItem(const CWnd* page, UINT id, BOOL enable) {
    if (CWnd* item = page->GetDlgItem(id))
        item->EnableWindow(enable);
}

int SelectedItemData(const CWnd* page, UINT id) {
    auto* combo = PageItem<CComboBox>(page, id);
    return combo == nullptr ? -1 : SelectedComboData(*combo).value_or(-1);
}

void SelectItemByData(const CWnd* page, UINT id, int data, bool firstWhenNone) {
    if (auto* combo = PageItem<CComboBox>(page, id))
        SelectComboData(*combo, data, firstWhenNone);
}

DVRChannel* SelectedDeviceChannel(int channel) {
    DVRDevice* device = g_currentDevice.load();
    if (device == nullptr || device->channels == nullptr || channel < 0 ||
        channel >= device->channelCount.load())
        return nullptr;
    return &device->channels[channel];
}

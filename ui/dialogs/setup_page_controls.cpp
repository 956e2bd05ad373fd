#include "ui/dialogs/setup_page_controls.h"

#include "dvr/dvr_session.h"
#include "platform/ui/combo_box.h"

void EnableItem(const CWnd* page, UINT id, BOOL enable) {
    if (CWnd* item = page->GetDlgItem(id))
        item->EnableWindow(enable);
}

int SelectedItemData(const CWnd* page, UINT id) {
    auto* combo = PageItem<CComboBox>(page, id);
    if (combo == nullptr || combo->GetCurSel() < 0)
        return -1;
    return static_cast<int>(combo->GetItemData(combo->GetCurSel()));
}

void SelectItemByData(const CWnd* page, UINT id, int data) {
    auto* combo = PageItem<CComboBox>(page, id);
    if (combo == nullptr)
        return;
    int found = 0;
    for (int i = 0; i < combo->GetCount(); ++i) {
        if (static_cast<int>(combo->GetItemData(i)) == data) {
            found = i;
            break;
        }
    }
    combo->SetCurSel(found);
}

DVRChannel* SelectedDeviceChannel(int channel) {
    DVRDevice* device = g_currentDevice.load();
    if (device == nullptr || device->channels == nullptr || channel < 0 ||
        channel >= device->channelCount.load())
        return nullptr;
    return &device->channels[channel];
}

#pragma once

// What the channel and camera page suites share: a selected DVR with named channels, and an owner window
// that records the messages the page posts to it.

#include <QString>
#include <algorithm>
#include <memory>
#include <vector>

#include "core/window_messages.h"
#include "dvr/dvr_session.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/wnd.h"
#include "tests/platform/ui/ui_test_support.h"

namespace setup_test {

// A selected DVR with count channels named "Cam <i>".
class SelectedDevice {
public:
    explicit SelectedDevice(int count) : m_device(new DVRDevice()) {
        m_ok = AllocDeviceChannels(m_device.get(), count) == 0;
        for (int i = 0; m_ok && i < count; ++i) {
            QString name = QString("Cam %1").arg(i);
            std::copy_n(reinterpret_cast<const char16_t*>(name.utf16()), name.size(),
                        m_device->channels[i].name);
        }
        g_currentDevice = m_device.get();
    }
    ~SelectedDevice() { g_currentDevice = nullptr; }
    bool ok() const { return m_ok; }
    DVRDevice* get() const { return m_device.get(); }
    DVRChannel& operator[](int i) const { return m_device->channels[i]; }

private:
    std::unique_ptr<DVRDevice> m_device;
    bool m_ok = false;
};

struct Posted {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Posted& other) const {
        return message == other.message && wParam == other.wParam && lParam == other.lParam;
    }
};

// The host stand-in: every message posted to it is logged.
class PageOwner : public CWnd {
public:
    BOOL CreateOwner() { return Attach(new QWidget, nullptr, 0, WS_POPUP); }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message >= WM_USER)
            posts.push_back(Posted{message, wParam, lParam});
        return CWnd::WindowProc(message, wParam, lParam);
    }
    int Count(UINT message) const {
        return static_cast<int>(
            std::count_if(posts.begin(), posts.end(), [&](const Posted& p) { return p.message == message; }));
    }
    std::vector<Posted> posts;
};

// A page whose channel picker the test answers: the channels in picked, and IDOK.
template <typename Page>
class PickerPage : public Page {
public:
    using Page::Page;
    std::vector<int> picked;

protected:
    intptr_t RunChannelPicker(uint8_t* mask) override {
        for (int ch : picked)
            mask[ch / 8] = static_cast<uint8_t>(mask[ch / 8] | (1u << (ch % 8)));
        return IDOK;
    }
};

// Chooses channel in the page's channel combo as the operator does.
inline void ChooseChannel(CWnd* page, int channel) {
    auto* combo = dynamic_cast<CComboBox*>(page->GetDlgItem(1062));
    for (int i = 0; combo != nullptr && i < combo->GetCount(); ++i) {
        if (static_cast<int>(combo->GetItemData(i)) == channel)
            combo->SetCurSel(i);
    }
    page->SendMessage(WM_COMMAND, MAKEWPARAM(1062, CBN_SELCHANGE),
                      reinterpret_cast<LPARAM>(page->GetDlgItem(1062)->GetSafeHwnd()));
    DrainPostedEvents();
}

// A reply as the setup dialog routes it to the page.
inline void PostReply(CWnd* page, int type, int channel) {
    page->PostMessage(WM_DEVICE_PARAMS_RECEIVED, static_cast<WPARAM>(type), channel);
    DrainPostedEvents();
}

inline void ClickButton(CWnd* page, UINT id) {
    page->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                      reinterpret_cast<LPARAM>(page->GetDlgItem(id)->GetSafeHwnd()));
    DrainPostedEvents();
}

}  // namespace setup_test

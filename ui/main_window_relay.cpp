// The request relay: the setup, status and playback dialogs post window messages, and the main window
// turns each into the protocol requests for the DVR selected in the device tree, or into an action of its
// own. Every handled message is consumed whether or not anything was sent; the heap records that travel
// with the playback messages and the WAN delete are freed here in every case.

#include <QDateTime>
#include <cstdlib>
#include <memory>

#include "core/tarvik_app.h"
#include "core/window_messages.h"
#include "dvr/channel_requests.h"
#include "dvr/device_requests.h"
#include "dvr/device_tree.h"
#include "dvr/dvr_protocol.h"
#include "dvr/dvr_session.h"
#include "dvr/playback_requests.h"
#include "dvr/wan_client.h"
#include "media/screen_slot.h"
#include "ui/main_window.h"
#include "ui/slot_channels.h"

namespace {

// A 16-bit word of a message, 0xFFFF meaning -1.
int SignedWord(uintptr_t word) {
    word &= 0xFFFF;
    return word == 0xFFFF ? -1 : static_cast<int>(word);
}

bool IsChannelOf(DVRDevice* device, LPARAM channel) {
    return channel >= 0 && channel < device->channelCount.load();
}

int UserCountOf(DVRDevice* device) {
    auto users = device->lists.users.Current();
    return users != nullptr ? static_cast<int>(users->size()) : 0;
}

using ChannelRequest = int (*)(DVRDevice*, int);

// The requests of one setup page for a channel, in the order they are sent.
struct PageRequests {
    int page;
    ChannelRequest load[3];
    ChannelRequest save[3];
};
constexpr PageRequests kChannelPages[] = {
    {SETUP_PAGE_CHANNEL,
     {SendGetOverlayParams, SendGetColorParams, SendGetVideoMask},
     {SendSetOverlayParams, SendSetColorParams, SendSetVideoMask}},
    {SETUP_PAGE_VIDEO,
     {SendGetVideoParams, SendGetAudioParams, SendGetSubStreamParams},
     {SendSetVideoParams, SendSetAudioParams, SendSetSubStreamParams}},
    {SETUP_PAGE_CAMERA,
     {SendGetCameraParams, SendGetPresets, nullptr},
     {SendSetCameraParams, SendSetPresets, nullptr}},
    {SETUP_PAGE_RECORD, {SendGetSchedule, nullptr, nullptr}, {SendSetSchedule, nullptr, nullptr}},
    {SETUP_PAGE_ALARM,
     {SendGetAlarmParams, SendGetMotionMask, nullptr},
     {SendSetAlarmParams, SendSetMotionMask, nullptr}},
};

const PageRequests* ChannelPage(WPARAM page) {
    for (const PageRequests& p : kChannelPages) {
        if (static_cast<WPARAM>(p.page) == page)
            return &p;
    }
    return nullptr;
}

// Sends each request; -1 when one of them could not be sent.
int SendAll(const ChannelRequest (&requests)[3], DVRDevice* device, int channel) {
    int result = 0;
    for (ChannelRequest request : requests) {
        if (request != nullptr && request(device, channel) < 0)
            result = -1;
    }
    return result;
}

// The save requests of a page; -1 when a request was refused (a text its field cannot carry) or could not
// be sent, so that the page does not report a save that never left.
int RelaySetupSave(DVRDevice* device, WPARAM page, LPARAM lParam) {
    if (page == SETUP_PAGE_SYSTEM)
        return SendSetSystemParams(device) < 0 ? -1 : 0;
    if (page == SETUP_PAGE_USER)
        return SendSetUserParams(device, SignedWord(static_cast<uintptr_t>(lParam) >> 16),
                                 SignedWord(lParam)) < 0
                   ? -1
                   : 0;
    if (page == SETUP_PAGE_NETWORK)
        return SendSetNetworkParams(device) < 0 ? -1 : 0;
    if (const PageRequests* p = ChannelPage(page); p != nullptr && IsChannelOf(device, lParam))
        return SendAll(p->save, device, static_cast<int>(lParam));
    return 0;
}

void RelaySetupLoad(DVRDevice* device, WPARAM page, LPARAM lParam) {
    if (page == SETUP_PAGE_SYSTEM) {
        (void)SendGetDiskList(device);
        (void)SendGetLanguageList(device);
        // The next system-parameters reply is taken again, so a second load refreshes the page.
        device->flags.fetch_and(~DEVICE_FLAG_SYSTEM_PARAMS);
        (void)SendGetSystemParams(device);
    } else if (page == SETUP_PAGE_USER) {
        if (lParam == -1) {
            (void)SendGetUserList(device);
        } else if (lParam >= 0 && lParam < UserCountOf(device)) {
            (void)SendGetUserParams(device, static_cast<int>(lParam), 0);
            (void)SendGetUserParams(device, static_cast<int>(lParam), 1);
        }
    } else if (page == SETUP_PAGE_NETWORK) {
        (void)SendGetNetworkParams(device);
    } else if (const PageRequests* p = ChannelPage(page); p != nullptr && IsChannelOf(device, lParam)) {
        SendAll(p->load, device, static_cast<int>(lParam));
    }
}

}  // namespace

BOOL CTarvikDlg::PreTranslateMessage(MSG* pMsg) {
    const WPARAM wParam = pMsg->wParam;
    const LPARAM lParam = pMsg->lParam;
    DVRDevice* device = g_currentDevice.load();
    switch (pMsg->message) {
        case WM_SETUP_SAVE:
            if (device != nullptr && RelaySetupSave(device, wParam, lParam) != 0 && m_pDlgSetup != nullptr)
                m_pDlgSetup->PostMessage(WM_SETUP_SAVE_REFUSED, wParam, lParam);
            return TRUE;
        case WM_SETUP_APPLY:
            if (device != nullptr && wParam == SETUP_PAGE_CHANNEL && IsChannelOf(device, lParam))
                (void)SendSetColorParams(device, static_cast<int>(lParam));
            return TRUE;
        case WM_SETUP_LOAD:
            if (device != nullptr)
                RelaySetupLoad(device, wParam, lParam);
            return TRUE;
        case WM_LANGUAGE_CHANGED:
            ReloadLanguage();
            for (CDialog* child : {m_pDlgPlayback, m_pDlgSetup, m_pDlgStatus}) {
                if (child != nullptr)
                    child->PostMessage(WM_APPLY_LANGUAGE, reinterpret_cast<WPARAM>(this), 0);
            }
            return TRUE;
        case WM_CHILD_CLOSED:
            OnChildClosed(wParam);
            return TRUE;
        case WM_DEVICE_TREE_CHANGED:
            if (m_treeView != nullptr)
                LoadDeviceTree();  // the reload, in slices
            return TRUE;
        case WM_RECORD_DISKFULL:
            if (m_diskFull.OnRecordDiskFull(wParam, QDateTime::currentSecsSinceEpoch()))
                (void)ShowMessageBox(RecordDiskFullText(), MB_OK);
            return TRUE;
        case WM_PREVIEW_OPEN: {
            int view = static_cast<int>(wParam & 0xFFFF);
            int channel = SignedWord(static_cast<uintptr_t>(wParam) >> 16);
            if (view < 0 || view >= PREVIEW_WINDOW_COUNT)
                return TRUE;
            // The window is known before the slot shows anything in it.
            g_previewWindows[view] = reinterpret_cast<HWND>(lParam);
            if (device != nullptr)
                (void)AssignSlotChannel(device, channel, PREVIEW_SLOT_FIRST + view);
            return TRUE;
        }
        case WM_PREVIEW_CLOSE: {
            int view = static_cast<int>(wParam & 0xFFFF);
            if (view < 0 || view >= PREVIEW_WINDOW_COUNT)
                return TRUE;
            g_previewWindows[view] = nullptr;
            // What the preview shows now is released, whichever DVR is selected by then.
            (void)ReleaseSlotShown(PREVIEW_SLOT_FIRST + view, nullptr, nullptr);
            return TRUE;
        }
        case WM_PLAYBACK_SEARCH: {
            std::unique_ptr<PlaybackSearch> search(reinterpret_cast<PlaybackSearch*>(wParam));
            if (device != nullptr)
                (void)SendSearchFiles(device, std::move(search));
            return TRUE;
        }
        case WM_PLAYBACK_OPEN: {
            std::unique_ptr<PlaybackOpen> open(reinterpret_cast<PlaybackOpen*>(wParam));
            if (device != nullptr)
                (void)SendPlaybackOpen(device, std::move(open));
            return TRUE;
        }
        case WM_PLAYBACK_CLOSE:
            if (device != nullptr)
                (void)SendPlaybackClose(device, static_cast<int>(wParam));
            return TRUE;
        case WM_PLAYBACK_QUERY_MONTH:
            if (device != nullptr)
                (void)SendGetMonthRecords(device, static_cast<int32_t>(wParam));
            return TRUE;
        case WM_PLAYBACK_CONTROL: {
            std::unique_ptr<PlaybackControl> control(reinterpret_cast<PlaybackControl*>(wParam));
            if (device != nullptr && control != nullptr)
                (void)SendPlaybackControl(device, control.get(), static_cast<int>(lParam));
            return TRUE;
        }
        case WM_PLAYBACK_QUERY_DAY:
            if (device != nullptr)
                (void)SendGetDayRecords(device, static_cast<uint32_t>(wParam), static_cast<int32_t>(lParam));
            return TRUE;
        case WM_WAN_REQUEST: {
            auto* node = reinterpret_cast<DeviceTreeNode*>(lParam);
            if (wParam == 7)
                SendRelayDeleteDevice(node);
            else
                std::free(node);
            return TRUE;
        }
        case WM_CHANNEL_RESTORE_COLOR:
            if (device != nullptr && IsChannelOf(device, static_cast<LPARAM>(wParam)))
                (void)SendRestoreColor(device, static_cast<int>(wParam), static_cast<int>(lParam));
            return TRUE;
        default:
            break;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

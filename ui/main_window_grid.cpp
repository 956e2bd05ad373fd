// The main window's screen grid: page layout, selection, zoom, paging, full screen, auto-scroll, the
// channels of the device tree put on and taken off the screens, the screen menu and view.dat.

#include <bitset>

#include "core/system_settings.h"
#include "core/tarvik_app.h"
#include "dvr/device_tree.h"
#include "dvr/dvr_session.h"
#include "media/audio_output.h"
#include "media/main_window_state.h"
#include "media/screen_slot.h"
#include "platform/system/paths.h"
#include "platform/ui/menu.h"
#include "ui/main_window.h"
#include "ui/main_window_menus.h"
#include "ui/main_window_timers.h"
#include "ui/slot_channels.h"

namespace {

QString ViewFilePath() {
    return ToNativePath(theApp.m_strDataDir + QStringLiteral("view.dat"));
}

POINT VideoPoint(LPARAM lParam) {
    return POINT{static_cast<int16_t>(lParam & 0xFFFF), static_cast<int16_t>((lParam >> 16) & 0xFFFF)};
}

}  // namespace

RECT CTarvikDlg::VideoArea(bool fullScreen) const {
    RECT window{};
    GetWindowRect(&window);
    return GridVideoArea(window, fullScreen, g_nScreenWidth, g_nScreenHeight);
}

void CTarvikDlg::LayoutScreens(int first, int count, BOOL fullScreen) {
    RECT area = VideoArea(fullScreen != 0);
    if (m_pDlgVideo != nullptr) {
        m_pDlgVideo->MoveWindow(area.left, area.top, area.right - area.left, area.bottom - area.top);
        m_pDlgVideo->ShowWindow(SW_SHOW);
    }
    m_grid.LayoutScreens(first, count, area);
    PublishScreens();
}

// The decode threads draw into the video window: its rectangles are published relative to its corner.
void CTarvikDlg::PublishScreens() {
    RECT origin{};
    if (m_pDlgVideo != nullptr)
        m_pDlgVideo->GetWindowRect(&origin);
    for (int i = 0; i < GRID_SCREENS; ++i) {
        const RECT& r = m_grid.m_rcScreen[i];
        g_mainWindowState.SetScreenRect(i, VideoRect{r.left - origin.left, r.top - origin.top,
                                                     r.right - origin.left, r.bottom - origin.top});
        g_mainWindowState.m_bScreenShown[i] = m_grid.m_bScreenShown[i];
    }
    g_mainWindowState.m_nCurScreen = m_grid.m_nCurScreen;
}

void CTarvikDlg::LoadViews() {
    ViewEntry views[GRID_SCREENS];
    (void)LoadViewFile(ViewFilePath(), views);
    m_screenMemory.Load(views);
}

void CTarvikDlg::SaveViews() {
    ViewEntry shown[GRID_SCREENS];
    for (int i = 0; i < GRID_SCREENS; ++i) {
        ScreenSlot& slot = g_screenSlots[i];
        std::lock_guard<std::mutex> guard(slot.lock);
        DVRDevice* device = slot.device;
        shown[i].deviceId = device != nullptr && device->node != nullptr ? device->node->id : -1;
        shown[i].channel = device != nullptr ? slot.channel : -1;
    }
    // While a tree is loaded its DVRs are the sessions of the device list; a DVR missing from it was
    // removed from the tree. Before a login and between logins no tree is loaded and no DVR was removed.
    std::vector<int> treeIds;
    if (m_bTreeLoaded) {
        std::lock_guard<std::mutex> guard(g_deviceListLock);
        for (DVRDevice* d = g_deviceList; d != nullptr; d = d->next) {
            if (d->node != nullptr)
                treeIds.push_back(d->node->id);
        }
    }
    // A DVR that is offline now keeps the screens it had when it was last seen.
    ViewEntry views[GRID_SCREENS];
    m_screenMemory.ForExit(shown, m_bTreeLoaded ? &treeIds : nullptr, views);
    (void)SaveViewFile(ViewFilePath(), views);
}

void CTarvikDlg::RestoreSavedViews(DVRDevice* device) {
    if (device == nullptr || device->node == nullptr)
        return;
    int count = device->channelCount.load();
    for (const ScreenMemory::Restore& restore : m_screenMemory.TakeForRestore(device->node->id)) {
        if (restore.channel >= count)
            continue;
        DVRDevice* shown = nullptr;
        int shownChannel = -1;
        // A screen in use keeps what it shows; a channel already on a screen is not put on a second one.
        if (SlotShows(g_screenSlots[restore.screen], &shown, &shownChannel) ||
            GridScreenOfChannel(device, restore.channel) >= 0)
            continue;
        if (AssignSlotChannel(device, restore.channel, restore.screen) != 0)
            continue;
        SetChannelItemIcon(device, restore.channel, TREE_ICON_CHANNEL_OPEN);
        // The operator never stopped the recording when the DVR dropped: it goes on in a new file, begun
        // by the stream's first packet with its header.
        if (restore.record)
            (void)SetSlotRecordWanted(restore.screen, true);
    }
}

void CTarvikDlg::RememberAndReleaseScreens(DVRDevice* device, bool keepRecording) {
    if (device == nullptr)
        return;
    int shown[GRID_SCREENS];
    std::bitset<GRID_SCREENS> recording;
    for (int i = 0; i < GRID_SCREENS; ++i) {
        ScreenSlot& slot = g_screenSlots[i];
        std::lock_guard<std::mutex> guard(slot.lock);
        const bool mine = slot.device == device && slot.channel >= 0;
        shown[i] = mine ? slot.channel : -1;
        if (mine && keepRecording && slot.channels != nullptr && slot.channel < slot.channelCount)
            recording.set(i, (slot.channels[slot.channel].flags.load() & CHANNEL_FLAG_RECORD_WANTED) != 0);
    }
    ReleaseDeviceSlots(device);
    if (device->node != nullptr)
        m_screenMemory.RememberDropped(device->node->id, shown, recording);
}

void CTarvikDlg::SetChannelItemIcon(DVRDevice* device, int channel, int image) {
    if (m_treeView != nullptr)
        ::SetChannelItemIcon(m_treeView.get(), device, image, channel);
}

void CTarvikDlg::OnVideoClick(LPARAM lParam) {
    POINT p = VideoPoint(lParam);
    if (m_pDlgVideo != nullptr)
        m_pDlgVideo->ClientToScreen(&p);
    int screen = m_grid.ScreenAt(p);
    if (screen < 0 || screen == m_grid.m_nCurScreen)
        return;
    m_grid.m_nCurScreen = screen;
    g_mainWindowState.m_nCurScreen = screen;
    // The sound follows the selected screen.
    StopAudioOutput(g_liveAudio);
}

void CTarvikDlg::OnVideoDblClk(LPARAM lParam) {
    POINT p = VideoPoint(lParam);
    if (m_pDlgVideo != nullptr)
        m_pDlgVideo->ClientToScreen(&p);
    int screen = m_grid.ScreenAt(p);
    if (screen < 0)
        return;
    if (m_grid.ToggleZoom(screen, VideoArea(m_grid.m_bFullScreen != 0)))
        PublishScreens();
}

void CTarvikDlg::RelayoutPage() {
    LayoutScreens(m_grid.m_nFirstScreen, m_grid.m_nScreenCount, m_grid.m_bFullScreen);
}

void CTarvikDlg::OnVideoRClick(LPARAM lParam) {
    POINT at = VideoPoint(lParam);
    if (m_pDlgVideo != nullptr)
        m_pDlgVideo->ClientToScreen(&at);
    // Where no screen is shown there is nothing to act on.
    if (m_grid.ScreenAt(at) < 0)
        return;
    OnVideoClick(lParam);
    CMenu menu;
    if (!menu.LoadMenu(IDR_MENU_SCREEN))
        return;
    CMenu* popup = menu.GetSubMenu(0);
    if (popup == nullptr)
        return;
    PrepareScreenMenu(*popup, m_grid.m_bFullScreen != 0);
    POINT p = VideoPoint(lParam);
    if (m_pDlgVideo != nullptr)
        m_pDlgVideo->ClientToScreen(&p);
    popup->TrackPopupMenu(TPM_RIGHTBUTTON, p.x, p.y, this);
}

void CTarvikDlg::OnDblClickDeviceTree() {
    if (m_treeView == nullptr)
        return;
    TreeItem item = m_treeView->GetSelectedItem();
    DeviceTreeNode* node = item != nullptr ? m_treeView->GetItemData(item) : nullptr;
    if (node == nullptr || node->type != NODE_CHANNEL)
        return;
    TreeItem parent = m_treeView->GetParentItem(item);
    DeviceTreeNode* dvrNode = parent != nullptr ? m_treeView->GetItemData(parent) : nullptr;
    DVRDevice* device = FindDeviceByNode(dvrNode);
    int channel = node->id;
    if (device == nullptr || channel < 0 || channel >= device->channelCount.load())
        return;
    int shownOn = GridScreenOfChannel(device, channel);
    if (shownOn >= 0) {
        if (ReleaseSlotChannel(device, channel, shownOn) == 0)
            SetChannelItemIcon(device, channel, TREE_ICON_CHANNEL);
        return;
    }
    DVRDevice* replaced = nullptr;
    int replacedChannel = -1;
    if (ReleaseSlotShown(m_grid.m_nCurScreen, &replaced, &replacedChannel) == 0)
        SetChannelItemIcon(replaced, replacedChannel, TREE_ICON_CHANNEL);
    if (AssignSlotChannel(device, channel, m_grid.m_nCurScreen) == 0)
        SetChannelItemIcon(device, channel, TREE_ICON_CHANNEL_OPEN);
}

void CTarvikDlg::OnSelChangeScreenCount() {
    int index = m_comboScreens.GetCurSel();
    if (index < 0)
        return;
    StopAutoScroll();
    m_grid.m_nFirstScreen = 0;
    LayoutScreens(0, static_cast<int>(m_comboScreens.GetItemData(index)), m_grid.m_bFullScreen);
}

void CTarvikDlg::ToggleFullScreen() {
    int fullScreen = m_grid.m_bFullScreen ? 0 : 1;
    LayoutScreens(m_grid.m_nFirstScreen, m_grid.m_nScreenCount, fullScreen);
    m_grid.m_bFullScreen = fullScreen;
}

void CTarvikDlg::NextPage() {
    int first = m_grid.NextPageStart();
    if (first < 0)
        return;
    m_grid.m_nFirstScreen = first;
    LayoutScreens(first, m_grid.m_nScreenCount, m_grid.m_bFullScreen);
}

void CTarvikDlg::PrevPage() {
    int first = m_grid.PrevPageStart();
    if (first < 0)
        return;
    m_grid.m_nFirstScreen = first;
    LayoutScreens(first, m_grid.m_nScreenCount, m_grid.m_bFullScreen);
}

void CTarvikDlg::ToggleAutoScroll() {
    if (m_grid.m_nScreenCount >= GRID_SCREENS)
        return;
    if (m_uTimerAutoScroll != 0) {
        StopAutoScroll();
        return;
    }
    m_uTimerAutoScroll = SetTimer(TIMER_AUTO_SCROLL, AutoScrollPeriodMs(g_systemSettings.ScrollInterval));
}

void CTarvikDlg::StopAutoScroll() {
    if (m_uTimerAutoScroll != 0)
        KillTimer(m_uTimerAutoScroll);
    m_uTimerAutoScroll = 0;
}

void CTarvikDlg::OnAutoScroll() {
    m_grid.m_nFirstScreen += m_grid.m_nScreenCount;
    if (m_grid.m_nFirstScreen >= GRID_SCREENS)
        m_grid.m_nFirstScreen = 0;
    LayoutScreens(m_grid.m_nFirstScreen, m_grid.m_nScreenCount, m_grid.m_bFullScreen);
}

void CTarvikDlg::CloseAllChannels() {
    for (int slot = 0; slot < GRID_SCREENS; ++slot) {
        DVRDevice* device = nullptr;
        int channel = -1;
        if (ReleaseSlotShown(slot, &device, &channel) == 0)
            SetChannelItemIcon(device, channel, TREE_ICON_CHANNEL);
    }
}

void CTarvikDlg::OpenAllChannels() {
    EnableVideoWindow(FALSE);
    EnableControls(0, FALSE);
    CloseAllChannels();
    int screen = 0;
    {
        // The list holds the sessions in tree order; none is freed while it is walked.
        std::lock_guard<std::mutex> guard(g_deviceListLock);
        for (DVRDevice* device = g_deviceList; device != nullptr && screen < GRID_SCREENS;
             device = device->next) {
            int count = device->channelCount.load();
            for (int channel = 0; channel < count && screen < GRID_SCREENS; ++channel, ++screen) {
                if (AssignSlotChannel(device, channel, screen) == 0)
                    SetChannelItemIcon(device, channel, TREE_ICON_CHANNEL_OPEN);
            }
        }
    }
    EnableVideoWindow(TRUE);
    EnableControls(0, TRUE);
}

// The main window's five timers: start-up login, video loss (frame ages, late and lost pictures, the end
// of a lost channel's recording), idle screens, channel lights with the alarm beep, and auto-scroll.

#include "core/system_settings.h"
#include "core/tarvik_app.h"
#include "dvr/device_list_refresh.h"
#include "dvr/device_tree.h"
#include "dvr/dvr_device.h"
#include "dvr/wan_client.h"
#include "media/main_window_state.h"
#include "media/media_system.h"
#include "media/screen_slot.h"
#include "media/video_renderer.h"
#include "platform/ui/dc.h"
#include "ui/alarm_beep.h"
#include "ui/dialogs/dlg_login.h"
#include "ui/frame_age.h"
#include "ui/main_window.h"
#include "ui/main_window_layout.h"
#include "ui/main_window_timers.h"

namespace {

constexpr int kLedSize = 17;

// The channel a slot shows (null when none) with the slot's share of the channel array, which keeps the
// channel alive for the tick.
struct SlotChannel {
    std::shared_ptr<DVRChannel[]> array;
    DVRChannel* channel = nullptr;
};

SlotChannel ChannelOfSlot(int s) {
    SlotChannel result;
    ScreenSlot& slot = g_screenSlots[s];
    std::lock_guard<std::mutex> guard(slot.lock);
    if (slot.device == nullptr || slot.channels == nullptr || slot.channel < 0 ||
        slot.channel >= slot.channelCount)
        return result;
    result.array = slot.channels;
    result.channel = &slot.channels[slot.channel];
    return result;
}

void PushEndMarker(int s) {
    FrameQueue* queue = g_screenSlots[s].recordVideoQueue.get();
    FrameNode* node = nullptr;
    if (queue == nullptr || queue->GetFreeNode(&node) != 0 || node == nullptr)
        return;
    (void)queue->SetNodePayload(node, 0, nullptr);
    (void)queue->PushReady(node);
}

}  // namespace

void CTarvikDlg::OnTimer(uintptr_t nIDEvent) {
    switch (nIDEvent) {
        case TIMER_VIDEO_LOSS:
            UpdateVideoLoss();
            return;
        case TIMER_STARTUP:
            OnStartupLogin();
            return;
        case TIMER_AUTO_SCROLL:
            OnAutoScroll();
            return;
        case TIMER_LEDS:
            UpdateChannelLeds();
            return;
        case TIMER_IDLE_SCREENS:
            DrawIdleScreens();
            return;
        case TIMER_TREE_LOAD:
            if (ContinueDeviceTreeLoad(TREE_LOAD_SLICE_MS) == 0) {
                KillTimer(TIMER_TREE_LOAD);
                m_bTreeLoaded = true;
            }
            return;
        default:
            CDialog::OnTimer(nIDEvent);
    }
}

void CTarvikDlg::OnStartupLogin() {
    KillTimer(TIMER_STARTUP);
    m_uTimerStartup = 0;
    if (theApp.m_bAutoLogin)
        g_bLoggedIn = CheckLogin(theApp.m_strUserName, theApp.m_strUserPassword) == LOGIN_OK ? 1 : 0;
    if (!g_bLoggedIn) {
        (void)RunLoginDialog(&theApp.m_strUserName, 0, &theApp.m_strUserPassword);
        if (!g_bLoggedIn || m_bCloseRequested)
            return;
    }
    RefreshDeviceList();
    ApplyLoginState();
    if (CBitButton* login = Button(1032))
        login->Invalidate();
}

void CTarvikDlg::UpdateVideoLoss() {
    SlotChannel held[FRAME_AGE_SLOTS];
    DVRChannel* channels[FRAME_AGE_SLOTS] = {};
    for (int s = 0; s < FRAME_AGE_SLOTS; ++s) {
        held[s] = ChannelOfSlot(s);
        channels[s] = held[s].channel;
    }
    FrameAgeTick tick{};
    RunFrameAgeTick(channels, tick);
    for (int i = 0; i < tick.endMarkerCount; ++i)
        PushEndMarker(tick.endMarkerSlots[i]);

    VideoRenderer* grid = g_renderers[0].get();
    for (int s = 0; s < FRAME_AGE_SLOTS; ++s) {
        const FrameAgeState& state = tick.slotStates[s];
        if (channels[s] == nullptr || !state.late)
            continue;
        ScreenSlot& slot = g_screenSlots[s];
        std::lock_guard<std::mutex> guard(slot.lastFrameLock);
        bool haveLast = slot.lastFrame != nullptr && slot.lastFrameWidth > 0 && slot.lastFrameHeight > 0;
        LatePicture what =
            PictureForLateScreen(state.lost, m_bPlaybackOpen != 0, haveLast, !g_noVideoImage.data.empty());
        if (what == LatePicture::None)
            continue;
        const uint8_t* picture = what == LatePicture::LastFrame ? slot.lastFrame : g_noVideoImage.data.data();
        int w = what == LatePicture::LastFrame ? slot.lastFrameWidth : g_noVideoImage.width;
        int h = what == LatePicture::LastFrame ? slot.lastFrameHeight : g_noVideoImage.height;
        if (s >= PREVIEW_SLOT_FIRST) {
            int view = s - PREVIEW_SLOT_FIRST;
            HWND window = g_previewWindows[view].load();
            CWnd* preview = CWnd::FromHandle(window);
            VideoRenderer* renderer = g_renderers[view + 1].get();
            if (preview != nullptr && preview->IsWindowVisible() && renderer != nullptr) {
                (void)renderer->SetWindow(window);
                renderer->RenderToWindow(window, w, h, picture);
            }
        } else if (m_grid.m_bScreenShown[s] && grid != nullptr) {
            // The no-video picture never changes: a screen that shows it already is left as it is.
            if (what == LatePicture::LastFrame)
                grid->RenderFrame(w, h, s, picture, g_mainWindowState.ScreenRect(s),
                                  s == m_grid.m_nCurScreen);
            else
                grid->RenderStill(w, h, s, picture, g_mainWindowState.ScreenRect(s),
                                  s == m_grid.m_nCurScreen);
        }
    }
}

void CTarvikDlg::DrawIdleScreens() {
    VideoRenderer* grid = g_renderers[0].get();
    // A missing idle picture is skipped rather than drawn from nothing.
    if (m_bPlaybackOpen || grid == nullptr || g_idleImage.data.empty())
        return;
    for (int i = 0; i < m_grid.m_nScreenCount; ++i) {
        int s = m_grid.m_nFirstScreen + i;
        if (s >= GRID_SCREENS)
            break;
        DVRDevice* device = nullptr;
        int channel = -1;
        if (!m_grid.m_bScreenShown[s] || SlotShows(g_screenSlots[s], &device, &channel))
            continue;
        // Drawn again only where the screen shows something else now (the same pixels otherwise).
        grid->RenderStill(g_idleImage.width, g_idleImage.height, s, g_idleImage.data.data(),
                          g_mainWindowState.ScreenRect(s), s == m_grid.m_nCurScreen);
    }
}

void CTarvikDlg::UpdateChannelLeds() {
    bool alarm = false, changed = false;
    for (int i = 0; i < GRID_SCREENS; ++i) {
        int cell = 0;
        SlotChannel shown = ChannelOfSlot(i);
        if (shown.channel != nullptr) {
            std::lock_guard<std::mutex> guard(shown.channel->lock);
            uint32_t flags = shown.channel->flags.load();
            if ((flags & CHANNEL_FLAG_ALARM) != 0) {
                // An alarm light shows for one tick; the next alarm event lights it again.
                shown.channel->flags.fetch_and(~CHANNEL_FLAG_ALARM);
                cell = 2;
            } else if ((flags & CHANNEL_FLAG_RECORDING) != 0) {
                cell = 1;
            }
        }
        alarm = alarm || cell == 2;
        changed = changed || cell != m_ledCells[i];
        m_ledCells[i] = cell;
    }
    // The lights are drawn by the paint handler over the skin; only their block is redrawn.
    if (changed) {
        RECT client{};
        GetClientRect(&client);
        POINT first = ChannelLedPosition(0, client.bottom);
        POINT last = ChannelLedPosition(GRID_SCREENS - 1, client.bottom);
        RECT block{first.x, first.y, last.x + kLedSize, last.y + kLedSize};
        InvalidateRect(&block, FALSE);
    }
    if (alarm && g_systemSettings.EnableBeep != 0) {
        if (m_alarmBeep == nullptr)
            m_alarmBeep = std::make_unique<AlarmBeep>();
        m_alarmBeep->Play();
    }
}

void CTarvikDlg::DrawChannelLeds(CDC& dc, CDC& memory, int height) {
    if (m_bmpLeds.IsNull())
        return;
    CBitmap* old = memory.SelectObject(&m_bmpLeds);
    for (int i = 0; i < GRID_SCREENS; ++i) {
        POINT at = ChannelLedPosition(i, height);
        dc.BitBlt(at.x, at.y, kLedSize, kLedSize, &memory, m_ledCells[i] * kLedSize, 0, SRCCOPY);
    }
    memory.SelectObject(old);
}

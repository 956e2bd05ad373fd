// The playback dialog's window, screens and lifecycle.

#include "ui/dialogs/dlg_playback.h"

#include <new>

#include "core/tarvik_app.h"
#include "core/window_messages.h"
#include "dvr/dvr_session.h"
#include "media/media_system.h"
#include "media/video_renderer.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/dc.h"
#include "platform/ui/menu.h"
#include "platform/ui/region.h"
#include "ui/controls/dlg_video.h"
#include "ui/playback_search.h"

namespace {

constexpr UINT kIdleTimerMs = 200;
constexpr UINT kScreenMenu = 131;
constexpr int kComboHeight = 22;
// Seconds without a new frame after which a screen shows the idle picture.
constexpr int kIdleAfterSeconds = 3;

}  // namespace

QString CDlgPlayback::Text(const char* key, const char* english) {
    return GetLanguageText(QString::fromLatin1(key), QString::fromUtf8(english));
}

CDlgPlayback::CDlgPlayback(CWnd* pOwner)
    : CDialog(IDD_DLG_PLAYBACK, pOwner),
      m_pOwner(pOwner),
      m_dayState(new (std::nothrow) MONTHDAYSTATE[3]()) {}

CDlgPlayback::~CDlgPlayback() {
    // A dialog deleted without DestroyWindow still stops and frees what it made, threads first.
    StopThreads();
    DestroyVideoWindow();
    if (m_bEngineMade)
        FreePlaybackChannels();
    delete[] m_dayState;
}

void CDlgPlayback::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PB_TAB, m_tab);
    DDX_Control(pDX, IDC_PB_CALENDAR, m_calendar);
    DDX_Control(pDX, IDC_PB_CHANNEL_LIST, m_channelList);
    DDX_Control(pDX, IDC_PB_FILE_LIST, m_fileList);
    DDX_Control(pDX, IDC_PB_CHANNEL, m_comboChannel);
    DDX_Control(pDX, IDC_PB_SCREEN_COUNT, m_comboScreens);
    DDX_Control(pDX, IDC_PB_BEGIN_DATE, m_beginDate);
    DDX_Control(pDX, IDC_PB_BEGIN_TIME, m_beginTime);
    DDX_Control(pDX, IDC_PB_END_DATE, m_endDate);
    DDX_Control(pDX, IDC_PB_END_TIME, m_endTime);
    DDX_Control(pDX, IDC_PB_POSITION, m_sliderPos);
    DDX_Control(pDX, IDC_PB_VOLUME, m_sliderVolume);
    DDX_Control(pDX, IDC_PB_TIME_TEXT, m_timeText);
    DDX_Control(pDX, IDC_PB_DAY_BAR, m_dayBar);
    DDX_Control(pDX, IDC_PB_SEARCH, m_btnSearch);
    DDX_Control(pDX, IDC_PB_PLAY, m_btnPlay);
    DDX_Control(pDX, IDC_PB_PAUSE, m_btnPause);
    DDX_Control(pDX, IDC_PB_STOP, m_btnStop);
    DDX_Control(pDX, IDC_PB_STEP, m_btnStep);
    DDX_Control(pDX, IDC_PB_SLOW, m_btnSlow);
    DDX_Control(pDX, IDC_PB_FAST, m_btnFast);
    DDX_Control(pDX, IDC_PB_BACKWARD, m_btnBackward);
    DDX_Control(pDX, IDC_PB_FORWARD, m_btnForward);
    DDX_Control(pDX, IDC_PB_FULLSCREEN, m_btnFullScreen);
    DDX_Control(pDX, IDC_PB_DOWNLOAD, m_btnDownload);
    DDX_Control(pDX, IDC_PB_SNAPSHOT, m_btnSnapshot);
    DDX_Control(pDX, IDC_PB_MUTE, m_btnMute);
    DDX_Control(pDX, IDC_PB_EXIT, m_btnExit);
}

BOOL CDlgPlayback::OnInitDialog() {
    CDialog::OnInitDialog();
    m_nMaxScreens = PLAYBACK_SCREEN_COUNT;
    m_view.m_hWnd.store(m_hWnd);
    m_view.m_nVolumePos.store(40);
    // Whatever fails here is undone at once, and the main window hears that the dialog is gone, so it
    // does not believe playback is open.
    m_bEngineMade = true;
    if (m_dayState == nullptr || InitPlaybackChannels(&m_view) != 0 ||
        !m_bmBackground.LoadBitmap(PLAYBACK_SKIN_BITMAP) || CreateVideoWindow() != 0 || StartThreads() != 0) {
        StopThreads();
        DestroyVideoWindow();
        FreePlaybackChannels();
        m_bEngineMade = false;
        if (m_pOwner != nullptr)
            m_pOwner->PostMessage(WM_CHILD_CLOSED, CHILD_PLAYBACK, 0);
        return FALSE;
    }
    m_nScreenCount = m_nMaxScreens;
    MoveWindow(0, 0, g_nScreenWidth, g_nScreenHeight);
    SetWindowRegion();
    LayoutControls();
    ApplyTexts();
    m_bInitialised = true;
    return TRUE;
}

int CDlgPlayback::CreateVideoWindow() {
    auto* video = new (std::nothrow) CDlgVideo(this, 0);
    if (video == nullptr)
        return -1;
    if (!video->Create(CDlgVideo::IDD, this)) {
        delete video;
        return -1;
    }
    m_pVideoWnd = video;
    if (g_playbackRenderer)
        g_playbackRenderer->SetWindow(video->m_hWnd);
    return 0;
}

void CDlgPlayback::DestroyVideoWindow() {
    if (m_pVideoWnd == nullptr)
        return;
    m_pVideoWnd->DestroyWindow();
    delete m_pVideoWnd;
    m_pVideoWnd = nullptr;
}

int CDlgPlayback::StartThreads() {
    for (int i = 0; i < PLAYBACK_SCREEN_COUNT; ++i) {
        if (StartWorkerThread(&m_hThreads[i], &m_threadIds[i], PlaybackThread,
                              reinterpret_cast<void*>(static_cast<intptr_t>(i))) != 0)
            return -1;
    }
    return 0;
}

void CDlgPlayback::StopThreads() {
    for (int i = 0; i < PLAYBACK_SCREEN_COUNT; ++i)
        StopWorkerThread(&m_hThreads[i], &m_threadIds[i]);
}

BOOL CDlgPlayback::DestroyWindow() {
    if (m_bInitialised) {
        for (int i = 0; i < m_nMaxScreens; ++i) {
            if (m_pOwner != nullptr)
                m_pOwner->PostMessage(WM_PLAYBACK_CLOSE, static_cast<WPARAM>(i), 0);
            auto* control = new (std::nothrow) PlaybackControl{i, PLAYBACK_CMD_STOP, 0};
            PostRecord(WM_PLAYBACK_CONTROL, control, m_nMode);
        }
    }
    StopAudio();
    StopThreads();
    DestroyVideoWindow();
    if (m_bEngineMade)
        FreePlaybackChannels();
    m_bEngineMade = false;
    m_bInitialised = false;
    return CDialog::DestroyWindow();
}

template <typename Record>
void CDlgPlayback::PostRecord(UINT message, Record* record, LPARAM lParam) {
    if (record == nullptr)
        return;  // an allocation that failed drops the request
    if (m_pOwner == nullptr || !m_pOwner->PostMessage(message, reinterpret_cast<WPARAM>(record), lParam))
        delete record;
}
template void CDlgPlayback::PostRecord(UINT, PlaybackSearch*, LPARAM);
template void CDlgPlayback::PostRecord(UINT, PlaybackOpen*, LPARAM);
template void CDlgPlayback::PostRecord(UINT, PlaybackControl*, LPARAM);

void CDlgPlayback::StopAudio() {
    StopAudioOutput(m_view.audio);
}

void CDlgPlayback::SetWindowRegion() {
    CBitmap skin;
    if (!skin.LoadBitmap(PLAYBACK_SKIN_BITMAP))
        return;
    RECT rect;
    GetClientRect(&rect);
    CRgn region;
    region.CreateRectRgn(0, 0, rect.Width(), rect.Height());
    for (const POINT& p : SkinCornerCutPixels(skin.Image(), rect.Width(), rect.Height())) {
        CRgn pixel;
        pixel.CreateRectRgn(p.x, p.y, p.x + 1, p.y + 1);
        region.CombineRgn(&region, &pixel, RGN_XOR);
    }
    SetWindowRgn(&region, TRUE);
}

BOOL CDlgPlayback::OnEraseBkgnd() {
    return TRUE;
}

void CDlgPlayback::OnPaint() {
    CPaintDC dc(this);
    if (m_bmBackground.IsNull())
        return;
    CDC memory;
    memory.CreateCompatibleDC(&dc);
    memory.SelectObject(&m_bmBackground);
    RECT client;
    GetClientRect(&client);
    for (const SkinPiece& p : PlaybackSkinPieces(client.Width(), client.Height())) {
        if (p.stretch)
            dc.StretchBlt(p.dst.left, p.dst.top, p.dst.Width(), p.dst.Height(), &memory, p.src.left,
                          p.src.top, p.src.Width(), p.src.Height(), SRCCOPY);
        else
            dc.BitBlt(p.dst.left, p.dst.top, p.dst.Width(), p.dst.Height(), &memory, p.src.left, p.src.top,
                      SRCCOPY);
    }
}

void CDlgPlayback::SkinButtons() {
    struct Skin {
        CBitButton* button;
        UINT bitmap;
    };
    const Skin skins[] = {{&m_btnSearch, 212},     {&m_btnPlay, 197},     {&m_btnPause, 200},
                          {&m_btnStop, 198},       {&m_btnStep, 199},     {&m_btnSlow, 203},
                          {&m_btnFast, 204},       {&m_btnBackward, 201}, {&m_btnForward, 202},
                          {&m_btnFullScreen, 196}, {&m_btnDownload, 195}, {&m_btnSnapshot, 207},
                          {&m_btnMute, 153},       {&m_btnExit, 171}};
    for (const Skin& s : skins) {
        (void)s.button->LoadBitmap(s.bitmap);
        s.button->SetWindowText(QString());
    }
}

void CDlgPlayback::LayoutControls() {
    RECT client;
    GetClientRect(&client);
    m_nPosWidth = PlaybackPosWidth(client.Width());
    for (const ControlPlacement& c : PlaybackControlPlacements(client.Width(), client.Height())) {
        CWnd* item = GetDlgItem(c.id);
        if (item == nullptr)
            continue;
        RECT rect = c.rect;
        // A combo box's height includes its drop-down list; the box itself is one line high.
        if (c.id == IDC_PB_CHANNEL || c.id == IDC_PB_SCREEN_COUNT)
            rect.bottom = rect.top + kComboHeight;
        item->MoveWindow(rect);
        if (!c.visible)
            item->ShowWindow(SW_HIDE);
    }
    SkinButtons();
    // The position slider's channel pictures are stretched to its width; the slider owns them.
    CBitmap normal, active;
    if (m_nPosWidth > 0 && normal.LoadBitmap(211) && active.LoadBitmap(210)) {
        auto stretched = [this](const CBitmap& source) {
            auto* data = new (std::nothrow) BitmapData;
            if (data != nullptr)
                data->image = source.Image().scaled(m_nPosWidth, source.Image().height());
            return data;
        };
        (void)m_sliderPos.SetChannelBitmaps(stretched(normal), stretched(active));
    }
    (void)m_sliderPos.LoadThumbBitmaps();
    m_sliderPos.DisableFocusRect();
    (void)m_sliderVolume.LoadChannelBitmaps();
    (void)m_sliderVolume.LoadThumbBitmaps();
    m_sliderVolume.DisableFocusRect();
}

void CDlgPlayback::ApplyTexts() {
    auto setText = [this](UINT id, const char* key, const char* english) {
        if (CWnd* item = GetDlgItem(id))
            item->SetWindowText(Text(key, english));
    };
    setText(IDC_PB_LABEL_CHANNEL, "DLGPLAYBACK_STATIC_CHANNEL", "Channel:");
    setText(IDC_PB_LABEL_BEGIN, "DLGPLAYBACK_STATIC_BEGINTIME", "Begin time:");
    setText(IDC_PB_LABEL_END, "DLGPLAYBACK_STATIC_ENDTIME", "End time:");
    const struct {
        CBitButton* button;
        const char* key;
        const char* english;
    } tips[] = {
        {&m_btnSearch, "DLGPLAYBACK_BUTTON_SEARCH", "Search"},
        {&m_btnPlay, "DLGPLAYBACK_BUTTON_PLAY", "Play"},
        {&m_btnPause, "DLGPLAYBACK_BUTTON_PAUSE", "Pause"},
        {&m_btnStop, "DLGPLAYBACK_BUTTON_STOP", "Stop"},
        {&m_btnStep, "DLGPLAYBACK_BUTTON_FRAME", "Frame play"},
        {&m_btnFast, "DLGPLAYBACK_BUTTON_FAST", "Fast"},
        {&m_btnSlow, "DLGPLAYBACK_BUTTON_SLOW", "Slow"},
        {&m_btnForward, "DLGPLAYBACK_BUTTON_FORWARD", "Jump to next minute"},
        {&m_btnBackward, "DLGPLAYBACK_BUTTON_BACKWARD", "Jump to previous minute"},
        {&m_btnMute, "DLGPLAYBACK_BUTTON_MUTE", "Mute"},
        {&m_btnFullScreen, "DLGPLAYBACK_BUTTON_FULLSCREEN", "Full screen"},
        {&m_btnSnapshot, "DLGPLAYBACK_BUTTON_SNAPSHOT", "Snapshot"},
        {&m_btnDownload, "DLGPLAYBACK_BUTTON_DOWNLOAD", "Download"},
        {&m_btnExit, "DLGPLAYBACK_BUTTON_EXIT", "Exit"},
    };
    for (const auto& t : tips)
        t.button->SetToolTipText(Text(t.key, t.english));

    int tab = m_tab.GetCurSel();
    m_tab.DeleteAllItems();
    for (int i = 0; i < m_nTabCount; ++i)
        m_tab.InsertItem(i, GetLanguageText(QStringLiteral("DLGPLAYBACK_TAB_%1").arg(i)));
    m_tab.SetCurSel(tab < 0 ? 0 : tab);

    int channel = m_comboChannel.GetCurSel();
    m_comboChannel.ResetContent();
    m_comboChannel.SetItemData(m_comboChannel.AddString(Text("DLGPLAYBACK_COMBO_CHANNEL_0", "All channel")),
                               static_cast<uintptr_t>(-1));
    DVRDevice* device = g_currentDevice.load();
    if (device != nullptr && device->channels) {
        int count = device->channelCount.load();
        for (int i = 0; i < count; ++i) {
            int item = m_comboChannel.AddString(QString::fromUtf16(device->channels[i].name));
            m_comboChannel.SetItemData(item, static_cast<uintptr_t>(i));
        }
    }
    m_comboChannel.SetCurSel(channel < 0 ? 0 : channel);

    int screens = m_comboScreens.GetCurSel();
    m_comboScreens.ResetContent();
    for (int n : PlaybackScreenCounts(m_nMaxScreens)) {
        QString key = QStringLiteral("DLGMAIN_COMBO_SCREEN_%1").arg(n);
        QString english = n == 1 ? QStringLiteral("1 screen") : QStringLiteral("%1 screens").arg(n);
        m_comboScreens.SetItemData(m_comboScreens.AddString(GetLanguageText(key, english)),
                                   static_cast<uintptr_t>(n));
    }
    m_comboScreens.SetCurSel(screens < 0 ? m_comboScreens.GetCount() - 1 : screens);
}

RECT CDlgPlayback::VideoArea() const {
    RECT client;
    GetClientRect(&client);
    return PlaybackVideoArea(client, m_bFullScreen != 0);
}

namespace {
// The publishing of one screen to the drawing threads: its rectangle relative to the video window.
void Publish(PlaybackView& view, int screen, const RECT& rect, int shown, const RECT& area) {
    view.SetScreenRect(screen, VideoRect{rect.left - area.left, rect.top - area.top, rect.right - area.left,
                                         rect.bottom - area.top});
    view.m_bScreenShown[screen].store(shown);
}
}  // namespace

void CDlgPlayback::LayoutScreens(int first, int count, int fullScreen) {
    RECT client;
    GetClientRect(&client);
    RECT area = PlaybackVideoArea(client, fullScreen != 0);
    if (m_pVideoWnd != nullptr) {
        m_pVideoWnd->MoveWindow(area);
        m_pVideoWnd->ShowWindow(SW_SHOW);
    }
    m_bZoomed = 0;
    LayoutPlaybackScreens(area, first, count, m_rcScreen, m_bScreenShown);
    if (first == 0)
        std::copy(std::begin(m_rcScreen), std::end(m_rcScreen), std::begin(m_rcSaved));
    m_nScreenCount = count;
    for (int k = 0; k < PLAYBACK_SCREEN_COUNT; ++k)
        Publish(m_view, k, m_rcScreen[k], m_bScreenShown[k], area);
    if (m_pVideoWnd != nullptr)
        m_pVideoWnd->Invalidate();
}

void CDlgPlayback::OnScreenCountChange() {
    int item = m_comboScreens.GetCurSel();
    if (item < 0)
        return;
    LayoutScreens(0, static_cast<int>(m_comboScreens.GetItemData(item)), m_bFullScreen);
}

void CDlgPlayback::ToggleFullScreen() {
    LayoutScreens(m_nFirstScreen, m_nScreenCount, !m_bFullScreen);
    m_bFullScreen = !m_bFullScreen;
}

int CDlgPlayback::HitScreen(LPARAM lParam) const {
    if (m_pVideoWnd == nullptr)
        return -1;
    POINT point{static_cast<int16_t>(lParam & 0xFFFF), static_cast<int16_t>((lParam >> 16) & 0xFFFF)};
    RECT area = VideoArea();
    point.x += area.left;
    point.y += area.top;
    for (int k = 0; k < PLAYBACK_SCREEN_COUNT; ++k) {
        const RECT& r = m_rcScreen[k];
        if (m_bScreenShown[k] && point.x >= r.left && point.x < r.right && point.y >= r.top &&
            point.y < r.bottom)
            return k;
    }
    return -1;
}

LRESULT CDlgPlayback::OnVideoClick(LPARAM lParam) {
    int k = HitScreen(lParam);
    if (k < 0)
        return -1;
    if (k != m_nCurScreen) {
        m_nCurScreen = k;
        m_view.m_nCurScreen.store(k);
        StopAudio();
    }
    UpdateButtons(k);
    UpdateTimeText(k);
    return 0;
}

LRESULT CDlgPlayback::OnVideoDblClk(LPARAM lParam) {
    if (m_nScreenCount == 1)
        return 0;
    int k = HitScreen(lParam);
    if (k < 0)
        return -1;
    RECT area = VideoArea();
    RECT next = area;
    if (m_bZoomed) {
        next = m_rcSaved[k];
        m_bZoomed = 0;
    } else {
        m_bZoomed = 1;
    }
    for (int i = m_nFirstScreen; i < m_nFirstScreen + m_nScreenCount && i < PLAYBACK_SCREEN_COUNT; ++i)
        m_bScreenShown[i] = !m_bZoomed;
    m_rcSaved[k] = m_rcScreen[k];
    m_rcScreen[k] = next;
    m_bScreenShown[k] = 1;
    m_nCurScreen = k;
    m_view.m_nCurScreen.store(k);
    for (int i = 0; i < PLAYBACK_SCREEN_COUNT; ++i)
        Publish(m_view, i, m_rcScreen[i], m_bScreenShown[i], area);
    if (m_pVideoWnd != nullptr)
        m_pVideoWnd->Invalidate();
    return 0;
}

LRESULT CDlgPlayback::OnVideoRClick(LPARAM lParam) {
    if (OnVideoClick(lParam) != 0)
        return -1;
    CMenu menu;
    if (!menu.LoadMenu(kScreenMenu))
        return 0;
    CMenu* popup = menu.GetSubMenu(0);
    if (popup == nullptr)
        return 0;
    popup->ModifyMenu(IDM_PLAYBACK_FULLSCREEN, MF_BYCOMMAND, IDM_PLAYBACK_FULLSCREEN,
                      m_bFullScreen ? Text("DLGMAIN_MENU_FULLEXIT", "Exit Full")
                                    : Text("DLGMAIN_MENU_FULLSCREEN", "Full Screen"));
    for (UINT id : {32809u, 32810u, 32789u, 32790u, 32811u})
        popup->DeleteMenu(id, MF_BYCOMMAND);
    for (UINT position : {3u, 2u, 1u})
        popup->DeleteMenu(position, MF_BYPOSITION);
    popup->ModifyMenu(IDM_PLAYBACK_SNAPSHOT, MF_BYCOMMAND, IDM_PLAYBACK_SNAPSHOT,
                      Text("DLGMAIN_BUTTON_SNAPSHOT", "Snapshot"));
    POINT at{static_cast<int16_t>(lParam & 0xFFFF), static_cast<int16_t>((lParam >> 16) & 0xFFFF)};
    m_pVideoWnd->ClientToScreen(&at);
    popup->TrackPopupMenu(TPM_RIGHTBUTTON, at.x, at.y, this);
    return 0;
}

void CDlgPlayback::DrawIdleScreens() {
    VideoRenderer* renderer = g_playbackRenderer.get();
    if (renderer == nullptr || g_idleImage.data.empty())
        return;
    int64_t now = LastFrameClockNow();
    for (int i = 0; i < m_nScreenCount; ++i) {
        int k = m_nFirstScreen + i;
        if (k > 15 || !m_bScreenShown[k])
            continue;
        int32_t last = 0;
        {
            std::lock_guard<std::mutex> guard(g_playbackChannels[k].lastFrameLock);
            last = g_playbackChannels[k].lastFrameTime;
        }
        // A time after now counts as fresh.
        if (now - last < kIdleAfterSeconds)
            continue;
        renderer->RenderFrame(g_idleImage.width, g_idleImage.height, k, g_idleImage.data.data(),
                              m_view.ScreenRect(k), k == m_nCurScreen);
    }
}

void CDlgPlayback::OnTimer(uintptr_t nIDEvent) {
    if (nIDEvent == TIMER_PLAYBACK_IDLE) {
        DrawIdleScreens();
        return;
    }
    CDialog::OnTimer(nIDEvent);
}

void CDlgPlayback::OnShowWindow(BOOL bShow, UINT nStatus) {
    CDialog::OnShowWindow(bShow, nStatus);
    if (!m_bInitialised)
        return;
    if (bShow) {
        m_nMode = 0;
        m_bMuted = 0;
        m_view.m_bMuted.store(0);
        m_bSeeking = 0;
        m_bFullScreen = 0;
        m_nFirstScreen = 0;
        LayoutScreens(0, m_nScreenCount, 0);
        m_nCurScreen = 0;
        m_view.m_nCurScreen.store(0);
        ResetControls();
        m_nTimerId = SetTimer(TIMER_PLAYBACK_IDLE, kIdleTimerMs);
        return;
    }
    PostStopAll(m_nMode);
    m_bZoomed = 0;
    if (m_pVideoWnd != nullptr)
        m_pVideoWnd->ShowWindow(SW_HIDE);
    StopAudio();
    if (m_nTimerId != 0) {
        KillTimer(TIMER_PLAYBACK_IDLE);
        m_nTimerId = 0;
    }
}

void CDlgPlayback::PostStopAll(int mode) {
    for (int i = 0; i < m_nMaxScreens; ++i)
        PostRecord(WM_PLAYBACK_CONTROL, new (std::nothrow) PlaybackControl{i, PLAYBACK_CMD_STOP, 0}, mode);
}

void CDlgPlayback::ExitDialog() {
    if (m_pOwner != nullptr)
        m_pOwner->PostMessage(WM_CHILD_CLOSED, CHILD_PLAYBACK, 0);
}

BOOL CDlgPlayback::PreTranslateMessage(MSG* pMsg) {
    switch (pMsg->message) {
        case WM_APPLY_LANGUAGE:
            ApplyTexts();
            return TRUE;
        case WM_PLAYBACK_DATA_RECEIVED:
            if (pMsg->hwnd == m_hWnd) {
                OnPlaybackData(static_cast<int>(pMsg->wParam), pMsg->lParam);
                return TRUE;
            }
            break;
        case WM_AUDIO_NOTIFY_POSITION:
        case WM_AUDIO_NOTIFY_STOP:
            return TRUE;
        default:
            break;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

LRESULT CDlgPlayback::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_VIDEO_CLICK:
            return OnVideoClick(lParam);
        case WM_VIDEO_DBLCLK:
            return OnVideoDblClk(lParam);
        case WM_VIDEO_RCLICK:
            return OnVideoRClick(lParam);
        case WM_BITBUTTON_DOWN:
            return 0;
        case WM_BITBUTTON_UP:
            return OnBitButtonUp(static_cast<UINT>(wParam));
        case WM_SLIDER_DRAGGING:
            return OnSliderDragging(static_cast<UINT>(wParam), static_cast<int>(lParam));
        case WM_SLIDER_RELEASED:
            return OnSliderReleased(static_cast<UINT>(wParam), static_cast<int>(lParam));
        default:
            return CDialog::WindowProc(message, wParam, lParam);
    }
}

BOOL CDlgPlayback::OnCommand(WPARAM wParam, LPARAM lParam) {
    UINT id = static_cast<UINT>(wParam & 0xFFFF);
    UINT code = static_cast<UINT>((wParam >> 16) & 0xFFFF);
    if (id == IDM_PLAYBACK_FULLSCREEN && code == 0) {
        ToggleFullScreen();
        return TRUE;
    }
    if (id == IDM_PLAYBACK_SNAPSHOT && code == 0) {
        TakeSnapshot();
        return TRUE;
    }
    if (id == IDC_PB_SCREEN_COUNT && code == CBN_SELCHANGE) {
        OnScreenCountChange();
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

BOOL CDlgPlayback::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header == nullptr)
        return CDialog::OnNotify(wParam, lParam, pResult);
    if (header->idFrom == IDC_PB_TAB && header->code == TCN_SELCHANGE) {
        OnTabChange();
        *pResult = 0;
        return TRUE;
    }
    if (header->idFrom == IDC_PB_CALENDAR && header->code == MCN_SELCHANGE) {
        QueryMonth();
        return TRUE;
    }
    if (header->code == NM_DBLCLK &&
        (header->idFrom == IDC_PB_CHANNEL_LIST || header->idFrom == IDC_PB_FILE_LIST)) {
        OpenSelected(header->idFrom == IDC_PB_CHANNEL_LIST ? PLAYBACK_MODE_TIME : PLAYBACK_MODE_FILE);
        return TRUE;
    }
    return CDialog::OnNotify(wParam, lParam, pResult);
}

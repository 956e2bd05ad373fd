#include "ui/main_window.h"

#include <QApplication>
#include <QFile>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <atomic>

#include "core/system_settings.h"
#include "core/tarvik_app.h"
#include "core/window_messages.h"
#include "dvr/device_tree.h"
#include "dvr/device_tree_apply.h"
#include "dvr/device_tree_events.h"
#include "dvr/dvr_messages.h"
#include "dvr/dvr_session.h"
#include "dvr/playback_requests.h"
#include "dvr/session_hooks.h"
#include "media/main_window_state.h"
#include "media/media_system.h"
#include "media/video_renderer.h"
#include "platform/system/paths.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/dc.h"
#include "platform/ui/message_box.h"
#include "platform/ui/region.h"
#include "platform/ui/win_app.h"
#include "platform/ui/window_props.h"
#include "resources/resource_icons.h"
#include "ui/alarm_beep.h"
#include "ui/device_tree_images.h"
#include "ui/dialogs/dlg_login.h"
#include "ui/main_window_layout.h"
#include "ui/main_window_timers.h"
#include "ui/slot_channels.h"

namespace {

constexpr UINT kSkinBitmap = 155;
constexpr UINT kLedBitmap = 175;
constexpr UINT kIconResource = 128;
constexpr UINT kTreeBackground = 132;
constexpr int kCaptionBand = 20;
constexpr int kComboBoxHeight = 22;

CTarvikDlg* g_mainWindow = nullptr;

struct ScreenCountItem {
    int count;
    const char* key;
    const char* english;
};
constexpr ScreenCountItem kScreenCounts[] = {
    {1, "DLGMAIN_COMBO_SCREEN_1", "1 screen"},     {4, "DLGMAIN_COMBO_SCREEN_4", "4 screens"},
    {6, "DLGMAIN_COMBO_SCREEN_6", "6 screens"},    {8, "DLGMAIN_COMBO_SCREEN_8", "8 screens"},
    {9, "DLGMAIN_COMBO_SCREEN_9", "9 screens"},    {16, "DLGMAIN_COMBO_SCREEN_16", "16 screens"},
    {25, "DLGMAIN_COMBO_SCREEN_25", "25 screens"}, {36, "DLGMAIN_COMBO_SCREEN_36", "36 screens"},
    {49, "DLGMAIN_COMBO_SCREEN_49", "49 screens"}, {64, "DLGMAIN_COMBO_SCREEN_64", "64 screens"},
};

struct ButtonTip {
    UINT id;
    const char* key;
    const char* english;
};
constexpr ButtonTip kButtonTips[] = {
    {1006, "DLGMAIN_BUTTON_OPENALL", "Open all channels"},
    {1007, "DLGMAIN_BUTTON_CLOSEALL", "Close all channels"},
    {1008, "DLGMAIN_BUTTON_NEAR", "Focus near"},
    {1009, "DLGMAIN_BUTTON_FAR", "Focus far"},
    {1010, "DLGMAIN_BUTTON_IN", "Zoom in"},
    {1011, "DLGMAIN_BUTTON_OUT", "Zoom out"},
    {1012, "DLGMAIN_BUTTON_OPEN", "Iris open"},
    {1013, "DLGMAIN_BUTTON_CLOSE", "Iris close"},
    {1017, "DLGMAIN_BUTTON_PRESETSET", "Set preset"},
    {1018, "DLGMAIN_BUTTON_PRESETCLR", "Clear preset"},
    {1019, "DLGMAIN_BUTTON_PRESETGOTO", "Goto preset"},
    {1020, "DLGMAIN_BUTTON_UP", "Tilt up"},
    {1022, "DLGMAIN_BUTTON_DOWN", "Tilt down"},
    {1023, "DLGMAIN_BUTTON_LEFT", "Pan left"},
    {1024, "DLGMAIN_BUTTON_RIGHT", "Pan right"},
    {1021, "DLGMAIN_BUTTON_STOP", "PTZ stop"},
    {1000, "DLGMAIN_BUTTON_EXIT", "Exit system"},
    {1001, "DLGMAIN_BUTTON_MINIMIZE", "Minimize"},
    {1031, "DLGMAIN_BUTTON_SNAPSHOT", "Snapshot"},
    {1003, "DLGMAIN_BUTTON_REPALY", "Playback"},
    {1004, "DLGMAIN_BUTTON_SETUP", "System setup"},
    {1034, "DLGMAIN_BUTTON_STATUS", "System status"},
    {1026, "DLGMAIN_BUTTON_MUTE", "Mute"},
    {1030, "DLGMAIN_BUTTON_SCAN", "Start/Stop scan"},
    {1035, "DLGMAIN_BUTTON_SCROLL", "Auto-scroll screens"},
    {1028, "DLGMAIN_BUTTON_NEXT", "Next screen"},
    {1029, "DLGMAIN_BUTTON_PREV", "Previous screen"},
    {1027, "DLGMAIN_BUTTON_FULLSCREEN", "Full all screens"},
};

QString LoginButtonTip() {
    return g_bLoggedIn ? GetLanguageText("DLGMAIN_BUTTON_LOGOUT", "Logout")
                       : GetLanguageText("DLGMAIN_BUTTON_LOGIN", "Login");
}

// The sessions' hooks reach the window through these.
void RestoreSavedViewsHook(DVRDevice* device) {
    if (g_mainWindow != nullptr)
        g_mainWindow->RestoreSavedViews(device);
}

void ReleaseDeviceScreensHook(DVRDevice* device) {
    if (g_mainWindow != nullptr)
        g_mainWindow->RememberAndReleaseScreens(device);
    else
        ReleaseDeviceSlots(device);
}

// The connection threads read the child dialogs' handles here, never the dialog objects: a handle is
// published null before its dialog goes away, and a reply posted to a gone window is freed by the post.
std::atomic<HWND> g_setupDialogHandle{nullptr};
std::atomic<HWND> g_playbackDialogHandle{nullptr};

HWND SetupDialogHook() {
    return g_setupDialogHandle.load();
}

HWND PlaybackDialogHook() {
    return g_playbackDialogHandle.load();
}

}  // namespace

void PublishChildDialogs(const CDialog* playback, const CDialog* setup) {
    g_playbackDialogHandle = playback != nullptr ? playback->m_hWnd : nullptr;
    g_setupDialogHandle = setup != nullptr ? setup->m_hWnd : nullptr;
}

CTarvikDlg* MainWindow() {
    return g_mainWindow;
}

QString MainWindowTitle(bool locked) {
    return locked ? GetLanguageText("VISTAL_TITLE_LOCKED", "DVRVISTAL-Locked")
                  : GetLanguageText("VISTAL_TITLE", "DVRVISTAL");
}

CTarvikDlg::CTarvikDlg(CWnd* pParent) : CDialog(IDD_TARVIK_DIALOG, pParent) {
    const QString iconFile = ToNativePath(theApp.m_strAppDir + QStringLiteral("Tarvik.ico"));
    QImage icon;
    if (QFile::exists(iconFile))
        icon.load(iconFile);
    if (icon.isNull())
        icon = LoadResourceIcon(kIconResource);
    m_hIcon = QIcon(QPixmap::fromImage(icon));
}

CTarvikDlg::~CTarvikDlg() {
    if (g_mainWindow == this)
        g_mainWindow = nullptr;
}

CBitButton* CTarvikDlg::Button(UINT id) {
    for (int i = 0; i < MAIN_BUTTON_COUNT; ++i) {
        if (kMainButtonIds[i] == id)
            return &m_buttons[i];
    }
    return nullptr;
}

void CTarvikDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    for (int i = 0; i < MAIN_BUTTON_COUNT; ++i)
        DDX_Control(pDX, kMainButtonIds[i], m_buttons[i]);
    DDX_Control(pDX, IDC_SCREEN_COUNT, m_comboScreens);
    DDX_Control(pDX, IDC_VOLUME_SLIDER, m_sliderVolume);
    DDX_Control(pDX, IDC_PRESET_EDIT, m_editPreset);
    DDX_Control(pDX, IDC_DEVICE_TREE, m_tree);
}

BOOL CTarvikDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    g_mainWindow = this;
    if (QWidget* widget = GetWidget()) {
        widget->setWindowIcon(m_hIcon);
        // The smallest size the operator can drag the window to.
        widget->setMinimumSize(MAIN_MIN_WIDTH, MAIN_MIN_HEIGHT);
    }

    // The tray icon; the window works without one.
    m_pTrayIcon = std::make_unique<NOTIFYICONDATA>();
    m_pTrayIcon->hWnd = m_hWnd;
    m_pTrayIcon->uID = TRAY_ICON_ID;
    m_pTrayIcon->uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_pTrayIcon->uCallbackMessage = WM_TRAY_NOTIFY;
    m_pTrayIcon->hIcon = m_hIcon;
    m_pTrayIcon->szTip = MainWindowTitle(false).left(127);
    (void)Shell_NotifyIcon(NIM_ADD, m_pTrayIcon.get());

    // The instance property: a second start raises this window, and the Updater's close request
    // (WM_COPYDATA) reaches OnCopyData.
    (void)SetProp(m_hWnd, QString::fromLatin1(APP_INSTANCE_NAME), reinterpret_cast<HANDLE>(1));
    g_mainWindowState.m_hWnd = m_hWnd;

    m_bmpSkin.LoadBitmap(kSkinBitmap);
    m_bmpLeds.LoadBitmap(kLedBitmap);
    (void)CreateDeviceTreeImages(&m_treeImages);
    if (InitMediaSystem() != 0 || CreateVideoWindow() != 0)
        return FALSE;
    SetSessionHooks(true);
    m_threads = std::make_unique<MediaThreadTable>();
    m_threads->supervisorRoutine = SupervisorThreadProc;
    m_bMediaStarted = true;
    if (StartMediaThreads(m_threads.get()) != 0)
        return FALSE;
    m_nMaxScreens = GRID_SCREENS;
    if (theApp.m_nScreenNum > 0)
        m_grid.m_nScreenCount = std::min(theApp.m_nScreenNum, GRID_SCREENS);

    MoveWindow(0, 0, g_nScreenWidth, g_nScreenHeight);
    m_rcRestore = RECT{0, 0, g_nScreenWidth, g_nScreenHeight};
    ApplyWindowRegion();
    LayoutControls();
    LayoutScreens(0, m_grid.m_nScreenCount, FALSE);
    m_grid.m_nCurScreen = 0;
    g_mainWindowState.m_nCurScreen = 0;

    ApplyTexts();
    MarkMissingChildDialogs();
    ApplyLoginState();
    LoadViews();
    StartTimers();
    return TRUE;
}

void CTarvikDlg::SetSessionHooks(bool install) {
    DvrSessionHooks hooks = GetDvrSessionHooks();
    hooks.mainWindow = install ? m_hWnd : nullptr;
    hooks.setupDialog = install ? SetupDialogHook : nullptr;
    hooks.playbackDialog = install ? PlaybackDialogHook : nullptr;
    hooks.restoreSavedViews = install ? RestoreSavedViewsHook : nullptr;
    hooks.releaseDeviceScreens = install ? ReleaseDeviceScreensHook : nullptr;
    SetDvrSessionHooks(&hooks);
}

BOOL CTarvikDlg::DestroyWindow() {
    // The window's place and screen count for the next start.
    theApp.m_nScreenNum = m_grid.m_nScreenCount;
    RECT rc{};
    GetWindowRect(&rc);
    theApp.m_ptStart = PointInt16{static_cast<int16_t>(rc.left), static_cast<int16_t>(rc.top)};
    theApp.m_ptStop = PointInt16{static_cast<int16_t>(rc.right), static_cast<int16_t>(rc.bottom)};
    auto packed = [](int high, int low) {
        return static_cast<int>((static_cast<uint32_t>(static_cast<uint16_t>(high)) << 16) |
                                static_cast<uint16_t>(low));
    };
    theApp.m_iniSystem.WriteInt("USER", "ScreenNum", m_grid.m_nScreenCount);
    theApp.m_iniSystem.WriteInt("USER", "PointStart", packed(rc.top, rc.left));
    theApp.m_iniSystem.WriteInt("USER", "PointStop", packed(rc.bottom, rc.right));

    // view.dat is written while the screens still show their channels.
    SaveViews();
    CloseAllScreens();
    StopTimers();
    if (m_threads != nullptr)
        (void)StopMediaThreads(m_threads.get());
    // The sessions post their replies to the child dialogs: they stop before the dialogs go, and they
    // point at the tree's records, which go last.
    ReleaseAndFreeDeviceList();
    DestroyChildDialogs();
    if (m_bMediaStarted)
        FreeMediaSystem();
    m_bMediaStarted = false;
    SetSessionHooks(false);
    ClearDeviceTree();
    if (m_pTrayIcon != nullptr) {
        (void)Shell_NotifyIcon(NIM_DELETE, m_pTrayIcon.get());
        m_pTrayIcon.reset();
    }
    (void)RemoveProp(m_hWnd, QString::fromLatin1(APP_INSTANCE_NAME));
    g_mainWindowState.m_hWnd = nullptr;
    if (g_mainWindow == this)
        g_mainWindow = nullptr;
    return CDialog::DestroyWindow();
}

int CTarvikDlg::CreateVideoWindow() {
    m_pDlgVideo = new CDlgVideo(this, 1);
    if (!m_pDlgVideo->Create(CDlgVideo::IDD, this)) {
        delete m_pDlgVideo;
        m_pDlgVideo = nullptr;
        return -1;
    }
    m_pDlgVideo->SetPtzHandler([this](int command) {
        // Mouse steering: the selected screen's camera, without a rights check.
        DVRDevice* device = nullptr;
        int channel = -1;
        if (SlotShows(g_screenSlots[m_grid.m_nCurScreen], &device, &channel))
            (void)SendChannelPtz(device, channel, command, 0, 0);
    });
    if (g_renderers[0] != nullptr)
        (void)g_renderers[0]->SetWindow(m_pDlgVideo->m_hWnd);
    return 0;
}

void CTarvikDlg::DestroyChildDialogs() {
    PublishChildDialogs(nullptr, nullptr);
    CDialog** children[] = {&m_pDlgPlayback, &m_pDlgSetup, &m_pDlgStatus};
    if (m_pDlgVideo != nullptr) {
        m_pDlgVideo->DestroyWindow();
        delete m_pDlgVideo;
        m_pDlgVideo = nullptr;
    }
    for (CDialog** child : children) {
        CDialog* dialog = *child;
        // Published as gone before the window goes away.
        *child = nullptr;
        if (dialog != nullptr) {
            dialog->DestroyWindow();
            delete dialog;
        }
    }
}

void CTarvikDlg::LoadDeviceTree() {
    if (m_treeView == nullptr)
        m_treeView = std::make_unique<DeviceTreeAdapter>(&m_tree);
    // In slices between the window's events: the rest of a large list follows on TIMER_TREE_LOAD. The tree
    // counts as loaded (DVRs it lacks count as removed from it) only once its last record is read.
    m_bTreeLoaded = false;
    BeginDeviceTreeLoad(m_treeView.get(), DeviceTreeFilePath(theApp.m_strDataDir, theApp.m_bLanMode == 1));
    if (ContinueDeviceTreeLoad(TREE_LOAD_SLICE_MS) != 0)
        SetTimer(TIMER_TREE_LOAD, TREE_LOAD_PERIOD_MS);
    else
        m_bTreeLoaded = true;
}

void CTarvikDlg::ClearDeviceTree() {
    // Clearing ends a load still under way: its timer must not later mark the empty tree as loaded.
    KillTimer(TIMER_TREE_LOAD);
    if (m_treeView != nullptr)
        ::ClearDeviceTree(m_treeView.get());
    m_bTreeLoaded = false;
}

// --- skin and region

BOOL CTarvikDlg::OnEraseBkgnd() {
    return TRUE;
}

void CTarvikDlg::OnPaint() {
    CPaintDC dc(this);
    if (m_bmpSkin.IsNull())
        return;
    CDC memory;
    if (!memory.CreateCompatibleDC(&dc))
        return;
    CBitmap* old = memory.SelectObject(&m_bmpSkin);
    RECT client{};
    GetClientRect(&client);
    for (const SkinPiece& p : MainSkinPieces(client.right, client.bottom)) {
        int w = p.dst.right - p.dst.left, h = p.dst.bottom - p.dst.top;
        if (p.stretch)
            dc.StretchBlt(p.dst.left, p.dst.top, w, h, &memory, p.src.left, p.src.top,
                          p.src.right - p.src.left, p.src.bottom - p.src.top, SRCCOPY);
        else
            dc.BitBlt(p.dst.left, p.dst.top, w, h, &memory, p.src.left, p.src.top, SRCCOPY);
    }
    memory.SelectObject(old);
    DrawChannelLeds(dc, memory, client.bottom);
}

void CTarvikDlg::ApplyWindowRegion() {
    if (m_bmpSkin.IsNull())
        return;
    RECT rc{};
    GetWindowRect(&rc);
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    CRgn region;
    region.CreateRectRgn(0, 0, w, h);
    for (POINT p : SkinCornerCutPixels(m_bmpSkin.Image(), w, h)) {
        CRgn pixel;
        pixel.CreateRectRgn(p.x, p.y, p.x + 1, p.y + 1);
        region.CombineRgn(&region, &pixel, RGN_XOR);
    }
    SetWindowRgn(&region, TRUE);
}

// --- layout and texts

void CTarvikDlg::LayoutControls() {
    RECT client{};
    GetClientRect(&client);
    int w = client.right, h = client.bottom;
    if (m_sliderVolume.m_hWnd != nullptr && !m_sliderVolume.m_bChannel) {
        (void)m_sliderVolume.LoadChannelBitmaps();
        (void)m_sliderVolume.LoadThumbBitmaps();
        m_sliderVolume.DisableFocusRect();
    }
    for (const ControlPlacement& c : MainControlPlacements(w, h, g_nScreenWidth, g_bLoggedIn != 0)) {
        CWnd* control = GetDlgItem(c.id);
        if (control == nullptr)
            continue;
        if (CBitButton* button = Button(c.id)) {
            if (c.bitmap != 0)
                (void)button->LoadBitmap(c.bitmap);
            button->SetWindowText(QString());
        }
        int height = c.rect.bottom - c.rect.top;
        // The combo's placed height is its drop-down list's; the box itself keeps one line.
        if (c.id == IDC_SCREEN_COUNT)
            height = std::min(height, kComboBoxHeight);
        control->MoveWindow(c.rect.left, c.rect.top, c.rect.right - c.rect.left, height);
        control->ShowWindow(c.visible ? SW_SHOW : SW_HIDE);
    }
    if (m_tree.m_bmpBackground.IsNull())
        (void)m_tree.LoadBackground();
    m_tree.SetImageList(&m_treeImages, TVSIL_NORMAL);
    (void)kTreeBackground;
}

void CTarvikDlg::ApplyTexts() {
    SetWindowText(MainWindowTitle(m_bLocked != 0));
    for (const ButtonTip& t : kButtonTips) {
        if (CBitButton* b = Button(t.id))
            b->SetToolTipText(GetLanguageText(QString::fromLatin1(t.key), QString::fromUtf8(t.english)));
    }
    if (CBitButton* login = Button(1032))
        login->SetToolTipText(LoginButtonTip());
    m_editPreset.SetWindowText(GetLanguageText("DLGMAIN_EDIT_PRESET", "Preset number"));

    int remembered = m_comboScreens.GetCurSel();
    m_comboScreens.ResetContent();
    int matching = -1;
    for (const ScreenCountItem& item : kScreenCounts) {
        if (item.count > m_nMaxScreens)
            continue;
        int index = m_comboScreens.AddString(
            GetLanguageText(QString::fromLatin1(item.key), QString::fromUtf8(item.english)));
        m_comboScreens.SetItemData(index, static_cast<uintptr_t>(item.count));
        if (item.count == m_grid.m_nScreenCount)
            matching = index;
    }
    m_comboScreens.SetCurSel(remembered >= 0 ? remembered : matching);
}

void CTarvikDlg::ApplyLoginState() {
    if (CBitButton* login = Button(1032)) {
        (void)login->LoadBitmap(g_bLoggedIn ? 166 : 158);
        login->SetToolTipText(LoginButtonTip());
    }
    if (g_bLoggedIn)
        LoadDeviceTree();
    m_sliderVolume.SetRange(50);
    (void)m_sliderVolume.SetPageSize(5);
    m_sliderVolume.SetPos(40);
    g_mainWindowState.m_nVolumePos = 40;
}

void CTarvikDlg::ReloadLanguage() {
    theApp.m_iniLanguage.SetPath(theApp.ResolveLanguageFile(g_systemSettings.Language));
    ApplyTexts();
}

void CTarvikDlg::EnableVideoWindow(BOOL enable) {
    if (m_pDlgVideo != nullptr)
        m_pDlgVideo->EnableWindow(enable);
}

void CTarvikDlg::EnableControls(BOOL keepLockControls, BOOL enable) {
    static constexpr UINT kControls[] = {1006, 1007, 1008, 1009, 1010, 1011, 1012, 1013, 1014,
                                         1015, 1016, 1017, 1018, 1019, 1020, 1021, 1022, 1023,
                                         1024, 1000, 1037, 1038, 1039, 1026, 1025, 1031, 1003,
                                         1004, 1034, 1030, 1035, 1029, 1028, 1027, 1033, IDC_DEVICE_TREE};
    for (UINT id : kControls) {
        if (CWnd* c = GetDlgItem(id))
            c->EnableWindow(enable);
    }
    for (UINT id : {1001u, 1036u, 1032u}) {
        if (CWnd* c = GetDlgItem(id))
            c->EnableWindow(keepLockControls ? TRUE : enable);
    }
    // A dialog this version does not have keeps its button disabled.
    if (enable)
        MarkMissingChildDialogs();
}

int CTarvikDlg::ShowMessageBox(const QString& text, UINT type) {
    EnableVideoWindow(FALSE);
    int result = MessageBox(this, text, QStringLiteral("Vistal"), type);
    EnableVideoWindow(TRUE);
    return result;
}

void CTarvikDlg::StartTimers() {
    m_uTimerStartup = SetTimer(TIMER_STARTUP, STARTUP_PERIOD_MS);
    m_uTimerVideoLoss = SetTimer(TIMER_VIDEO_LOSS, VIDEO_LOSS_PERIOD_MS);
    m_uTimerLeds = SetTimer(TIMER_LEDS, LEDS_PERIOD_MS);
    m_uTimerIdleScreens = SetTimer(TIMER_IDLE_SCREENS, IDLE_SCREENS_PERIOD_MS);
}

void CTarvikDlg::StopTimers() {
    for (uintptr_t* timer :
         {&m_uTimerVideoLoss, &m_uTimerStartup, &m_uTimerAutoScroll, &m_uTimerLeds, &m_uTimerIdleScreens}) {
        if (*timer != 0)
            KillTimer(*timer);
        *timer = 0;
    }
}

// --- frame messages

void CTarvikDlg::OnSize(UINT nType, int cx, int cy) {
    if (GetDlgItem(1000) != nullptr && cx > 0 && cy > 0) {
        LayoutControls();
        RelayoutPage();
        Invalidate(TRUE);
    }
    CDialog::OnSize(nType, cx, cy);
}

void CTarvikDlg::OnShowWindow(BOOL bShow, UINT nStatus) {
    CDialog::OnShowWindow(bShow, nStatus);
    // Shown again after hiding (a second start's raise request, the tray): the grid comes back with it.
    if (bShow && m_pDlgVideo != nullptr && !m_pDlgVideo->IsWindowVisible() && GetDlgItem(1000) != nullptr)
        RelayoutPage();
}

void CTarvikDlg::OnMouseMove(UINT nFlags, POINT point) {
    RECT rc{};
    GetClientRect(&rc);
    if (!m_bCaptionButtonDown)
        m_bInCaptionBand = rc.left + kCaptionBand < point.x && point.x < rc.right - kCaptionBand &&
                           rc.top < point.y && point.y < rc.top + kCaptionBand;
    else if (m_bInCaptionBand) {
        // The desktop moves the window from here on, as a drag of a caption would.
        if (QWidget* widget = GetWidget(); widget != nullptr && widget->windowHandle() != nullptr)
            widget->windowHandle()->startSystemMove();
        m_bCaptionButtonDown = 0;
    }
    SetWindowCursor(m_bInCaptionBand ? IDC_SIZEALL : IDC_ARROW);
    CDialog::OnMouseMove(nFlags, point);
}

void CTarvikDlg::OnLButtonDown(UINT nFlags, POINT point) {
    m_bCaptionButtonDown = 1;
    SetWindowCursor(m_bInCaptionBand ? IDC_SIZEALL : IDC_ARROW);
    CDialog::OnLButtonDown(nFlags, point);
}

void CTarvikDlg::OnLButtonUp(UINT nFlags, POINT point) {
    m_bCaptionButtonDown = 0;
    m_bInCaptionBand = 0;
    SetWindowCursor(IDC_ARROW);
    CDialog::OnLButtonUp(nFlags, point);
}

BOOL CTarvikDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (wParam == IDC_DEVICE_TREE && header != nullptr && m_treeView != nullptr) {
        if (header->code == NM_CLICK || header->code == TVN_SELCHANGED) {
            OnClickDeviceTree(m_treeView.get());
        } else if (header->code == NM_DBLCLK) {
            OnClickDeviceTree(m_treeView.get());
            OnDblClickDeviceTree();
            *pResult = 0;
            return TRUE;
        }
    }
    return CDialog::OnNotify(wParam, lParam, pResult);
}

BOOL CTarvikDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == IDC_SCREEN_COUNT) {
        if (HIWORD(wParam) == CBN_SELCHANGE)
            OnSelChangeScreenCount();
        return TRUE;
    }
    if (lParam == 0 && LOWORD(wParam) >= 32771) {
        OnMenuCommand(LOWORD(wParam));
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

LRESULT CTarvikDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_VIDEO_CLICK:
            OnVideoClick(lParam);
            return 0;
        case WM_VIDEO_DBLCLK:
            OnVideoDblClk(lParam);
            return 0;
        case WM_VIDEO_RCLICK:
            OnVideoRClick(lParam);
            return 0;
        case WM_BITBUTTON_DOWN:
            OnBitButtonDown(static_cast<UINT>(wParam));
            return 0;
        case WM_BITBUTTON_UP:
            OnBitButtonUp(static_cast<UINT>(wParam));
            return 0;
        case WM_MOVE:
            // The video window is a window of its own: it follows wherever the window goes.
            if (m_pDlgVideo != nullptr && IsWindowVisible() && !m_grid.m_bFullScreen)
                RelayoutPage();
            break;
        case WM_TRAY_NOTIFY:
            OnTrayNotify(wParam, lParam);
            return 0;
        case WM_SLIDER_DRAGGING:
            OnSliderDragging(wParam);
            return 0;
        case WM_SLIDER_RELEASED:
            OnSliderReleased(wParam);
            return 0;
        case WM_DVR_TREE_EVENT:
            if (m_treeView != nullptr)
                (void)HandleDvrTreeEvent(m_treeView.get(), lParam);
            else
                FreeDvrTreeEvent(lParam);
            return 0;
        default:
            break;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

int RunMainWindow() {
    if (SessionEndedBeforeMainWindow())
        return IDCANCEL;
    CTarvikDlg dialog;
    CWinApp* app = AfxGetApp();
    if (app != nullptr)
        app->m_pMainWnd = &dialog;
    intptr_t result = dialog.DoModal();
    if (app != nullptr && app->m_pMainWnd == &dialog)
        app->m_pMainWnd = nullptr;
    return static_cast<int>(result);
}

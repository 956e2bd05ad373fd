#pragma once

// CTarvikDlg, the client's main window (template 102): a skinned popup as large as the screen with the
// device tree, the screen grid (drawn into its video window), the PTZ panel, the bottom button bar and the
// volume slider. It runs modally from start-up to the end of the program. Its work is split by concern:
// main_window.cpp (frame, skin, layout, texts, start and shut-down), main_window_grid.cpp (screens,
// channels, view.dat), main_window_timers_run.cpp (the five timers), main_window_ptz.cpp (PTZ panel),
// main_window_commands.cpp (buttons, menus, tray, lock, snapshot, record, close request),
// main_window_relay.cpp (requests of the child dialogs) and main_window_child_dialogs.cpp.

#include <QString>
#include <memory>

#include "platform/system/copydata_endpoint.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/dialog.h"
#include "platform/ui/edit.h"
#include "platform/ui/gdi_objects.h"
#include "platform/ui/image_list.h"
#include "platform/ui/tray_icon.h"
#include "ui/controls/bit_button.h"
#include "ui/controls/bitmap_slider.h"
#include "ui/controls/dlg_video.h"
#include "ui/controls/my_tree_ctrl.h"
#include "ui/device_tree_adapter.h"
#include "ui/record_disk_full.h"
#include "ui/screen_grid.h"
#include "ui/screen_memory.h"
#include "ui/view_file.h"

class AlarmBeep;
class CDC;
struct DVRDevice;
struct MediaThreadTable;

constexpr UINT IDD_TARVIK_DIALOG = 102;
constexpr UINT IDC_DEVICE_TREE = 1005;
constexpr UINT IDC_PRESET_EDIT = 1014;
constexpr UINT IDC_VOLUME_SLIDER = 1025;
constexpr UINT IDC_SCREEN_COUNT = 1033;
constexpr UINT IDC_STATIC_1002 = 1002;
constexpr int MAIN_BUTTON_COUNT = 35;
// The skin buttons in declaration order.
inline constexpr UINT kMainButtonIds[MAIN_BUTTON_COUNT] = {
    1039, 1038, 1036, 1037, 1035, 1034, 1027, 1030, 1028, 1029, 1026, 1004,
    1003, 1031, 1032, 1001, 1021, 1024, 1023, 1022, 1020, 1019, 1018, 1017,
    1013, 1012, 1016, 1015, 1011, 1010, 1009, 1008, 1007, 1006, 1000};
// The tray icon's id.
constexpr UINT TRAY_ICON_ID = 128;

class CTarvikDlg : public CDialog {
public:
    explicit CTarvikDlg(CWnd* pParent = nullptr);
    ~CTarvikDlg() override;

    BOOL DestroyWindow() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // --- frame (main_window.cpp)
    void ApplyWindowRegion();
    void LayoutControls();
    void ApplyTexts();
    void ApplyLoginState();
    void EnableVideoWindow(BOOL enable);
    void EnableControls(BOOL keepLockControls, BOOL enable);
    int ShowMessageBox(const QString& text, UINT type);
    void StartTimers();
    void StopTimers();
    [[nodiscard]] int CreateVideoWindow();
    void DestroyChildDialogs();
    void LoadDeviceTree();
    void ClearDeviceTree();
    void ReloadLanguage();
    CBitButton* Button(UINT id);

    // --- grid (main_window_grid.cpp)
    void LayoutScreens(int first, int count, BOOL fullScreen);
    // The shown page again, in its mode, after the window changed its size or place: the page, the
    // selected screen and full screen stay as they were (a zoomed screen is unzoomed).
    void RelayoutPage();
    void LoadViews();
    void SaveViews();
    void OnVideoClick(LPARAM lParam);
    void OnVideoDblClk(LPARAM lParam);
    void OnVideoRClick(LPARAM lParam);
    void OnDblClickDeviceTree();
    void OnSelChangeScreenCount();
    void ToggleFullScreen();
    void NextPage();
    void PrevPage();
    void ToggleAutoScroll();
    void StopAutoScroll();
    void OpenAllChannels();
    void CloseAllChannels();
    void SetChannelItemIcon(DVRDevice* device, int channel, int image);
    // Puts the remembered channels of the device back on their screens (the sessions' restore hook).
    void RestoreSavedViews(DVRDevice* device);
    // The device's session dropped (supervisor thread) or the device goes (UI thread): what its screens
    // show, and with keepRecording which of their channels record, is remembered for its return; then
    // the screens are released.
    void RememberAndReleaseScreens(DVRDevice* device, bool keepRecording = true);

    // --- timers (main_window_timers_run.cpp)
    void UpdateVideoLoss();
    void DrawIdleScreens();
    void UpdateChannelLeds();
    void DrawChannelLeds(CDC& dc, CDC& memory, int height);
    void OnStartupLogin();
    void OnAutoScroll();

    // --- PTZ (main_window_ptz.cpp)
    void SendPtz(int screen, int command, int parameter);
    void SendScreenAutoScan(int mode, int on);
    void TogglePtzAutoScan();
    void OnBitButtonDown(UINT id);
    int PresetNumber() const;
    void SetPresetNumber(int value);

    // --- commands (main_window_commands.cpp)
    void OnBitButtonUp(UINT id);
    void OnMenuCommand(UINT id);
    void HideToTray();
    void MaximizeWindow();
    void RestoreWindow();
    void ConfirmExit();
    // WM_COPYDATA: the Updater's close request ends the window at once.
    BOOL OnCopyData(CWnd* pWnd, COPYDATASTRUCT* pCopyDataStruct) override;
    // Ends the window at once, also while locked and while a box, menu or dialog is open (each ends as
    // cancelled, the unlock dialog too); the shut-down of a confirmed exit follows.
    void EndSession();
    void OnTrayNotify(WPARAM wParam, LPARAM lParam);
    void OnTrayShow();
    void OnSliderDragging(WPARAM id);
    void OnSliderReleased(WPARAM id);
    void ToggleMute();
    void OnLoginButton();
    void OnLockCommand();
    void OnSwitchUser();
    void TakeSnapshot();
    void SetScreenRecording(bool on);
    // Runs the login dialog modally framed by the video window's disabling; IDOK or IDCANCEL.
    intptr_t RunLoginDialog(const QString* user, int lockMode, const QString* password);
    void UpdateTitleAndTip();

    // --- child dialogs (main_window_child_dialogs.cpp)
    void OpenPlaybackDialog();
    void OpenSetupDialog();
    void OpenStatusDialog();
    void OnChildClosed(WPARAM child);
    void MarkMissingChildDialogs();

    CBitButton m_buttons[MAIN_BUTTON_COUNT];
    CComboBox m_comboScreens;
    CBitmapSlider m_sliderVolume;
    CEdit m_editPreset;
    CMyTreeCtrl m_tree;
    QIcon m_hIcon;
    int m_nMaxScreens = 64;
    ScreenMemory m_screenMemory;  // the screens' channels per DVR (view.dat, kept through drops)
    bool m_bTreeLoaded = false;   // a login loaded the device tree (cleared with it at Switch User)
    std::unique_ptr<NOTIFYICONDATA> m_pTrayIcon;
    ScreenGrid m_grid;  // m_nScreenCount, m_nFirstScreen, m_nCurScreen, m_rcScreen, m_bZoomed, ...
    CDlgVideo* m_pDlgVideo = nullptr;
    int m_bMute = 0;
    RecordDiskFullNotice m_diskFull;
    int m_bPlaybackOpen = 0;
    int m_bLocked = 0;
    int m_bCaptionButtonDown = 0;
    int m_bInCaptionBand = 0;
    RECT m_rcRestore = {};
    CDialog* m_pDlgPlayback = nullptr;
    CDialog* m_pDlgSetup = nullptr;
    CDialog* m_pDlgStatus = nullptr;
    CBitmap m_bmpSkin;
    CImageList m_treeImages;
    CBitmap m_bmpLeds;
    int m_ledCells[GRID_SCREENS] = {};  // 0 idle, 1 recording, 2 alarm: the cell of the LED strip
    uintptr_t m_uTimerVideoLoss = 0;
    uintptr_t m_uTimerStartup = 0;
    uintptr_t m_uTimerAutoScroll = 0;
    uintptr_t m_uTimerLeds = 0;
    uintptr_t m_uTimerIdleScreens = 0;
    std::unique_ptr<MediaThreadTable> m_threads;
    std::unique_ptr<DeviceTreeAdapter> m_treeView;
    // Set once the close request ended the window: steps after a nested dialog are skipped.
    bool m_bCloseRequested = false;
    bool m_bMediaStarted = false;
    std::unique_ptr<AlarmBeep> m_alarmBeep;  // made at the first alarm

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}
    void OnPaint() override;
    BOOL OnEraseBkgnd() override;
    void OnSize(UINT nType, int cx, int cy) override;
    void OnShowWindow(BOOL bShow, UINT nStatus) override;
    void OnTimer(uintptr_t nIDEvent) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    void OnMouseMove(UINT nFlags, POINT point) override;
    void OnLButtonDown(UINT nFlags, POINT point) override;
    void OnLButtonUp(UINT nFlags, POINT point) override;

private:
    // The sessions' hooks point at this window while it runs (install) and at nothing after.
    void SetSessionHooks(bool install);
    // The video area of the current window (or the whole screen in full screen).
    RECT VideoArea(bool fullScreen) const;
    void PublishScreens();
};

// What the connection threads read of the child dialogs: their handles (null: none), set when a dialog is
// made and cleared before it goes.
void PublishChildDialogs(const CDialog* playback, const CDialog* setup);

// The running main window (null when none): the sessions' hooks and the video window's PTZ reach it here.
CTarvikDlg* MainWindow();
// Start-up step 8: runs the main window modally; returns when it has ended.
int RunMainWindow();

// The desktop ends the session (SIGTERM, SIGINT, SIGHUP): watched on the UI thread, each ends the running
// main window as the close request does; one that comes before the main window runs keeps it from
// starting. The orderly shut-down is given boundSeconds, after which the process ends regardless.
// 0, or -1 when the signals cannot be watched.
[[nodiscard]] int WatchSessionEndSignals(unsigned boundSeconds);
void StopWatchingSessionEndSignals();
// True when a signal came before the main window ran.
bool SessionEndedBeforeMainWindow();

// Titles and texts of the main window from the active language.
QString MainWindowTitle(bool locked);

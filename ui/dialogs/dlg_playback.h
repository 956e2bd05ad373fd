#pragma once

// CDlgPlayback (dialog 148): the remote playback window. It covers the screen with its skin, lays out up
// to 16 playback screens in its video window, finds a DVR's recordings by day (time mode) or by search
// (file mode), opens them on the selected screen and steers their playback. It sends no request itself:
// every request is posted to its owner (the main window), which relays it to the DVR, and the replies come
// back as WM_PLAYBACK_DATA_RECEIVED. The playback engine (media/playback_engine.h) decodes and draws the
// screens; what its threads read of the dialog lives in m_view.

#include <QString>
#include <memory>

#include "core/worker_threads.h"
#include "dvr/dvr_device.h"
#include "media/playback_engine.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/date_ctrls.h"
#include "platform/ui/dialog.h"
#include "platform/ui/gdi_objects.h"
#include "platform/ui/list_ctrl.h"
#include "platform/ui/static_ctrl.h"
#include "ui/controls/bit_button.h"
#include "ui/controls/bitmap_slider.h"
#include "ui/controls/report_ctrl.h"
#include "ui/controls/tab_ctrl_ex.h"
#include "ui/controls/transparent_static.h"
#include "ui/playback_layout.h"
#include "ui/playback_transport.h"

class CDlgVideo;
struct DayRecordMap;

constexpr UINT IDD_DLG_PLAYBACK = 148;
constexpr UINT TIMER_PLAYBACK_IDLE = 4097;
constexpr UINT IDM_PLAYBACK_FULLSCREEN = 32771;
constexpr UINT IDM_PLAYBACK_SNAPSHOT = 32776;

enum PlaybackControlId : UINT {
    IDC_PB_EXIT = 1000,
    IDC_PB_VOLUME = 1025,
    IDC_PB_MUTE = 1026,
    IDC_PB_FULLSCREEN = 1027,
    IDC_PB_POSITION = 1028,
    IDC_PB_SNAPSHOT = 1031,
    IDC_PB_DOWNLOAD = 1032,
    IDC_PB_SCREEN_COUNT = 1033,
    IDC_PB_STEP = 1034,
    IDC_PB_CHANNEL = 1062,
    IDC_PB_TAB = 1119,
    IDC_PB_DAY_BAR = 1121,
    IDC_PB_PLAY = 1122,
    IDC_PB_PAUSE = 1123,
    IDC_PB_STOP = 1124,
    IDC_PB_FAST = 1125,
    IDC_PB_SLOW = 1126,
    IDC_PB_FORWARD = 1127,
    IDC_PB_BACKWARD = 1128,
    IDC_PB_TIME_TEXT = 1129,
    IDC_PB_CALENDAR = 1130,
    IDC_PB_CHANNEL_LIST = 1134,
    IDC_PB_FILE_LIST = 1135,
    IDC_PB_LABEL_CHANNEL = 1136,
    IDC_PB_LABEL_BEGIN = 1137,
    IDC_PB_LABEL_END = 1138,
    IDC_PB_BEGIN_DATE = 1139,
    IDC_PB_END_DATE = 1140,
    IDC_PB_BEGIN_TIME = 1141,
    IDC_PB_END_TIME = 1142,
    IDC_PB_SEARCH = 1143,
};

class CDlgPlayback : public CDialog {
public:
    explicit CDlgPlayback(CWnd* pOwner);
    ~CDlgPlayback() override;

    BOOL DestroyWindow() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Window, screens and lifecycle. The video window's creation is virtual so a test can make it fail.
    virtual int CreateVideoWindow();
    void DestroyVideoWindow();
    int StartThreads();
    void StopThreads();
    void LayoutControls();
    void ApplyTexts();
    void LayoutScreens(int first, int count, int fullScreen);
    void ToggleFullScreen();
    void DrawIdleScreens();
    void ExitDialog();
    LRESULT OnVideoClick(LPARAM lParam);
    LRESULT OnVideoDblClk(LPARAM lParam);
    LRESULT OnVideoRClick(LPARAM lParam);
    void OnScreenCountChange();

    // Modes, search and opening.
    void SetMode(int mode);
    void OnTabChange();
    void QueryMonth();
    void QueryDay(int screen, int channel, int32_t day);
    void SearchFiles();
    void OpenSelected(int mode);
    void ResetControls();
    void OnPlaybackData(int code, LPARAM lParam);

    // Transport, position, audio and snapshots.
    LRESULT OnBitButtonUp(UINT id);
    void SendControl(int command, int parameter);
    void UpdateButtons(int screen);
    void UpdateTimeText(int screen);
    void PlayOrResume();
    void JumpForward();
    void JumpBackward();
    LRESULT OnSliderDragging(UINT id, int position);
    LRESULT OnSliderReleased(UINT id, int position);
    void ToggleMute();
    void TakeSnapshot();
    int ShowMessageBox(const QString& text, UINT type);
    void EnableVideoWindow(BOOL enable);

    // The colour of an hour cell (column 1-24) of the day-record bar's row for a screen.
    COLORREF DayBarColour(int screen, int column) const;
    // The first-selected file's name, copied into the row's own record.
    const QString& FileRowName(int row) const;

    CWnd* m_pOwner;
    MONTHDAYSTATE* m_dayState;
    int m_nTabCount = 2;
    int m_nMode = 0;
    int m_bMuted = 0;
    int m_bSeeking = 0;
    int m_nMaxScreens = PLAYBACK_SCREEN_COUNT;
    int m_nScreenCount = PLAYBACK_SCREEN_COUNT;
    CDlgVideo* m_pVideoWnd = nullptr;
    int m_nCurScreen = 0;
    RECT m_rcScreen[PLAYBACK_SCREEN_COUNT] = {};
    RECT m_rcSaved[PLAYBACK_SCREEN_COUNT] = {};
    int m_bScreenShown[PLAYBACK_SCREEN_COUNT] = {};
    int m_bZoomed = 0;
    int m_bFullScreen = 0;
    int m_nFirstScreen = 0;
    int m_nPosWidth = 0;
    CBitmap m_bmBackground;
    uintptr_t m_nTimerId = 0;
    WorkerThread* m_hThreads[PLAYBACK_SCREEN_COUNT] = {};
    ThreadId m_threadIds[PLAYBACK_SCREEN_COUNT] = {};
    // The fields the playback threads read, and the dialog's audio output.
    PlaybackView m_view;
    // Whether OnInitDialog made everything; a failed start leaves the dialog without layout.
    bool m_bInitialised = false;

    CTabCtrlEx m_tab;
    CMonthCalCtrl m_calendar;
    CListCtrl m_channelList;
    CListCtrl m_fileList;
    CComboBox m_comboChannel;
    CComboBox m_comboScreens;
    CDateTimeCtrl m_beginDate, m_beginTime, m_endDate, m_endTime;
    CBitmapSlider m_sliderPos;
    CBitmapSlider m_sliderVolume;
    CTransparentStatic m_timeText;
    CReportCtrl m_dayBar;
    CBitButton m_btnSearch, m_btnPlay, m_btnPause, m_btnStop, m_btnStep, m_btnSlow, m_btnFast, m_btnBackward,
        m_btnForward, m_btnFullScreen, m_btnDownload, m_btnSnapshot, m_btnMute, m_btnExit;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}
    BOOL OnEraseBkgnd() override;
    void OnPaint() override;
    void OnShowWindow(BOOL bShow, UINT nStatus) override;
    void OnTimer(uintptr_t nIDEvent) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

private:
    // A text of the language table, with its English default.
    static QString Text(const char* key, const char* english);
    // Posts a request record in wParam; frees it when the post cannot be queued. Nothing without an owner.
    template <typename Record>
    void PostRecord(UINT message, Record* record, LPARAM lParam);
    void PostStopAll(int mode);
    void StopAudio();
    PlaybackValues SlotValues(int screen) const;
    int HitScreen(LPARAM lParam) const;
    RECT VideoArea() const;
    void SetWindowRegion();
    void SkinButtons();
    void ResetDayBar();
    void FillFileList();
    void ApplyDayRecords(DayRecordMap* map);
    void ShowButton(CBitButton& button, bool shown, bool enabled);
    void SetPositionSlider(int pos);

    // The file list's rows: each keeps its own copy of its file name, found by the row's item data.
    std::vector<QString> m_fileNames;
    QString m_noName;
    bool m_bThreadsStarted = false;
    bool m_bEngineMade = false;
};

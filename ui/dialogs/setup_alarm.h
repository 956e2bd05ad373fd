#pragma once

// The alarm page of the setup dialog (template 145): for one channel the motion sensitivity, the alarm
// actions (e-mail, message to the client; the mobile-phone bits are not offered and go back as the DVR
// sent them) and the motion zones, an 8 x 8 grid over the channel's live preview (view 2) in which a click
// or a drag toggles zones in the channel's record; the preview outlines them at once. Set and All Set
// send the sensitivity and actions; "Save Motion-detection" and "Clear Motion-detection" send the zones.
//
// The page keeps a copy of the zones the DVR confirmed, with the channel it belongs to: hiding the page or
// choosing another channel puts that copy back into its channel's record, so unsaved toggles are dropped.
// The page acts (Set, All Set, zone toggles and saves) only once both replies of the chosen channel have
// arrived.

#include "dvr/dvr_device.h"
#include "platform/ui/combo_box.h"
#include "ui/dialogs/alarm_fields.h"
#include "ui/dialogs/setup_page.h"

constexpr UINT IDD_SETUP_ALARM = 145;
constexpr UINT IDC_ALARM_SENSITIVITY = 1117;
constexpr UINT IDC_ALARM_EMAIL = 1202;
constexpr UINT IDC_ALARM_CLIENT = 1310;
constexpr UINT IDC_ALARM_MOBILE = 1204;
constexpr UINT IDC_ALARM_MMS = 1104;
constexpr UINT IDC_ALARM_SMS = 1105;
constexpr UINT IDC_ALARM_PREVIEW = IDC_SETUP_PREVIEW;
constexpr UINT IDC_ALARM_NOTE = 1181;
constexpr UINT IDC_ALARM_CLEAR_MOTION = 1199;
constexpr UINT IDC_ALARM_SAVE_MOTION = 1200;
constexpr int ALARM_PREVIEW_VIEW = 2;

class CDlgSetupAlarm : public CSetupPage {
public:
    explicit CDlgSetupAlarm(CWnd* pOwner);

    CComboBox m_cboSensitivity;
    HWND m_hPreview = nullptr;
    MotionGrid m_grid{};
    // The zones as the DVR last confirmed them, and their channel (-1: none).
    MotionZoneMask m_maskCopy{};
    int m_nMaskChannel = -1;
    // The channel whose alarm reply the controls show (-1: none).
    int m_nAlarmChannel = -1;
    bool m_bDragging = false;
    POINT m_ptDragStart;

    void ComputeMaskGrid();
    // Inverts the zones that the selection touches in the current channel's record.
    void ToggleMaskCells(const RECT& selection);
    // The alarm controls into channel's record: 0 when it changed, -1 when not or not possible.
    [[nodiscard]] int CollectChannel(int channel);
    // "Save Motion-detection" (clear false) and "Clear Motion-detection" (clear true).
    void SaveMotion(bool clear);
    // What the alarm controls hold.
    AlarmControls ReadControls() const;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnLButtonDown(UINT nFlags, POINT point) override;
    void OnLButtonUp(UINT nFlags, POINT point) override;
    void OnMouseMove(UINT nFlags, POINT point) override;

    void ApplyLanguage() override;
    void ResetControls() override;
    void FillFromDevice(int replyType, int index) override;
    [[nodiscard]] int Collect(int channel) override;
    void OnShown() override;
    void OnHidden() override;
    void OnChannelChange(int ch) override;
    bool CompletesLoad(int replyType) const override;
    BOOL OnPageCommand(UINT id, UINT code) override;

private:
    // Both replies of the current channel are on the page.
    bool ChannelReady() const;
    // Puts the zone copy back into its channel's record and forgets it.
    void RestoreMaskCopy();
    void EnableRadios();
};

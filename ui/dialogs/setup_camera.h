#pragma once

// CDlgSetupCamera: the camera page of the setup dialog (template 150). For the chosen channel of the
// selected DVR it edits the camera type, the PTZ protocol with its address and serial line, the speed
// level and the four reversal flags, and the auto-scan table of 32 preset steps. The preview frame shows
// the channel (view 1); five test buttons move the camera while held, with the speed and reversal the
// DVR holds for the channel.
//
// A held test button always ends with a stop for the channel it moved, whether the button reports its
// release, the page is hidden or another channel is chosen. The auto-scan rows carry their step's index
// as data word, so sorting the table never moves a stay time to another preset, and an open cell editor
// is committed before Set or All Set reads the table.

#include "ui/controls/bit_button.h"
#include "ui/controls/report_ctrl.h"
#include "ui/dialogs/setup_camera_fields.h"
#include "ui/dialogs/setup_page.h"

constexpr UINT IDD_SETUP_CAMERA = 150;

class CDlgSetupCamera : public CSetupPage {
public:
    explicit CDlgSetupCamera(CWnd* pOwner);
    ~CDlgSetupCamera() override;

    void ApplyCameraType(int type);
    void OnProtocolChange();
    // 0 when the record of channel changed.
    [[nodiscard]] int CollectChannel(int channel);
    void OnBitButtonDown(UINT id);
    void OnBitButtonUp(UINT id);
    // The channel a held test button moves, -1 when none is held.
    int HeldChannel() const { return m_nHeldChannel; }

    CReportCtrl m_listAutoScan;
    CBitButton m_btnUp;
    CBitButton m_btnDown;
    CBitButton m_btnLeft;
    CBitButton m_btnRight;
    CBitButton m_btnStop;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
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
    CameraControls ReadControls();
    void FillSteps(const DVRChannel& record);
    void StopHeldButton();

    int m_nHeldChannel = -1;
};

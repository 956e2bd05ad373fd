#pragma once

// The audio and video page of the setup dialog (template 156): for the chosen channel of the selected DVR
// the record stream's and the network stream's resolution, quality and frame rate, and the audio capture
// (sample rate, bits per sample, quality, on or off). Set writes the changed values into the channel's
// record and asks the main window to send the video, audio and network-stream parameters.

#include <cstdint>

#include "platform/ui/button.h"
#include "ui/dialogs/setup_page.h"

struct DVRChannel;

constexpr UINT IDD_SETUP_VIDEO = 156;
constexpr UINT IDC_VIDEO_RESOLUTION = 1077;
constexpr UINT IDC_VIDEO_QUALITY = 1078;
constexpr UINT IDC_VIDEO_FRAMERATE = 1079;
constexpr UINT IDC_VIDEO_RESOLUTION2 = 1080;
constexpr UINT IDC_VIDEO_QUALITY2 = 1081;
constexpr UINT IDC_VIDEO_FRAMERATE2 = 1082;
constexpr UINT IDC_VIDEO_SAMPLERATE = 1084;
constexpr UINT IDC_VIDEO_BITS = 1085;
constexpr UINT IDC_VIDEO_AUDIO_QUALITY = 1087;
constexpr UINT IDC_VIDEO_AUDIO_ENABLE = 1094;

// Resolution codes 0-8 and their names.
constexpr int RESOLUTION_CODE_COUNT = 9;
extern const char16_t RESOLUTION_NAMES[RESOLUTION_CODE_COUNT][64];

class CDlgSetupVideo : public CSetupPage {
public:
    explicit CDlgSetupVideo(CWnd* pOwner);

    CComboBox m_cboResolution;
    CComboBox m_cboQuality;
    CComboBox m_cboFrameRate;
    CComboBox m_cboResolution2;
    CComboBox m_cboQuality2;
    CComboBox m_cboFrameRate2;
    CComboBox m_cboSampleRate;
    CComboBox m_cboBits;
    CComboBox m_cboAudioQuality;
    CButton m_chkAudio;

    // Writes the six stream values into channel's record when they differ: 0 written, -1 unchanged or no
    // such channel.
    [[nodiscard]] int CollectVideo(int channel);
    // The same for the four audio values.
    [[nodiscard]] int CollectAudio(int channel);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void ApplyLanguage() override;
    void ResetControls() override;
    void FillFromDevice(int replyType, int index) override;
    [[nodiscard]] int Collect(int channel) override;
    bool CompletesLoad(int replyType) const override;
    void OnShown() override;
    void OnChannelChange(int ch) override;

private:
    DVRChannel* ChannelRecord(int channel) const;

    // Which halves of the chosen channel's values the controls hold since the last show or channel choice.
    bool m_bVideoFilled = false;
    bool m_bAudioFilled = false;
};

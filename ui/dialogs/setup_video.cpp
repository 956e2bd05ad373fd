#include "ui/dialogs/setup_video.h"

#include <iterator>
#include <new>
#include <vector>

#include "core/tarvik_app.h"
#include "core/window_messages.h"
#include "dvr/dvr_session.h"
#include "platform/ui/data_exchange.h"
#include "ui/dialogs/dialog_texts.h"
#include "ui/dialogs/setup_combo.h"
#include "ui/dialogs/setup_page_table.h"
#include "ui/dialogs/setup_values.h"

const char16_t RESOLUTION_NAMES[RESOLUTION_CODE_COUNT][64] = {
    u"QCIF", u"CIF", u"HD1", u"4CIF", u"D1", u"960H", u"720P", u"960P", u"1080P",
};

namespace {

constexpr int kQualityCount = 5;
constexpr int kHighestResolution = 8;
constexpr int kHighestStreamResolution = 4;
constexpr int kFrameRates = 30;

const DialogText kTexts[] = {
    {1136, "DLGSETUPVIDEO_STATIC_CHANNEL", "Please select channel:"},
    {1169, "DLGSETUPVIDEO_STATIC_VIDEO_PARAM", "Video parameters"},
    {1170, "DLGSETUPVIDEO_STATIC_RESOLUTION", "Record resolution:"},
    {1171, "DLGSETUPVIDEO_STATIC_VIDEO_QUALITY", "Record quality:"},
    {1172, "DLGSETUPVIDEO_STATIC_FRAMERATE", "Record framerate:"},
    {1173, "DLGSETUPVIDEO_STATIC_RESOLUTION2", "Stream resolution:"},
    {1174, "DLGSETUPVIDEO_STATIC_VIDEO_QUALITY2", "Stream quality:"},
    {1175, "DLGSETUPVIDEO_STATIC_FRAMERATE2", "Stream framerate:"},
    {1177, "DLGSETUPVIDEO_STATIC_AUDIO_PARAM", "Audio parameters"},
    {1178, "DLGSETUPVIDEO_STATIC_SAMPLERATE", "Sample rate:"},
    {1179, "DLGSETUPVIDEO_STATIC_BITS", "Bits per sample:"},
    {1180, "DLGSETUPVIDEO_STATIC_AUDIO_QUALITY", "Audio quality:"},
    {IDC_VIDEO_AUDIO_ENABLE, "DLGSETUPVIDEO_CHECK_AUDIO", "Enable audio capture"},
    {IDOK, "DLGSETUPVIDEO_BUTTON_OK", "Set"},
    {IDC_SETUP_ALL_SET, "DLGSETUPVIDEO_BUTTON_SETALL", "All Set"},
    {IDCANCEL, "DLGSETUPVIDEO_BUTTON_CANCEL", "Exit"},
    {IDC_SETUP_SAVED_NOTICE, "SYSTEM_MSG_CONFIG_SAVED", "Saved."},
};

// Resolution codes from highest down to 0.
std::vector<ValueItem> ResolutionItems(int highest) {
    std::vector<ValueItem> items;
    for (int code = highest; code >= 0; --code)
        items.push_back({QString::fromUtf16(RESOLUTION_NAMES[code]), code});
    return items;
}

// "30" (3000) down to "1" (100).
std::vector<ValueItem> FrameRateItems() {
    std::vector<ValueItem> items;
    for (int n = kFrameRates; n >= 1; --n)
        items.push_back({QString::number(n), n * 100});
    return items;
}

std::vector<ValueItem> QualityItems() {
    std::vector<ValueItem> items;
    for (int i = 0; i < kQualityCount; ++i) {
        // The quality texts have no English default: a missing key gives an empty item.
        const QString key = QStringLiteral("DLGSETUPCHANNEL_COMBO_QUALITY_%1").arg(i);
        items.push_back({GetLanguageText(key), i});
    }
    return items;
}

// Refills a quality combo with the active language's texts, keeping the selected item.
void RefillQuality(CComboBox& combo) {
    int selected = combo.GetCurSel();
    FillValueCombo(combo, QualityItems());
    combo.SetCurSel(selected);
}

}  // namespace

CSetupPage* NewSetupVideoPage(CWnd* owner) {
    return new (std::nothrow) CDlgSetupVideo(owner);
}

CDlgSetupVideo::CDlgSetupVideo(CWnd* pOwner)
    : CSetupPage(IDD_SETUP_VIDEO, pOwner, SETUP_PAGE_VIDEO, SetupPageKind::Channel) {}

void CDlgSetupVideo::DoDataExchange(CDataExchange* pDX) {
    CSetupPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_VIDEO_RESOLUTION, m_cboResolution);
    DDX_Control(pDX, IDC_VIDEO_QUALITY, m_cboQuality);
    DDX_Control(pDX, IDC_VIDEO_FRAMERATE, m_cboFrameRate);
    DDX_Control(pDX, IDC_VIDEO_RESOLUTION2, m_cboResolution2);
    DDX_Control(pDX, IDC_VIDEO_QUALITY2, m_cboQuality2);
    DDX_Control(pDX, IDC_VIDEO_FRAMERATE2, m_cboFrameRate2);
    DDX_Control(pDX, IDC_VIDEO_SAMPLERATE, m_cboSampleRate);
    DDX_Control(pDX, IDC_VIDEO_BITS, m_cboBits);
    DDX_Control(pDX, IDC_VIDEO_AUDIO_QUALITY, m_cboAudioQuality);
    DDX_Control(pDX, IDC_VIDEO_AUDIO_ENABLE, m_chkAudio);
}

void CDlgSetupVideo::ApplyLanguage() {
    ApplyDialogTexts(this, kTexts);
    RefillQuality(m_cboQuality);
    RefillQuality(m_cboQuality2);
    RefillQuality(m_cboAudioQuality);
}

void CDlgSetupVideo::ResetControls() {
    DVRDevice* device = CurrentDevice();
    // Before the DVR's system parameters have arrived the lists stay as they are.
    if (device == nullptr || device->systemParams == nullptr)
        return;
    FillValueCombo(m_cboResolution, ResolutionItems(kHighestResolution));
    FillValueCombo(m_cboResolution2, ResolutionItems(kHighestStreamResolution));
    FillValueCombo(m_cboFrameRate, FrameRateItems());
    FillValueCombo(m_cboFrameRate2, FrameRateItems());
    FillValueCombo(m_cboSampleRate, {{QStringLiteral("16000"), 16000}, {QStringLiteral("8000"), 8000}});
    FillValueCombo(m_cboBits, {{QStringLiteral("16"), 16}, {QStringLiteral("8"), 8}});
    m_chkAudio.SetCheck(BST_UNCHECKED);
}

void CDlgSetupVideo::OnShown() {
    ResetControls();
    m_bVideoFilled = false;
    m_bAudioFilled = false;
}

void CDlgSetupVideo::OnChannelChange(int ch) {
    (void)ch;
    m_bVideoFilled = false;
    m_bAudioFilled = false;
}

DVRChannel* CDlgSetupVideo::ChannelRecord(int channel) const {
    DVRDevice* device = CurrentDevice();
    if (device == nullptr || channel < 0 || channel >= AddressableChannels(device))
        return nullptr;
    return &device->channels[channel];
}

void CDlgSetupVideo::FillFromDevice(int replyType, int index) {
    DVRChannel* record = ChannelRecord(index);
    if (record == nullptr)
        return;
    // A value that no item carries selects nothing, so that Set keeps it unless the operator picks another.
    if (replyType == SETUP_REPLY_VIDEO) {
        SelectComboData(m_cboResolution, record->resolution, false);
        SelectComboData(m_cboResolution2, record->subResolution, false);
        SelectComboData(m_cboQuality, record->quality, false);
        SelectComboData(m_cboQuality2, record->subQuality, false);
        SelectComboData(m_cboFrameRate, record->frameRate, false);
        SelectComboData(m_cboFrameRate2, record->subFrameRate, false);
        m_bVideoFilled = true;
    } else if (replyType == SETUP_REPLY_AUDIO) {
        SelectComboData(m_cboSampleRate, record->sampleRate, false);
        SelectComboData(m_cboBits, record->bitsPerSample, false);
        SelectComboData(m_cboAudioQuality, record->audioQuality, false);
        m_chkAudio.SetCheck(record->audioEnabled != 0 ? BST_CHECKED : BST_UNCHECKED);
        m_bAudioFilled = true;
    }
}

bool CDlgSetupVideo::CompletesLoad(int replyType) const {
    // Set needs both halves: a check box left cleared from the show would otherwise turn audio off.
    bool video = m_bVideoFilled || replyType == SETUP_REPLY_VIDEO;
    bool audio = m_bAudioFilled || replyType == SETUP_REPLY_AUDIO;
    return video && audio;
}

int CDlgSetupVideo::CollectVideo(int channel) {
    DVRChannel* record = ChannelRecord(channel);
    if (record == nullptr)
        return -1;
    const int32_t values[] = {
        SelectedComboData(m_cboResolution).value_or(record->resolution),
        SelectedComboData(m_cboResolution2).value_or(record->subResolution),
        SelectedComboData(m_cboQuality).value_or(record->quality),
        SelectedComboData(m_cboQuality2).value_or(record->subQuality),
        SelectedComboData(m_cboFrameRate).value_or(record->frameRate),
        SelectedComboData(m_cboFrameRate2).value_or(record->subFrameRate),
    };
    int32_t* fields[] = {&record->resolution, &record->subResolution, &record->quality,
                         &record->subQuality, &record->frameRate,     &record->subFrameRate};
    bool changed = false;
    for (size_t i = 0; i < std::size(fields); ++i)
        changed = changed || *fields[i] != values[i];
    if (!changed)
        return -1;
    for (size_t i = 0; i < std::size(fields); ++i)
        *fields[i] = values[i];
    return 0;
}

int CDlgSetupVideo::CollectAudio(int channel) {
    DVRChannel* record = ChannelRecord(channel);
    if (record == nullptr)
        return -1;
    const int32_t sampleRate = SelectedComboData(m_cboSampleRate).value_or(record->sampleRate);
    const auto bits = static_cast<uint16_t>(SelectedComboData(m_cboBits).value_or(record->bitsPerSample));
    const int32_t quality = SelectedComboData(m_cboAudioQuality).value_or(record->audioQuality);
    const int32_t enabled = m_chkAudio.GetCheck() == BST_CHECKED ? 1 : 0;
    if (sampleRate == record->sampleRate && bits == record->bitsPerSample &&
        quality == record->audioQuality && enabled == record->audioEnabled)
        return -1;
    record->sampleRate = sampleRate;
    record->bitsPerSample = bits;
    record->audioQuality = quality;
    record->audioEnabled = enabled;
    return 0;
}

int CDlgSetupVideo::Collect(int channel) {
    // The main window sends nothing for the two apply notices; the save that follows sends all three
    // parameter sets.
    int video = CollectVideo(channel);
    if (video == 0)
        (void)PostToOwner(WM_SETUP_APPLY, 0, channel);
    int audio = CollectAudio(channel);
    if (audio == 0)
        (void)PostToOwner(WM_SETUP_APPLY, 1, channel);
    return video == 0 || audio == 0 ? 0 : -1;
}

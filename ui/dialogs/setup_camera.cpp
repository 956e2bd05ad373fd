#include "ui/dialogs/setup_camera.h"

#include <new>

#include "core/window_messages.h"
#include "dvr/dvr_records.h"
#include "dvr/dvr_session.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/range_ctrls.h"
#include "ui/dialogs/dialog_texts.h"
#include "ui/dialogs/setup_channel_fields.h"
#include "ui/dialogs/setup_combo.h"
#include "ui/dialogs/setup_page_controls.h"
#include "ui/dialogs/setup_page_table.h"

namespace {

constexpr UINT IDC_TYPE = 1100;
constexpr UINT IDC_PROTOCOL = 1086;
constexpr UINT IDC_ADDRESS = 1088;
constexpr UINT IDC_PORT = 1089;
constexpr UINT IDC_BAUD = 1090;
constexpr UINT IDC_DATABITS = 1091;
constexpr UINT IDC_PARITY = 1092;
constexpr UINT IDC_STOPBITS = 1093;
constexpr UINT IDC_SPEED = 1102;
constexpr UINT IDC_AUTOSCAN = 1193;
constexpr UINT IDC_PTZ_UP = 1020;
constexpr UINT IDC_PTZ_DOWN = 1022;
constexpr UINT IDC_PTZ_LEFT = 1023;
constexpr UINT IDC_PTZ_RIGHT = 1024;
constexpr UINT IDC_PTZ_STOP = 1124;
constexpr int kSpeedMax = 5;
constexpr int kComPorts = 36;
constexpr int kCameraTypeDome = 2;

struct ReverseBox {
    UINT id;
    uint32_t bit;
};
constexpr ReverseBox kReverseBoxes[] = {
    {1302, CAMERA_REVERSE_PAN},
    {1301, CAMERA_REVERSE_TILT},
    {1303, CAMERA_REVERSE_ZOOM},
    {1304, CAMERA_REVERSE_FOCUS},
};

struct TestButton {
    UINT id;
    int command;  // 0: nothing on press
    const char* key;
    const char* english;
    const char* caption;
};
constexpr TestButton kTestButtons[] = {
    {IDC_PTZ_UP, PTZ_TILT_UP, "DLGMAIN_BUTTON_UP", "Tilt up", "A"},
    {IDC_PTZ_DOWN, PTZ_TILT_DOWN, "DLGMAIN_BUTTON_DOWN", "Tilt down", "V"},
    {IDC_PTZ_LEFT, PTZ_PAN_LEFT, "DLGMAIN_BUTTON_LEFT", "Pan left", "<-"},
    {IDC_PTZ_RIGHT, PTZ_PAN_RIGHT, "DLGMAIN_BUTTON_RIGHT", "Pan right", "->"},
    {IDC_PTZ_STOP, 0, "DLGMAIN_BUTTON_STOP", "PTZ stop", "[]"},
};

const DialogText kTexts[] = {
    {1136, "DLGSETUPCAMERA_STATIC_CHANNEL", "Please select channel:"},
    {1182, "DLGSETUPCAMERA_STATIC_CAMERA_PARAM", "Camera parameters"},
    {1183, "DLGSETUPCAMERA_STATIC_TYPE", "Camera type:"},
    {1184, "DLGSETUPCAMERA_STATIC_PROTOCOL", "Control protocol:"},
    {1185, "DLGSETUPCAMERA_STATIC_Address", "Address:"},
    {1186, "DLGSETUPCAMERA_STATIC_COM", "Control port:"},
    {1187, "DLGSETUPCAMERA_STATIC_BAUDRATE", "Baud rate:"},
    {1188, "DLGSETUPCAMERA_STATIC_DATABITS", "Data bits:"},
    {1189, "DLGSETUPCAMERA_STATIC_PARITY", "Parity:"},
    {1190, "DLGSETUPCAMERA_STATIC_STOPBIT", "Stop bit:"},
    {1191, "DLGSETUPCAMERA_STATIC_SPEED", "Speed level:"},
    {1302, "DLGSETUPCAMERA_CHECK_LR", "Left<->Right"},
    {1301, "DLGSETUPCAMERA_CHECK_UD", "Up<->Down"},
    {1303, "DLGSETUPCAMERA_CHECK_IO", "In<->Out"},
    {1304, "DLGSETUPCAMERA_CHECK_NF", "Near<->Far"},
    {1192, "DLGSETUPCAMERA_STATIC_AUTOSCAN_PARAM", "Auto-scan parameters"},
    {IDOK, "DLGSETUPCAMERA_BUTTON_OK", "Set"},
    {1107, "DLGSETUPCAMERA_BUTTON_SETALL", "All Set"},
    {IDCANCEL, "DLGSETUPCAMERA_BUTTON_CANCEL", "Exit"},
    {1307, "SYSTEM_MSG_CONFIG_SAVED", "Saved."},
};

const ListColumn kColumns[] = {
    {"DLGSETUPCAMERA_LIST_AUTOSCAN_0", "Preset ID", LVCFMT_LEFT, 100},
    {"DLGSETUPCAMERA_LIST_AUTOSCAN_1", "Stay Seconds", LVCFMT_CENTER, 160},
};

// The lists whose items come from the language table: key prefix and item count; item data = index.
struct KeyedList {
    UINT id;
    const char* prefix;
    int count;
};
constexpr KeyedList kKeyedLists[] = {
    {IDC_TYPE, "DLGSETUPCAMERA_COMBO_TYPE_", 3},
    {IDC_PROTOCOL, "DLGSETUPCAMERA_COMBO_PROTOCOL_", 3},
    {IDC_PARITY, "DLGSETUPCAMERA_COMBO_PARITY_", 3},
};

// Selects the first item whose text begins with the text (ignoring case), item 0 when none does.
void SelectByPrefix(const CWnd* page, UINT id, const QString& text) {
    auto* combo = PageItem<CComboBox>(page, id);
    if (combo == nullptr)
        return;
    int found = 0;
    for (int i = 0; i < combo->GetCount(); ++i) {
        QString item;
        combo->GetLBText(i, item);
        if (item.startsWith(text, Qt::CaseInsensitive)) {
            found = i;
            break;
        }
    }
    combo->SetCurSel(found);
}

void FillList(const CWnd* page, UINT id, const QStringList& texts, const std::vector<int>& data) {
    auto* combo = PageItem<CComboBox>(page, id);
    if (combo == nullptr)
        return;
    combo->ResetContent();
    for (qsizetype i = 0; i < texts.size(); ++i)
        AddComboItem(*combo, texts[i], data[static_cast<size_t>(i)]);
}

QString FixedText(const char16_t* text, size_t size) {
    qsizetype length = 0;
    while (length < static_cast<qsizetype>(size) - 1 && text[length] != 0)
        ++length;
    return QString::fromUtf16(text, length);
}

}  // namespace

CSetupPage* NewSetupCameraPage(CWnd* owner) {
    return new (std::nothrow) CDlgSetupCamera(owner);
}

CDlgSetupCamera::CDlgSetupCamera(CWnd* pOwner)
    : CSetupPage(IDD_SETUP_CAMERA, pOwner, SETUP_PAGE_CAMERA, SetupPageKind::Channel, 1) {}

CDlgSetupCamera::~CDlgSetupCamera() = default;

void CDlgSetupCamera::DoDataExchange(CDataExchange* pDX) {
    CSetupPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_AUTOSCAN, m_listAutoScan);
    DDX_Control(pDX, IDC_PTZ_UP, m_btnUp);
    DDX_Control(pDX, IDC_PTZ_DOWN, m_btnDown);
    DDX_Control(pDX, IDC_PTZ_LEFT, m_btnLeft);
    DDX_Control(pDX, IDC_PTZ_RIGHT, m_btnRight);
    DDX_Control(pDX, IDC_PTZ_STOP, m_btnStop);
}

void CDlgSetupCamera::ApplyLanguage() {
    ApplyDialogTexts(this, kTexts);
    for (const KeyedList& list : kKeyedLists) {
        auto* combo = PageItem<CComboBox>(this, list.id);
        if (combo == nullptr)
            continue;
        int selected = std::max(combo->GetCurSel(), 0);
        QStringList texts;
        std::vector<int> data;
        for (int i = 0; i < list.count; ++i) {
            texts << LanguageText((QByteArray(list.prefix) + QByteArray::number(i)).constData(), "");
            data.push_back(i);
        }
        FillList(this, list.id, texts, data);
        combo->SetCurSel(selected);
    }
    m_listAutoScan.EndCellEdit(FALSE);
    m_listAutoScan.EnableEdit();
    m_listAutoScan.DeleteAllItems();
    m_listAutoScan.DeleteAllColumns();
    m_listAutoScan.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    for (size_t i = 0; i < std::size(kColumns); ++i)
        m_listAutoScan.InsertColumn(static_cast<int>(i), LanguageText(kColumns[i].key, kColumns[i].english),
                                    kColumns[i].format, kColumns[i].width);
    for (int i = 0; i < AUTOSCAN_STEPS; ++i) {
        int row = m_listAutoScan.InsertItem(i, QString::asprintf("%02d", i + 1));
        m_listAutoScan.SetItemData(row, static_cast<uintptr_t>(i));
    }
    // A language switch rebuilds the rows; a loaded channel's steps are shown again from its record, so
    // a Set after the switch does not write empty steps.
    if (DVRChannel* record = SelectedDeviceChannel(m_nCurChannel); record != nullptr && IsLoaded())
        FillSteps(*record);
    for (const TestButton& button : kTestButtons) {
        if (auto* bit = dynamic_cast<CBitButton*>(GetDlgItem(button.id)))
            bit->SetToolTipText(LanguageText(button.key, button.english));
    }
}

void CDlgSetupCamera::ResetControls() {
    SetItemText(this, IDC_ADDRESS, QString());
    QStringList ports{QString()};
    std::vector<int> portData{0};
    for (int i = 1; i <= kComPorts; ++i) {
        ports << QString("COM%1").arg(i);
        portData.push_back(i);
    }
    FillList(this, IDC_PORT, ports, portData);
    const std::vector<int> bauds{0, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
    QStringList baudTexts{QString()};
    for (size_t i = 1; i < bauds.size(); ++i)
        baudTexts << QString::number(bauds[i]);
    FillList(this, IDC_BAUD, baudTexts, bauds);
    FillList(this, IDC_DATABITS, {QString(), "7", "8"}, {0, 7, 8});
    FillList(this, IDC_STOPBITS, {"1", "1.5", "2"}, {0, 1, 2});
    if (auto* speed = PageItem<CSliderCtrl>(this, IDC_SPEED))
        speed->SetRange(0, kSpeedMax, FALSE);
    for (const ReverseBox& box : kReverseBoxes)
        CheckItem(this, box.id, 0);
    for (const TestButton& button : kTestButtons)
        SetItemText(this, button.id, QString::fromUtf8(button.caption));
}

void CDlgSetupCamera::OnShown() {
    ResetControls();
}

void CDlgSetupCamera::OnHidden() {
    StopHeldButton();
    m_listAutoScan.EndCellEdit(FALSE);
}

void CDlgSetupCamera::OnChannelChange(int ch) {
    (void)ch;
    StopHeldButton();
}

bool CDlgSetupCamera::CompletesLoad(int replyType) const {
    // Set writes the camera values and the auto-scan steps: both replies must have come.
    (void)replyType;
    return HasReplies({SETUP_REPLY_CAMERA, SETUP_REPLY_PRESETS});
}

void CDlgSetupCamera::ApplyCameraType(int type) {
    const BOOL movable = type != 0 ? TRUE : FALSE;
    for (UINT id : {IDC_PROTOCOL, IDC_ADDRESS, IDC_PORT, IDC_BAUD, IDC_DATABITS, IDC_PARITY, IDC_STOPBITS})
        EnableItem(this, id, movable);
    for (const ReverseBox& box : kReverseBoxes)
        EnableItem(this, box.id, movable);
    for (const TestButton& button : kTestButtons)
        EnableItem(this, button.id, movable);
    EnableItem(this, IDC_SPEED, type == kCameraTypeDome ? TRUE : FALSE);
}

void CDlgSetupCamera::OnProtocolChange() {
    int protocol = SelectedItemData(this, IDC_PROTOCOL);
    if (protocol != 1 && protocol != 2)
        return;
    SelectItemByData(this, IDC_DATABITS, 8, true);
    SelectItemByData(this, IDC_PARITY, 0, true);
    SelectItemByData(this, IDC_STOPBITS, 0, true);
}

void CDlgSetupCamera::FillSteps(const DVRChannel& record) {
    for (int i = 0; i < AUTOSCAN_STEPS; ++i) {
        int row = m_listAutoScan.FindItemByData(static_cast<uintptr_t>(i));
        if (row < 0)
            continue;
        m_listAutoScan.SetCheck(row, record.autoScan[i].enabled != 0 ? TRUE : FALSE);
        m_listAutoScan.SetItemText(row, 1, QString::number(record.autoScan[i].staySeconds));
    }
}

void CDlgSetupCamera::FillFromDevice(int replyType, int index) {
    DVRChannel* record = SelectedDeviceChannel(index);
    if (record == nullptr)
        return;
    if (replyType == SETUP_REPLY_CAMERA) {
        SelectItemByData(this, IDC_TYPE, record->cameraType, false);
        SelectItemByData(this, IDC_PROTOCOL, record->ptzProtocol, false);
        SelectItemByData(this, IDC_BAUD, record->baudRate, false);
        SelectItemByData(this, IDC_DATABITS, record->dataBits, false);
        SelectItemByData(this, IDC_PARITY, record->parity, false);
        SelectItemByData(this, IDC_STOPBITS, record->stopBits, false);
        SetItemText(this, IDC_ADDRESS, QString::number(record->ptzAddress));
        SelectByPrefix(this, IDC_PORT, FixedText(record->comPort, std::size(record->comPort)));
        if (auto* speed = PageItem<CSliderCtrl>(this, IDC_SPEED))
            speed->SetPos(static_cast<int>(record->ptzOptions & CAMERA_SPEED_MASK));
        for (const ReverseBox& box : kReverseBoxes)
            CheckItem(this, box.id, (record->ptzOptions & box.bit) != 0 ? 1 : 0);
        ApplyCameraType(record->cameraType);
    } else if (replyType == SETUP_REPLY_PRESETS) {
        m_listAutoScan.EndCellEdit(FALSE);
        FillSteps(*record);
    }
}

CameraControls CDlgSetupCamera::ReadControls() {
    // A stay time still being typed counts: the editor is closed with its text first.
    if (m_listAutoScan.IsEditing())
        (void)m_listAutoScan.EndCellEdit(TRUE);
    CameraControls c;
    c.type = SelectedItemData(this, IDC_TYPE);
    c.protocol = SelectedItemData(this, IDC_PROTOCOL);
    c.address = ItemText(this, IDC_ADDRESS);
    if (auto* port = PageItem<CComboBox>(this, IDC_PORT); port != nullptr && port->GetCurSel() >= 0) {
        c.portSelected = true;
        port->GetLBText(port->GetCurSel(), c.port);
    }
    c.baudRate = SelectedItemData(this, IDC_BAUD);
    c.dataBits = SelectedItemData(this, IDC_DATABITS);
    c.parity = SelectedItemData(this, IDC_PARITY);
    c.stopBits = SelectedItemData(this, IDC_STOPBITS);
    if (auto* speed = PageItem<CSliderCtrl>(this, IDC_SPEED))
        c.speed = speed->GetPos();
    for (const ReverseBox& box : kReverseBoxes) {
        if (ItemChecked(this, box.id))
            c.reverseBits |= box.bit;
    }
    for (int i = 0; i < AUTOSCAN_STEPS; ++i) {
        int row = m_listAutoScan.FindItemByData(static_cast<uintptr_t>(i));
        if (row < 0)
            continue;
        c.steps[i].enabled = m_listAutoScan.GetCheck(row) != FALSE;
        c.steps[i].staySeconds = m_listAutoScan.GetItemText(row, 1);
    }
    return c;
}

int CDlgSetupCamera::CollectChannel(int channel) {
    DVRChannel* record = SelectedDeviceChannel(channel);
    if (record == nullptr)
        return -1;
    return CollectCameraInto(ReadControls(), record);
}

int CDlgSetupCamera::Collect(int channel) {
    return CollectChannel(channel);
}

BOOL CDlgSetupCamera::OnPageCommand(UINT id, UINT code) {
    if (code != CBN_SELCHANGE)
        return FALSE;
    if (id == IDC_TYPE) {
        int type = SelectedItemData(this, IDC_TYPE);
        if (type >= 0)
            ApplyCameraType(type);
        return TRUE;
    }
    if (id == IDC_PROTOCOL) {
        OnProtocolChange();
        return TRUE;
    }
    return FALSE;
}

void CDlgSetupCamera::OnBitButtonDown(UINT id) {
    const TestButton* button = nullptr;
    for (const TestButton& b : kTestButtons) {
        if (b.id == id)
            button = &b;
    }
    // The speed and the reversal come from the record, so the channel's own must have arrived.
    DVRChannel* record = SelectedDeviceChannel(m_nCurChannel);
    if (button == nullptr || button->command == 0 || record == nullptr || !IsLoaded())
        return;
    StopHeldButton();
    int speed = static_cast<int>(record->ptzOptions & CAMERA_SPEED_MASK);
    (void)SendPtzCommand(button->command, m_nCurChannel, speed, speed);
    // Held from here on, whatever the send returned: the release always sends its stop.
    m_nHeldChannel = m_nCurChannel;
}

void CDlgSetupCamera::StopHeldButton() {
    if (m_nHeldChannel < 0)
        return;
    int channel = m_nHeldChannel;
    m_nHeldChannel = -1;
    (void)SendPtzCommand(PTZ_STOP, channel, 0, 0);
}

void CDlgSetupCamera::OnBitButtonUp(UINT id) {
    bool testButton = false;
    for (const TestButton& b : kTestButtons)
        testButton = testButton || b.id == id;
    if (!testButton)
        return;
    if (m_nHeldChannel >= 0) {
        StopHeldButton();
        return;
    }
    if (SelectedDeviceChannel(m_nCurChannel) != nullptr)
        (void)SendPtzCommand(PTZ_STOP, m_nCurChannel, 0, 0);
}

LRESULT CDlgSetupCamera::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_BITBUTTON_DOWN) {
        OnBitButtonDown(static_cast<UINT>(wParam));
        return 0;
    }
    if (message == WM_BITBUTTON_UP) {
        OnBitButtonUp(static_cast<UINT>(wParam));
        return 0;
    }
    return CSetupPage::WindowProc(message, wParam, lParam);
}

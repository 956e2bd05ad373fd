#pragma once

// The behaviour the eight pages of the setup dialog share. A page is a child dialog of the setup dialog
// (its owner) and edits one kind of record of the DVR selected in the device tree (g_currentDevice). It
// never talks to the DVR: it posts WM_SETUP_LOAD and WM_SETUP_SAVE to its owner, which the main window turns
// into requests, and it is filled when the owner routes WM_DEVICE_PARAMS_RECEIVED to it.
//
// What the base does for every page:
// - a one-second timer that counts the "Saved." notice (control 1307) down after a save;
// - Exit (Escape) asks the owner to close (WM_SETUP_PAGE_EXIT); a language switch re-applies the texts;
// - plain pages (System, User, Network) ask for their values each time they are shown;
// - channel pages refill their channel combo (1062) when shown, and load a channel when one is chosen,
//   opening the page's preview on it when the page has one;
// - Set (IDOK) collects the controls into the record and posts the save when something changed; All Set
//   (1107) collects them into every channel picked in the channel picker.
//
// A page's controls describe one channel at a time, and a reply for another channel arrives late when the
// operator switches quickly. So the page remembers which channel its controls were loaded from: the mark
// is cleared on show, hide and channel change, replies for another channel are dropped, and Set and All Set
// stay disabled until the controls hold the chosen channel's values. Nothing is sent before that.

#include <cstdint>
#include <initializer_list>
#include <memory>

#include "platform/ui/combo_box.h"
#include "platform/ui/dialog.h"
#include "ui/controls/preview_canvas.h"
#include "ui/dialogs/saved_notice.h"

struct DVRDevice;

constexpr UINT IDC_SETUP_CHANNEL = 1062;
constexpr UINT IDC_SETUP_ALL_SET = 1107;
constexpr UINT IDC_SETUP_SAVED_NOTICE = 1307;
constexpr UINT IDC_SETUP_PREVIEW = 1099;

// What Collect returns when it refused an entry and told the operator why (a message box).
constexpr int COLLECT_REFUSED = -2;

enum class SetupPageKind { Plain, Channel };

class CSetupPage : public CDialog {
public:
    // previewView: the preview window the page shows its channel in (0-2), or -1 for none.
    CSetupPage(UINT nIDTemplate, CWnd* pOwner, int pageCode, SetupPageKind kind, int previewView = -1);
    // A page from a template given directly (tests).
    CSetupPage(const DialogTemplate* dialogTemplate, CWnd* pOwner, int pageCode, SetupPageKind kind,
               int previewView = -1);
    ~CSetupPage() override;

    CWnd* m_pOwner;
    const int m_nPageCode;
    const SetupPageKind m_kind;
    const int m_nPreviewView;
    // Channel pages: the channel chosen in the combo, -1 = none.
    int m_nCurChannel = -1;
    // The channel whose values the controls hold (plain pages: 0 once loaded); -1 = not loaded.
    int m_nLoadedChannel = -1;
    int m_nSavedCountdown = 0;
    // Bit t: a reply of type t has been accepted since the loaded values were last forgotten.
    uint32_t m_nRepliesSeen = 0;
    uintptr_t m_nTimerId = 0;
    CComboBox m_cboChannel;
    // Pages with a preview: the live picture painted over the preview frame.
    std::unique_ptr<CPreviewCanvas> m_previewCanvas;

    // Posts to the owner; -1 without an owner (nothing posted), else 0.
    [[nodiscard]] int PostToOwner(UINT message, WPARAM wParam, LPARAM lParam);
    // Starts the saved notice's countdown.
    void ShowSavedNotice() { m_nSavedCountdown = SAVED_NOTICE_TICKS; }
    // Hides the notice at once: an earlier save's "Saved." must not stand beside a refusal.
    void WithdrawSavedNotice();
    // Whether a Collect result lets Set post its save (0); a refusal also withdraws the notice.
    bool CollectedForSave(int collected);
    bool IsLoaded() const;
    // Records that the controls now hold channel's values (plain pages pass 0) and enables Set/All Set.
    void MarkLoaded(int channel);
    // Forgets the loaded values: Set and All Set are disabled until the next load.
    void ClearLoaded();
    // Whether every one of these reply types has been accepted since the values were last forgotten.
    bool HasReplies(std::initializer_list<int> replyTypes) const;
    // The DVR selected in the device tree, or nullptr.
    static DVRDevice* CurrentDevice();
    // Channels a page may address on device: its count, bounded by what a channel mask holds.
    static int AddressableChannels(const DVRDevice* device);
    // Chooses channel ch as the combo's CBN_SELCHANGE does (tests and pages that reselect after a save).
    void SelectChannel(int ch);

    BOOL DestroyWindow() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnTimer(uintptr_t nIDEvent) override;
    void OnShowWindow(BOOL bShow, UINT nStatus) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // Set: the common save (channel pages need a selection and loaded values).
    void OnOK() override;
    void OnCancel() override;
    // All Set: collects into every channel picked in the channel picker.
    virtual void OnAllSet();
    // One picked channel of All Set: by default Collect, and the save when the record changed.
    virtual void AllSetChannel(int ch);
    // After All Set went over the picked channels.
    virtual void AfterAllSet() {}
    // Runs the channel picker; IDOK fills mask (32 bytes, bit i % 8 of byte i / 8 = channel i). Tests
    // answer it without a window.
    virtual intptr_t RunChannelPicker(uint8_t* mask);

    // The page's own parts.
    virtual void ApplyLanguage() = 0;
    virtual void ResetControls() {}
    // A reply the base accepted (on channel pages: for the chosen channel).
    virtual void FillFromDevice(int replyType, int index) = 0;
    // Writes the controls into channel's record (plain pages: 0) when they differ from it: 0 written,
    // -1 unchanged or not possible, COLLECT_REFUSED when an entry was refused and the operator told (Set
    // then withdraws the saved notice).
    [[nodiscard]] virtual int Collect(int channel) = 0;
    // Whether a reply of this type may fill the page: channel pages take only the chosen channel's.
    virtual bool AcceptsReply(int replyType, int index) const;
    // Whether this reply completes the page's load (the page's main record has arrived).
    virtual bool CompletesLoad(int replyType) const {
        (void)replyType;
        return true;
    }
    // lParam of a plain page's WM_SETUP_LOAD.
    virtual LPARAM LoadParam() const { return 0; }
    // Channel pages after the combo refill on show; plain pages after asking for their values.
    virtual void OnShown() {}
    virtual void OnHidden() {}
    // A new channel was chosen; the page clears what belonged to the old one before the load is posted.
    virtual void OnChannelChange(int ch) { (void)ch; }
    // After a save posted by Set.
    virtual void AfterSave() {}
    // The main window could not send the save of index (WM_SETUP_SAVE_REFUSED): the notice is withdrawn,
    // the operator told, and what the DVR holds is loaded again, since the record was written for
    // nothing.
    virtual void OnSaveRefused(LPARAM index);
    // The page's own commands (buttons, combos); TRUE when handled.
    virtual BOOL OnPageCommand(UINT id, UINT code) {
        (void)id;
        (void)code;
        return FALSE;
    }

private:
    void FillChannelCombo();
    void UpdateSetButtons();
    void PostPreview(UINT message, int channel);
};

#pragma once

// CDlgSetupChannel: the channel page of the setup dialog (template 143). For the chosen channel of the
// selected DVR it edits the name with the title and time overlays (Set), the four colour adjustments
// (sent while a slider moves) and the video mask, toggled by clicking or dragging over the preview's
// 8 x 8 grid and sent with Save Mask or Clear Mask. The preview frame shows the channel (view 0).
//
// The mask copy is the mask the DVR last confirmed for one channel; it remembers that channel, so hiding
// the page drops unsaved toggles only from the channel it belongs to, and the mask buttons and toggles
// wait until the chosen channel's mask has arrived.

#include <memory>

#include "ui/controls/static_ex.h"
#include "ui/dialogs/setup_channel_fields.h"
#include "ui/dialogs/setup_channel_mask.h"
#include "ui/dialogs/setup_page.h"

constexpr UINT IDD_SETUP_CHANNEL = 143;

class CDlgSetupChannel : public CSetupPage {
public:
    explicit CDlgSetupChannel(CWnd* pOwner);
    ~CDlgSetupChannel() override;

    // 0 when the record of channel changed.
    [[nodiscard]] int CollectOverlay(int channel, bool keepName);
    [[nodiscard]] int CollectColor(int channel);
    void ToggleMaskCells(const RECT& selection);
    const MaskGrid& Grid() const { return m_grid; }
    int MaskChannel() const { return m_nMaskChannel; }

    CStaticEx m_staticTitleColor;
    CStaticEx m_staticTimeColor;
    COLORREF m_crTitle = 0xFFFFFF;
    COLORREF m_crTime = 0xFFFFFF;
    // Made at the first channel choice; the font buttons work from then on.
    std::unique_ptr<LOGFONTW> m_pTitleFont;
    std::unique_ptr<LOGFONTW> m_pTimeFont;

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
    void AfterSave() override;
    void AllSetChannel(int ch) override;
    void AfterAllSet() override;

    void OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar) override;
    void OnLButtonDown(UINT nFlags, POINT point) override;
    void OnLButtonUp(UINT nFlags, POINT point) override;
    void OnMouseMove(UINT nFlags, POINT point) override;

private:
    ChannelOverlayControls ReadOverlayControls() const;
    ChannelColorControls ReadColorControls() const;
    void FillOverlay(const OverlaySettings& overlay, bool title);
    void EnableOverlay(bool title, BOOL enable);
    void ChooseColour(bool title);
    void ChooseFont(bool title);
    void SaveMask(bool clear);
    // Shows the chosen channel's saved name in the combo and loads the channel again with its preview.
    void ReloadChannel();

    MaskGrid m_grid{};
    uint8_t m_maskCopy[MASK_GRID_SIDE] = {};
    int m_nMaskChannel = -1;  // the channel whose confirmed mask m_maskCopy holds; -1 none
    BOOL m_bDragging = FALSE;
    POINT m_ptDragStart{};
};

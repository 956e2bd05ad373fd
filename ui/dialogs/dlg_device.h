#pragma once

// The device list dialog (template 220), run modally from the client settings page: the DVR records of
// the current mode's tree file (tree.dat or treew.dat) as a flat list, a LAN search that replaces the
// list, add, edit and delete (in WAN mode a delete also asks the main window to remove the DVR at the WAN
// server at once), and Save, which writes the list back as DVR records only. Each row owns a heap
// DeviceTreeNode with plain credentials. Once a save of this opening wrote a change, Exit asks the main
// window to reload its tree (WM_DEVICE_TREE_CHANGED), also after later saves without changes.

#include <QString>

#include "dvr/device_tree_node.h"
#include "platform/ui/dialog.h"
#include "platform/ui/list_ctrl.h"

constexpr UINT IDD_DLG_DEVICE = 220;
constexpr UINT IDC_DEVICE_LIST = 1242;
constexpr UINT IDC_DEVICE_SEARCH = 1143;
constexpr UINT IDC_DEVICE_ADD = 1015;
constexpr UINT IDC_DEVICE_EDIT = 1016;
constexpr UINT IDC_DEVICE_DELETE = 1078;
constexpr UINT IDC_DEVICE_SHOW = 1245;
// wParam of WM_WAN_REQUEST: remove the DVR of the record in lParam at the WAN server.
constexpr WPARAM WAN_REQUEST_DELETE_DEVICE = 7;

class CDlgDevice : public CDialog {
public:
    CDlgDevice();

    CListCtrl m_listDevices;
    int m_bModified = 0;
    int m_bTreeChanged = 0;

    void OnSearch();
    void OnAdd();
    void OnEdit();
    void OnDelete();
    // The record of a row (null when there is none).
    DeviceTreeNode* RowNode(int row) const;

    BOOL DestroyWindow() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    // Runs the record dialog modally; its result.
    virtual intptr_t RunNodeDialog(CDialog& dialog) { return dialog.DoModal(); }

private:
    void ApplyTexts();
    void LoadDeviceFile();
    void SaveDeviceFile();
    void SearchLan();
    void AppendRow(DeviceTreeNode* node);
    void ShowRow(int row, const DeviceTreeNode* node);
    void FreeItems();
    QString DeviceFilePath() const;
};

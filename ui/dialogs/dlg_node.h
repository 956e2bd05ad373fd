#pragma once

// The two dialogs that edit one device tree record, run modally: CDlgNodeArea (template 292, an area's
// name) and CDlgNodeDVR (template 294, a DVR's name, address, port, user and password). Add mode (a new
// record given): the new record is filled under the given parent area (null: the root). Edit mode: the
// given record is changed. OK checks every field first (node_fields.h) and writes nothing unless all
// pass; a refused entry keeps the dialog open with the faulty field focused.

#include "dvr/device_tree_node.h"
#include "platform/ui/dialog.h"

constexpr UINT IDD_DLG_NODE_AREA = 292;
constexpr UINT IDD_DLG_NODE_DVR = 294;
constexpr UINT IDC_NODE_PARENT = 1292;
constexpr UINT IDC_NODE_NAME = 1048;
constexpr UINT IDC_NODE_ADDRESS = 1088;
constexpr UINT IDC_NODE_PORT = 1291;
constexpr UINT IDC_NODE_USER = 1033;
constexpr UINT IDC_NODE_PASSWORD = 1034;

class CDlgNodeArea : public CDialog {
public:
    // node: the record to edit (edit mode) or the parent area (add mode, null for the root); pNew: the
    // record to fill in add mode, null in edit mode.
    CDlgNodeArea(DeviceTreeNode* node, DeviceTreeNode* pNew);

    DeviceTreeNode* m_pNode;
    DeviceTreeNode* m_pNew;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
};

class CDlgNodeDVR : public CDialog {
public:
    CDlgNodeDVR(DeviceTreeNode* node, DeviceTreeNode* pNew);

    DeviceTreeNode* m_pNode;
    DeviceTreeNode* m_pNew;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
};

// The name shown as the parent of a new top-level record.
QString TreeRootName();

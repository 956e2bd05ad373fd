#pragma once

// The tree editor page (template 185) of the status dialog: the areas and DVRs of tree.dat as a tree,
// edited through its context menu (menu 290: load, save, save as, add area or DVR, modify, delete) with
// the record dialogs of dlg_node.h, and the selected record's fields beside it. Each item owns a heap
// DeviceTreeNode with plain credentials; a save writes fresh ids (counting on over the run) and Base64
// credentials through a temporary file renamed over the target. Exit asks to save unsaved changes, tells
// the status dialog (WM_STATUS_PAGE_EXIT) and, once any save has been made, the main window
// (WM_DEVICE_TREE_CHANGED) on every later Exit too.

#include <QString>
#include <vector>

#include "dvr/device_tree_node.h"
#include "platform/ui/dialog.h"
#include "platform/ui/image_list.h"
#include "ui/controls/my_tree_ctrl.h"

constexpr UINT IDD_DLG_TREE = 185;
constexpr UINT IDC_TREE_TREE = 1005;
constexpr UINT IDM_TREE_MENU = 290;
constexpr UINT ID_TREE_LOAD_CONFIG = 32801;
constexpr UINT ID_TREE_SAVE_CONFIG = 32802;
constexpr UINT ID_TREE_SAVE_AS = 32804;
constexpr UINT ID_TREE_ADD_AREA = 32805;
constexpr UINT ID_TREE_ADD_DVR = 32806;
constexpr UINT ID_TREE_MODIFY = 32807;
constexpr UINT ID_TREE_DELETE = 32808;

// Ids written by the saves of this run, per type; a save that fails to write leaves them as they were.
extern int g_treeAreaIdCounter;
extern int g_treeDvrIdCounter;

class CDlgTree : public CDialog {
public:
    explicit CDlgTree(CWnd* pParent);

    // Loads a tree file (null: tree.dat in the data folder) and adds its records to the tree.
    void LoadTree(const QString* path);
    // The records a save writes, in pre-order, with fresh ids and Base64 credentials.
    // The ids continue from *areaIds and *dvrIds, which are advanced past them.
    std::vector<DeviceTreeNode> CollectTreeRecords(int* areaIds, int* dvrIds);
    // The item whose record has that type and id (id 0: the root, TVI_ROOT), from start (null: the first
    // top-level item), depth first; null when none.
    HTREEITEM FindItem(int type, int id, HTREEITEM start);
    void ClearTree();

    CMyTreeCtrl m_tree;
    CWnd* m_pParent;
    CImageList m_images;
    int m_bModified = 0;
    int m_bSaved = 0;

    void OnLoadConfig();
    void OnSaveConfig();
    void OnSaveAs();
    void OnAddArea();
    void OnAddDvr();
    void OnModify();
    void OnDelete();
    void OnClickTree();
    void OnRClickTree();

    BOOL DestroyWindow() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    // Runs a record dialog modally; its result.
    virtual intptr_t RunNodeDialog(CDialog& dialog) { return dialog.DoModal(); }

private:
    void ApplyTexts();
    void ShowNodeInfo(const DeviceTreeNode* node);
    void AddNode(bool area);
    void CollectSubtree(HTREEITEM item, int parentId, int* areaIds, int* dvrIds,
                        std::vector<DeviceTreeNode>* records);
    // Writes the tree to path; the id counters advance only when the file was written. 0, or -1.
    [[nodiscard]] int WriteTree(const QString& path);
    void FreeSubtree(HTREEITEM item);
    DeviceTreeNode* NodeOf(HTREEITEM item) const;
    QString TreeFilePath() const;
};

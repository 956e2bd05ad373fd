#pragma once

// CDialog: a dialog built from its template (resources/dialogs), run modally (DoModal: a nested loop that
// keeps delivering posts and timers, ended by EndDialog) or modeless (Create). The template's controls
// exist as standard controls; DoDataExchange binds the program's own control objects to them
// (DDX_Control) and moves values in and out (UpdateData). Enter and Escape reach the dialog as IDOK and
// IDCANCEL commands, which run OnOK and OnCancel; closing the window counts as IDCANCEL.

#include <memory>
#include <vector>

#include "platform/ui/dialog_template.h"
#include "platform/ui/wnd.h"

class CDataExchange;
class QDialog;

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    // A dialog from a template given directly (dialogs made in code, tests).
    CDialog(const DialogTemplate* dialogTemplate, CWnd* pParentWnd);
    ~CDialog() override;

    virtual intptr_t DoModal();
    // Modeless: creates the window (shown when the template says WS_VISIBLE).
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    BOOL Create(const DialogTemplate* dialogTemplate, CWnd* pParentWnd);
    void EndDialog(int nResult);
    BOOL DestroyWindow() override;
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    UINT GetTemplateId() const { return m_nIDTemplate; }

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* pDX);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    CWnd* m_pParentWnd;

private:
    BOOL CreateFromTemplate(CWnd* parent, bool modal);
    const DialogTemplate* m_template = nullptr;
    UINT m_nIDTemplate = 0;
    std::vector<std::unique_ptr<CWnd>> m_templateControls;
    int m_nModalResult = -1;
    bool m_bInModalLoop = false;
};

// Ends every modal loop that runs (popup menus, message boxes and the common dialogs, then the template
// dialogs from the innermost out, each with result as if its own EndDialog had been called), without asking
// the dialogs: the program's session is ending. Until the outermost template dialog's loop has returned, a
// new modal dialog, message box or menu returns at once as cancelled.
void EndModalLoops(int result);
// True from EndModalLoops until the last running modal dialog has returned.
bool ModalLoopsEnding();

// Builds the control of one template item as a child of parent; nullptr for an unknown window class.
std::unique_ptr<CWnd> CreateTemplateControl(const DialogItemTemplate& item, CWnd* parent, int radioGroup);

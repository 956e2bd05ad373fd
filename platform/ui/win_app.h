#pragma once

// The application object. The program's main builds the QApplication, then calls Start on its one
// application object: the window message loop is installed, InitInstance runs (it usually runs the main
// dialog modally and returns FALSE), Run turns the event loop when InitInstance returned TRUE, and
// ExitInstance gives the exit code.

#include "platform/ui/wnd.h"

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    // Turns the event loop until PostQuitMessage; returns its exit code.
    virtual int Run();
    int Start();

    CWnd* m_pMainWnd = nullptr;

protected:
    int m_nExitCode = 0;

private:
    // The application object made before this one (tests make short-lived ones).
    CWinApp* m_pPreviousApp;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();

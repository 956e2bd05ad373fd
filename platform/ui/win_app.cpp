#include "platform/ui/win_app.h"

#include <QApplication>
#include <clocale>

#include "platform/ui/message_loop.h"

namespace {
CWinApp* g_app = nullptr;
}

CWinApp::CWinApp() : m_pPreviousApp(g_app) {
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this)
        g_app = m_pPreviousApp;
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    return m_nExitCode;
}

int CWinApp::Run() {
    m_nExitCode = QApplication::exec();
    return m_nExitCode;
}

int CWinApp::Start() {
    if (QCoreApplication::instance() == nullptr)
        return -1;
    // Numbers in files and on the wire are written with a dot whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    InstallWindowMessageLoop();
    if (InitInstance())
        Run();
    int code = ExitInstance();
    RemoveWindowMessageLoop();
    return code;
}

CWinApp* AfxGetApp() {
    return g_app;
}

CWnd* AfxGetMainWnd() {
    return g_app == nullptr ? nullptr : g_app->m_pMainWnd;
}

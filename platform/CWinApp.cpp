#include "platform/CWinApp.h"

#include "platform/AfxModuleState.h"
#include "platform/CCommandLineInfo.h"

#include <cstdlib>

namespace {

CWinApp* s_pApp = nullptr;

}  // namespace

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
    ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

CWinApp::CWinApp(const char* pszAppName) {
    // Exactly one application object per program.
    if (s_pApp) std::abort();
    s_pApp = this;
    m_bNamed = pszAppName != nullptr;
    if (m_bNamed) AfxSetAppName(pszAppName);
}

CWinApp::~CWinApp() {
    if (m_bNamed) AfxSetAppName(nullptr);
    if (s_pApp == this) s_pApp = nullptr;
}

CWinApp* AfxGetApp() { return s_pApp; }

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo) { AfxParseArguments(rCmdInfo, __argc, __argv); }

void CWinApp::OnHelp() {}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow) {
    CWinApp* pApp = AfxGetApp();
    if (!pApp) return -1;
    pApp->m_hInstance = hInstance;
    pApp->m_lpCmdLine = lpCmdLine;
    pApp->m_nCmdShow = nCmdShow;
    if (!pApp->InitInstance()) return pApp->ExitInstance();
    return pApp->Run();
}

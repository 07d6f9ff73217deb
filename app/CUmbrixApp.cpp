#include "app/CUmbrixApp.h"

#include "app/CSplashWindow.h"
#include "app/CUmbrixDlg.h"

namespace {

// The command line decides only whether the splash may show.
void ReadSplashPermission(CWinApp& app) {
    CCommandLineInfo cmdInfo;
    app.ParseCommandLine(cmdInfo);
    CSplashWindow::SetAllowed(cmdInfo.m_bShowSplash);
}

}  // namespace

BOOL CUmbrixApp::InitInstance() {
    ReadSplashPermission(*this);
    Enable3dControls();
    CUmbrixDlg dlg;
    // Registered before the window exists, so that the splash finds it when it goes.
    m_pMainWnd = &dlg;
    dlg.DoModal();
    return FALSE;
}

#include "app/CUmbrixApp.h"

#include "app/CommandLineRun.h"
#include "app/CSplashWindow.h"
#include "app/CUmbrixDlg.h"
#include "app/StartingCopies.h"

namespace {

// Without a run's switches, the command line decides only whether the splash may show.
void ReadSplashPermission(CWinApp& app) {
    CCommandLineInfo cmdInfo;
    app.ParseCommandLine(cmdInfo);
    CSplashWindow::SetAllowed(cmdInfo.m_bShowSplash);
}

}  // namespace

BOOL CUmbrixApp::InitInstance() {
    // A run asked for on the command line is the whole of the program, and its end the exit code.
    CaseCommand command = ReadCaseCommand(SplitCommandLine(GetCommandLineW()));
    if (command.bGiven) {
        m_nExitCode = RunFromCommandLine(command);
        return FALSE;
    }
    AnnounceDecided();  // no folder to hand over: a run under way need not wait for this copy
    ReadSplashPermission(*this);
    Enable3dControls();
    CUmbrixDlg dlg;
    // Registered before the window exists, so that the splash finds it when it goes.
    m_pMainWnd = &dlg;
    dlg.DoModal();
    return FALSE;
}

#pragma once
// The one application object of the program, built during static initialisation.
#include "platform/CWinThread.h"

class CCommandLineInfo;

// The standard Help command.
constexpr UINT ID_HELP = 0xE146;

class CWinApp : public CWinThread {
public:
    // pszAppName: the caption of AfxMessageBox while the object lives; null for the module's
    // file name.
    explicit CWinApp(const char* pszAppName = nullptr);
    ~CWinApp() override;

    HINSTANCE m_hInstance = nullptr;
    LPSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWDEFAULT;

    void ParseCommandLine(CCommandLineInfo& rCmdInfo);
    // The three-dimensional look is the platform's own nowadays: nothing to switch on.
    BOOL Enable3dControls() { return TRUE; }
    void OnHelp();  // the program has no help content

    DECLARE_MESSAGE_MAP()

private:
    bool m_bNamed = false;
};

CWinApp* AfxGetApp();

// The framework's entry: sets up the application object, runs its start-up hook and, when
// that returns true, the message loop. Returns the process's exit code.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);

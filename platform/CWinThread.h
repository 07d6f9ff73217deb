#pragma once
// The user-interface thread: its main window, its message pump and its start and end hooks.
#include "platform/CCmdTarget.h"

class CWnd;

class CWinThread : public CCmdTarget {
public:
    CWinThread() = default;

    // Cleared by the framework when that window is destroyed.
    CWnd* m_pMainWnd = nullptr;
    virtual CWnd* GetMainWnd() { return m_pMainWnd; }

    virtual BOOL InitInstance() { return FALSE; }
    virtual int Run();
    virtual int ExitInstance() { return m_nExitCode; }
    // Sees every queued message after the windows it is aimed at; nothing special here.
    virtual BOOL PreTranslateMessage(MSG*) { return FALSE; }

    // Gets and handles one message; false on WM_QUIT or when no message can be fetched.
    BOOL PumpMessage();

protected:
    int m_nExitCode = 0;
};

// The application object when there is one, else a plain thread object.
CWinThread* AfxGetThread();

// Offers a queued message to PreTranslateMessage of the window it is aimed at and of each of
// its parents (up to the main window), then to the thread and the dialog manager; true when
// one of them consumed it.
BOOL AfxPreTranslateMessage(MSG* pMsg);
// Pre-translation, then translation and dispatch.
void AfxPumpMessage(MSG& msg);

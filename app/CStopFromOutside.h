#pragma once
// While a run started from the command line lasts, the ways of stopping it from outside its
// windows: Ctrl+C and Ctrl+Break in its console, the console closed, logging off and shutting
// down (the console's events, and WM_QUERYENDSESSION / WM_ENDSESSION to the process's
// top-level windows), and taskkill without /F (WM_CLOSE to them: a quiet run has no window but
// this hidden one to be asked). Each stops the run after the file in hand, with every file
// under its old or its new name and the journal up to there; the program then ends with 3. A
// run that has not begun yet begins stopped.
#include "platform/AfxWin.h"

class CStopFromOutside : public CWnd {
public:
    // The hidden window and the console's handler, for as long as this object lives.
    CStopFromOutside();
    ~CStopFromOutside() override;

protected:
    // taskkill, and the console's Ctrl+C and Ctrl+Break: the user's stop, reported as such.
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
    // The session may end as soon as the answer is given: the run stops first.
    LRESULT OnQueryEndSession(WPARAM wParam, LPARAM lParam);
    LRESULT OnEndSession(WPARAM wParam, LPARAM lParam);
    // The console closed, or its owner logging off: no one is left to read a report.
    LRESULT OnProgramEnd(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    static BOOL WINAPI OnConsoleEvent(DWORD dwCtrlType);
};

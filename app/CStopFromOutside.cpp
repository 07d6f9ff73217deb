#include "app/CStopFromOutside.h"

#include "app/CCaseRun.h"

#include <atomic>

namespace {

// Posted by the console's handler, which runs on a thread of its own.
const UINT WM_PROGRAM_END = WM_APP + 1;

std::atomic<HWND> s_hListener{nullptr};

// Runs on the user-interface thread, where the run is watched.
void StopRuns(CCaseRun::StopAhead stop) {
    CCaseRun::SetStopAhead(stop);
    CCaseRun* pRun = CCaseRun::Current();
    if (!pRun) return;
    if (stop == CCaseRun::StopAhead::ProgramEnd)
        pRun->StopForProgramEndAndWait();
    else
        pRun->RequestStop();
}

}  // namespace

BEGIN_MESSAGE_MAP(CStopFromOutside, CWnd)
    ON_MESSAGE(WM_CLOSE, OnClose)
    ON_MESSAGE(WM_QUERYENDSESSION, OnQueryEndSession)
    ON_MESSAGE(WM_ENDSESSION, OnEndSession)
    ON_MESSAGE(WM_PROGRAM_END, OnProgramEnd)
END_MESSAGE_MAP()

CStopFromOutside::CStopFromOutside() {
    // Top-level, so that taskkill and the session's end find it; never shown, no task-bar button.
    LPCSTR lpszClass = AfxRegisterWndClass(0, nullptr, nullptr, nullptr);
    if (CreateEx(WS_EX_TOOLWINDOW, lpszClass, "Umbrix", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr)) s_hListener = m_hWnd;
    SetConsoleCtrlHandler(&OnConsoleEvent, TRUE);
}

CStopFromOutside::~CStopFromOutside() {
    SetConsoleCtrlHandler(&OnConsoleEvent, FALSE);
    s_hListener = nullptr;
    DestroyWindow();
    CCaseRun::SetStopAhead(CCaseRun::StopAhead::None);
}

LRESULT CStopFromOutside::OnClose(WPARAM, LPARAM) {
    StopRuns(CCaseRun::StopAhead::User);
    return 0;  // the window stays: it is the program's, not the user's
}

LRESULT CStopFromOutside::OnQueryEndSession(WPARAM, LPARAM) {
    StopRuns(CCaseRun::StopAhead::ProgramEnd);
    return TRUE;
}

LRESULT CStopFromOutside::OnEndSession(WPARAM wParam, LPARAM) {
    if (wParam) StopRuns(CCaseRun::StopAhead::ProgramEnd);
    return 0;
}

LRESULT CStopFromOutside::OnProgramEnd(WPARAM, LPARAM) {
    StopRuns(CCaseRun::StopAhead::ProgramEnd);
    return 0;
}

// Called by the system on a thread of its own: the stop goes to the window's thread as a message.
BOOL WINAPI CStopFromOutside::OnConsoleEvent(DWORD dwCtrlType) {
    HWND hWnd = s_hListener.load();
    if (dwCtrlType == CTRL_C_EVENT || dwCtrlType == CTRL_BREAK_EVENT) {
        if (hWnd) PostMessageW(hWnd, WM_CLOSE, 0, 0);
        return TRUE;  // handled: the program goes on to its end, which comes after the file in hand
    }
    // Closed, logged off, shut down: the system ends the process when this returns. The main
    // thread ends it first, with its exit code, once the run has stopped; or the system's own
    // time runs out.
    if (hWnd) PostMessageW(hWnd, WM_PROGRAM_END, 0, 0);
    Sleep(INFINITE);
    return TRUE;
}

#include "platform/CWinThread.h"

#include "platform/AfxGetMessage.h"
#include "platform/CWinApp.h"
#include "platform/CWnd.h"

CWinThread* AfxGetThread() {
    static CWinThread s_plainThread;
    CWinApp* pApp = AfxGetApp();
    return pApp ? static_cast<CWinThread*>(pApp) : &s_plainThread;
}

namespace {

bool IsDialogWindow(HWND hWnd) {
    // 32770 is the atom of the platform's dialog class.
    return GetClassLongPtrA(hWnd, GCW_ATOM) == 32770;
}

}  // namespace

BOOL AfxPreTranslateMessage(MSG* pMsg) {
    CWinThread* pThread = AfxGetThread();
    CWnd* pMain = pThread->GetMainWnd();
    for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
        CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
        if (pWnd && pWnd->PreTranslateMessage(pMsg)) return TRUE;
        if (pMain && hWnd == pMain->m_hWnd) break;
    }
    if (pThread->PreTranslateMessage(pMsg)) return TRUE;
    HWND hRoot = pMsg->hwnd ? GetAncestor(pMsg->hwnd, GA_ROOT) : nullptr;
    return hRoot && IsDialogWindow(hRoot) && IsDialogMessageW(hRoot, pMsg);
}

void AfxPumpMessage(MSG& msg) {
    if (!AfxPreTranslateMessage(&msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    AfxDeleteTempMap();
}

BOOL CWinThread::PumpMessage() {
    MSG msg;
    switch (AfxGetMessage(msg)) {
    case AfxFetched::Message:
        AfxPumpMessage(msg);
        return TRUE;
    case AfxFetched::Quit:
        m_nExitCode = static_cast<int>(msg.wParam);
        return FALSE;
    case AfxFetched::Failed:
        break;
    }
    m_nExitCode = -1;  // msg was not filled
    return FALSE;
}

int CWinThread::Run() {
    while (PumpMessage()) {}
    return ExitInstance();
}

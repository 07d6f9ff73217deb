#include "app/RunTurnWait.h"

#include "app/CTurnWaitDlg.h"
#include "platform/AfxGetMessage.h"
#include "platform/CWinThread.h"

namespace {

const DWORD kAskInterval = 100;

// No window to show it in: the messages of the thread are still handled, and a quit ends it.
std::optional<CRunTurn> WaitQuietly(const std::wstring& folder) {
    for (;;) {
        if (std::optional<CRunTurn> turn = CRunTurn::TryTake(folder)) return turn;
        if (!PumpMessagesFor(kAskInterval)) return std::nullopt;
    }
}

}  // namespace

bool PumpMessagesFor(DWORD dwMilliseconds) {
    ULONGLONG nDeadline = GetTickCount64() + dwMilliseconds;
    for (ULONGLONG nNow = GetTickCount64(); nNow < nDeadline; nNow = GetTickCount64()) {
        MSG msg;
        switch (AfxWaitForMessageOrObject(msg, nullptr, static_cast<DWORD>(nDeadline - nNow))) {
        case AfxWaited::Message:
            AfxPumpMessage(msg);
            break;
        case AfxWaited::Quit:
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        case AfxWaited::Failed:
            Sleep(static_cast<DWORD>(nDeadline - nNow));
            return true;
        case AfxWaited::Signalled:
        case AfxWaited::TimedOut:
            break;
        }
    }
    return true;
}

std::optional<CRunTurn> WaitForRunTurn(CWnd* pOwner, RunDisplay display, const std::wstring& folder) {
    if (std::optional<CRunTurn> turn = CRunTurn::TryTake(folder)) return turn;
    if (display == RunDisplay::Quiet) return WaitQuietly(folder);
    CTurnWaitDlg dlg(folder, pOwner);
    if (dlg.DoModal() != IDOK) return std::nullopt;
    return dlg.TakeTurn();
}

TurnOrHandover WaitForTurnOrHandover(const std::wstring& folder, const std::wstring& kind) {
    TurnOrHandover wait;
    CTurnWaitDlg dlg(folder, nullptr, kind);
    INT_PTR nResult = dlg.DoModal();
    if (nResult == IDOK) wait.turn = dlg.TakeTurn();
    wait.bHandOver = nResult == IDRETRY;
    return wait;
}

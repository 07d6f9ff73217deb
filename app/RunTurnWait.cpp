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
        MSG msg;
        switch (AfxWaitForMessageOrObject(msg, nullptr, kAskInterval)) {
        case AfxWaited::Message:
            AfxPumpMessage(msg);
            break;
        case AfxWaited::Quit:
            PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop outside
            return std::nullopt;
        case AfxWaited::Failed:
            Sleep(kAskInterval);
            break;
        case AfxWaited::Signalled:
        case AfxWaited::TimedOut:
            break;
        }
    }
}

}  // namespace

std::optional<CRunTurn> WaitForRunTurn(CWnd* pOwner, RunDisplay display, const std::wstring& folder) {
    if (std::optional<CRunTurn> turn = CRunTurn::TryTake(folder)) return turn;
    if (display == RunDisplay::Quiet) return WaitQuietly(folder);
    CTurnWaitDlg dlg(folder, pOwner);
    if (dlg.DoModal() != IDOK) return std::nullopt;
    return dlg.TakeTurn();
}

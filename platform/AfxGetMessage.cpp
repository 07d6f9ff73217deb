#include "platform/AfxGetMessage.h"

#include <utility>

namespace {

MessageFetcher& Fetcher() {
    static MessageFetcher s_fetcher;
    return s_fetcher;
}

}  // namespace

MessageFetcher AfxSetMessageFetcher(MessageFetcher fetcher) { return std::exchange(Fetcher(), std::move(fetcher)); }

AfxFetched AfxGetMessage(MSG& msg) {
    BOOL result = Fetcher() ? Fetcher()(&msg) : GetMessageW(&msg, nullptr, 0, 0);
    if (result == -1) return AfxFetched::Failed;
    return result ? AfxFetched::Message : AfxFetched::Quit;
}

AfxWaited AfxWaitForMessageOrObject(MSG& msg, HANDLE hObject, DWORD dwMilliseconds) {
    ULONGLONG nDeadline = GetTickCount64() + dwMilliseconds;
    DWORD nObjects = hObject ? 1 : 0;
    for (;;) {
        if (hObject && WaitForSingleObject(hObject, 0) == WAIT_OBJECT_0) return AfxWaited::Signalled;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            return msg.message == WM_QUIT ? AfxWaited::Quit : AfxWaited::Message;
        ULONGLONG nNow = GetTickCount64();
        if (dwMilliseconds != INFINITE && nNow >= nDeadline) return AfxWaited::TimedOut;
        DWORD dwWait = dwMilliseconds == INFINITE ? INFINITE : static_cast<DWORD>(nDeadline - nNow);
        // MWMO_INPUTAVAILABLE: messages that were already in the queue also end the wait.
        DWORD dwResult = MsgWaitForMultipleObjectsEx(nObjects, &hObject, dwWait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (dwResult == WAIT_FAILED) return AfxWaited::Failed;
    }
}

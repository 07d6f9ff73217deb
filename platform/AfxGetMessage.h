#pragma once
// The one place where the program's message loops (the thread's and each modal dialog's) take
// their next message from, so that every loop tells a quit from a failed fetch the same way.
#include <windows.h>

#include <functional>

enum class AfxFetched {
    Message,  // msg holds a message to handle
    Quit,     // WM_QUIT: msg.wParam holds the exit code
    Failed,   // the platform could not fetch (GetMessage gave -1); msg was not filled
};

// The next message for any window of the thread, waiting for one.
AfxFetched AfxGetMessage(MSG& msg);

enum class AfxWaited {
    Message,    // msg holds a message to handle
    Quit,       // WM_QUIT: msg.wParam holds the exit code
    Signalled,  // the object is signalled; msg was not filled
    TimedOut,
    Failed,     // the platform could not wait; msg was not filled
};

// The next message for any window of the thread or the object being signalled, whichever comes
// first, for loops that wait on another thread while the windows stay alive. A signalled object
// goes before queued messages; hObject may be null (then only messages end the wait).
// dwMilliseconds: the longest wait, or INFINITE.
AfxWaited AfxWaitForMessageOrObject(MSG& msg, HANDLE hObject, DWORD dwMilliseconds);

// Takes the place of GetMessageA while installed (an empty one restores it), so that tests can
// reach the answers the platform gives only in trouble; returns the previous one.
using MessageFetcher = std::function<BOOL(MSG*)>;
MessageFetcher AfxSetMessageFetcher(MessageFetcher fetcher);

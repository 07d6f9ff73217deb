#pragma once
// Every message box of the program goes through one function here, so that tests can watch
// and answer them. By default the box is the platform's MessageBoxA.
#include "platform/CString.h"

#include <functional>

struct MessageBoxRequest {
    HWND hOwner;
    CString text;
    CString caption;
    UINT flags;
};

// Returns the button the user chose (IDOK, IDCANCEL, ...).
using MessageBoxHandler = std::function<int(const MessageBoxRequest&)>;

// Installs a handler in place of the platform's box (an empty one restores it); returns the
// previous handler.
MessageBoxHandler AfxSetMessageBoxHandler(MessageBoxHandler handler);

int AfxShowMessageBox(HWND hOwner, const char* pszText, const char* pszCaption, UINT nFlags);

// A box owned by the application's active window, captioned with the application's name.
int AfxMessageBox(const char* pszText, UINT nType = MB_OK, UINT nIDHelp = 0);

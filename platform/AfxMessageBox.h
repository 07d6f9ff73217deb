#pragma once
// Every message box of the program goes through one function here, so that tests can watch
// and answer them. By default the box is the platform's MessageBoxW: its texts reach the
// window system as UTF-16, the program's own converted from code page 1252.
#include "platform/CString.h"

#include <functional>
#include <string>

struct MessageBoxRequest {
    HWND hOwner;
    std::wstring text;  // as the box shows them
    std::wstring caption;
    UINT flags;
};

// Returns the button the user chose (IDOK, IDCANCEL, ...).
using MessageBoxHandler = std::function<int(const MessageBoxRequest&)>;

// Installs a handler in place of the platform's box (an empty one restores it); returns the
// previous handler.
MessageBoxHandler AfxSetMessageBoxHandler(MessageBoxHandler handler);

int AfxShowMessageBox(HWND hOwner, const std::wstring& text, const std::wstring& caption, UINT nFlags);
// The program's own texts, in code page 1252.
int AfxShowMessageBox(HWND hOwner, const char* pszText, const char* pszCaption, UINT nFlags);

// A box owned by the application's active window, captioned with the application's name.
int AfxMessageBox(const char* pszText, UINT nType = MB_OK, UINT nIDHelp = 0);
// The same for a text that holds more than the program's own words (file names).
int AfxMessageBox(const std::wstring& text, UINT nType = MB_OK, UINT nIDHelp = 0);

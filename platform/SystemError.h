#pragma once
// System errors as the user sees them: the one box that shows the platform's text for the
// error of a failed call.
#include "filesystem/SystemErrorText.h"
#include "platform/CString.h"

// Shows the platform's text for dwError in a stop box with an OK button (MB_OK | MB_ICONHAND),
// captioned with the application's name like every box of the program, through
// AfxShowMessageBox; pszCall names what failed, in parentheses under the text. Returns the
// button (IDOK).
int AfxShowSystemError(HWND hOwner, const char* pszCall, DWORD dwError);
// The same for the calling thread's last error, read before anything else happens.
int AfxShowLastError(HWND hOwner, const char* pszCall);

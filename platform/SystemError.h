#pragma once
// System errors as the user sees them: the platform's text for an error code, and the one
// box that shows the last error of a failed call.
#include "platform/CString.h"

#include <string>

// In the user's language, as the system words it (UTF-16: not necessarily the program's code page).
std::wstring AfxFormatSystemMessage(DWORD dwError);

// Shows the platform's text for dwError in a stop box with an OK button (MB_OK | MB_ICONHAND),
// owner and caption as given, through AfxShowMessageBox. Returns the button (IDOK).
int AfxShowSystemError(HWND hOwner, const char* pszCaption, DWORD dwError);
// The same for the calling thread's last error, read before anything else happens.
int AfxShowLastError(HWND hOwner, const char* pszCaption);

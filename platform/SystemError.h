#pragma once
// System errors as the user sees them: the platform's text for an error code, and the one
// box that shows the last error of a failed call.
#include "platform/CString.h"

CString AfxFormatSystemMessage(DWORD dwError);

// Shows the text of the calling thread's last error (read before anything else happens) in a
// stop box with an OK button: owner and caption as given. Returns the button (IDOK).
int AfxShowLastError(HWND hOwner, const char* pszCaption);

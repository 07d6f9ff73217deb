#pragma once
// The platform's own text for a system error code.
#include <windows.h>

#include <string>

// In the user's language, as the system words it (UTF-16: not necessarily the program's code page).
std::wstring AfxFormatSystemMessage(DWORD dwError);

// The same as one part of a sentence: without the final full stop and line break, and never
// empty ("Fehler 1234" where the system has no text).
std::wstring AfxSystemReason(DWORD dwError);

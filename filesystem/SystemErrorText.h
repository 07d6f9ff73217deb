#pragma once
// The platform's own text for a system error code.
#include <windows.h>

#include <string>

// In the user's language, as the system words it (UTF-16: not necessarily the program's code page).
std::wstring AfxFormatSystemMessage(DWORD dwError);

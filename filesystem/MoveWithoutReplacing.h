#pragma once
// The one way the program moves a file: never over an existing one, never by copying.
#include <windows.h>

#include <string>

// A rename that never replaces an existing file and never copies across volumes. The error the
// platform gave for it, ERROR_SUCCESS when it was made.
DWORD MoveWithoutReplacing(const std::wstring& from, const std::wstring& to);

// Whether a refusal says that the new name is taken.
bool ReportedTaken(DWORD dwError);

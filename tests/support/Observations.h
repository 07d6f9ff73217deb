#pragma once
// What the tests read back from the system to compare: the process's current directory and a
// window's text.
#include <windows.h>

#include <string>

std::string CurrentDirectory();

// By WM_GETTEXT, which also reaches controls of another process (GetWindowText does not ask
// them).
std::string WindowText(HWND hWnd);

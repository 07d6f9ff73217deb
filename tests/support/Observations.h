#pragma once
// What the tests read back from the system to compare: the process's current directory and a
// window's text.
#include <windows.h>

#include <string>

std::string CurrentDirectory();
// The process's own current directory, exactly, at any depth.
std::wstring WideCurrentDirectory();

// By WM_GETTEXT, which also reaches controls of another process (GetWindowText does not ask
// them).
std::string WindowText(HWND hWnd);
// The text exactly as the window holds it (WM_GETTEXT of a Unicode window, any code page).
std::wstring WideWindowText(HWND hWnd);

#pragma once
// What the framework does when an exception reaches a window procedure: nothing may unwind
// through the window manager, and no half-made window may stay behind silently. The top-level
// window the failing window belongs to ends (a dialog with -1, any other window is destroyed)
// and the user is told, once, in a box over that window's owner.
#include <windows.h>

// pszWhat: the exception's own description, or null when it has none.
void AfxEndAfterWindowProcFault(HWND hWnd, const char* pszWhat);

#pragma once
// Pixels per inch: what a window is shown at, and sizes scaled to it. Windows 10 tells each
// window's DPI; older systems have one DPI for the whole screen.
#include <windows.h>

#ifndef WM_DPICHANGED_AFTERPARENT
#define WM_DPICHANGED_AFTERPARENT 0x02E3
#endif

constexpr UINT AFX_DEFAULT_DPI = 96;

// The DPI the window is shown at (the screen's when the system cannot tell per window).
UINT AfxGetWindowDpi(HWND hWnd);
// The DPI of the screen as the whole process sees it.
UINT AfxGetSystemDpi();
// A system metric (SM_CXICON, SM_CXSMICON, ...) as it is at the given DPI.
int AfxGetSystemMetricForDpi(int nIndex, UINT nDpi);
// A length given for 96 DPI, at the given DPI.
int AfxScaleForDpi(int nLength, UINT nDpi);

// WM_DPICHANGED: moves the window to the rectangle the system suggests for the new DPI (lParam)
// and returns that DPI (wParam), which the window's own GetDpiForWindow may not report yet.
UINT AfxTakeDpiChange(HWND hWnd, WPARAM wParam, LPARAM lParam);
// Sends WM_DPICHANGED_AFTERPARENT to every window below hWnd, parents before their children,
// as Windows does after a top-level window's WM_DPICHANGED (systems that never send it: Wine).
void AfxNotifyChildrenOfDpiChange(HWND hWnd);

#include "platform/AfxDpi.h"

namespace {

// Both arrived with Windows 10 version 1607; looked up so that the program still starts on
// Windows 7 and 8.
template <class Function>
Function User32Function(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);

UINT ScreenDpi(HWND hWnd) {
    HDC hDC = GetDC(hWnd);
    int dpi = hDC ? GetDeviceCaps(hDC, LOGPIXELSY) : 0;
    if (hDC) ReleaseDC(hWnd, hDC);
    return dpi > 0 ? static_cast<UINT>(dpi) : AFX_DEFAULT_DPI;
}

}  // namespace

UINT AfxGetWindowDpi(HWND hWnd) {
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    UINT dpi = getDpiForWindow && hWnd ? getDpiForWindow(hWnd) : 0;
    return dpi ? dpi : ScreenDpi(hWnd);
}

UINT AfxGetSystemDpi() { return ScreenDpi(nullptr); }

int AfxGetSystemMetricForDpi(int nIndex, UINT nDpi) {
    static const auto getMetricForDpi = User32Function<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi");
    if (getMetricForDpi) return getMetricForDpi(nIndex, nDpi);
    // Before Windows 10 every metric is the system DPI's: scale it from there.
    return MulDiv(GetSystemMetrics(nIndex), static_cast<int>(nDpi), static_cast<int>(AfxGetSystemDpi()));
}

int AfxScaleForDpi(int nLength, UINT nDpi) {
    return MulDiv(nLength, static_cast<int>(nDpi), static_cast<int>(AFX_DEFAULT_DPI));
}

UINT AfxTakeDpiChange(HWND hWnd, WPARAM wParam, LPARAM lParam) {
    if (const RECT* pRect = reinterpret_cast<const RECT*>(lParam))
        SetWindowPos(hWnd, nullptr, pRect->left, pRect->top, pRect->right - pRect->left, pRect->bottom - pRect->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    UINT nDpi = HIWORD(wParam);
    return nDpi ? nDpi : AFX_DEFAULT_DPI;
}

void AfxNotifyChildrenOfDpiChange(HWND hWnd) {
    EnumChildWindows(
        hWnd,
        [](HWND hChild, LPARAM) {
            SendMessageA(hChild, WM_DPICHANGED_AFTERPARENT, 0, 0);
            return TRUE;
        },
        0);
}

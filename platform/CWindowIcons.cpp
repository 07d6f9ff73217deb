#include "platform/CWindowIcons.h"

#include "platform/AfxDpi.h"
#include "platform/AfxModuleState.h"

namespace {

CIconHandle LoadIconOfSize(LPCSTR lpszName, int nSize) {
    HINSTANCE hInst = AfxFindResourceHandle(lpszName, RT_GROUP_ICON);
    // Without LR_DEFAULTSIZE or LR_SHARED: the image of exactly this size, ours to destroy.
    return CIconHandle(static_cast<HICON>(LoadImageA(hInst, lpszName, IMAGE_ICON, nSize, nSize, 0)));
}

bool IsIconStatic(HWND hWnd) {
    char name[16] = {};
    GetClassNameA(hWnd, name, sizeof name);
    return lstrcmpiA(name, "Static") == 0 && (GetWindowLongA(hWnd, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
}

}  // namespace

int CWindowIcons::BigSize(UINT nDpi) { return AfxGetSystemMetricForDpi(SM_CXICON, nDpi); }

int CWindowIcons::SmallSize(UINT nDpi) { return AfxGetSystemMetricForDpi(SM_CXSMICON, nDpi); }

void CWindowIcons::Show(CWnd* pWnd, LPCSTR lpszName, UINT nDpi, BOOL bWindowIcons) {
    CIconHandle big = LoadIconOfSize(lpszName, BigSize(nDpi));
    CIconHandle small = bWindowIcons ? LoadIconOfSize(lpszName, SmallSize(nDpi)) : CIconHandle();
    if (!big) return;
    // An icon static takes the size of its new icon (it keeps its top-left corner).
    for (HWND hChild = GetWindow(pWnd->m_hWnd, GW_CHILD); hChild; hChild = GetWindow(hChild, GW_HWNDNEXT))
        if (IsIconStatic(hChild)) SendMessageA(hChild, STM_SETICON, reinterpret_cast<WPARAM>(big.Get()), 0);
    if (bWindowIcons) {
        pWnd->SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.Get()));
        pWnd->SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.Get()));
    }
    // Only now are the old icons shown nowhere any more.
    m_big = std::move(big);
    m_small = std::move(small);
}

#include "app/CSplashWindow.h"

#include "res/resource.h"

namespace {

constexpr UINT_PTR kSplashTimer = 1;
constexpr UINT kSplashMilliseconds = 750;

}  // namespace

BOOL CSplashWindow::s_allowed = FALSE;
CSplashWindow* CSplashWindow::s_instance = nullptr;

BEGIN_MESSAGE_MAP(CSplashWindow, CWnd)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_TIMER()
    ON_MESSAGE(WM_DPICHANGED, OnDpiChanged)
END_MESSAGE_MAP()

CSplashWindow::~CSplashWindow() { s_instance = nullptr; }

void CSplashWindow::SetAllowed(BOOL bAllowed) { s_allowed = bAllowed; }

void CSplashWindow::ShowSplash(CWnd* pParentWnd) {
    // A running splash keeps its own timer: a second request changes nothing.
    if (!s_allowed || s_instance) return;
    CSplashWindow* pSplash = new CSplashWindow;
    s_instance = pSplash;
    if (pSplash->CreateSplash(pParentWnd)) {
        // On screen at once, while the main dialog is still being set up.
        pSplash->UpdateWindow();
        return;
    }
    // A window that came and went during its creation has freed its object already
    // (PostNcDestroy, whose destructor reset s_instance); only one that never had a window
    // is ours to free.
    if (s_instance == pSplash) delete pSplash;
}

BOOL CSplashWindow::CreateSplash(CWnd* pParentWnd) {
    UINT nDpi = pParentWnd && pParentWnd->m_hWnd ? AfxGetWindowDpi(pParentWnd->m_hWnd) : AfxGetSystemDpi();
    SIZE size{};
    if (!LoadPicture(nDpi, &size)) return FALSE;
    // No background brush: the picture covers the whole window, so nothing is erased first.
    LPCSTR lpszClass = AfxRegisterWndClass(0, LoadCursorA(nullptr, IDC_ARROW), nullptr, nullptr);
    return CreateEx(0, lpszClass, nullptr, WS_POPUP | WS_VISIBLE, 0, 0, size.cx, size.cy,
                    pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr, nullptr);
}

BOOL CSplashWindow::LoadPicture(UINT nDpi, SIZE* pSize) {
    LPCSTR name = MAKEINTRESOURCEA(SplashPictureFor(nDpi));
    HBITMAP hBitmap = LoadBitmapA(AfxFindResourceHandle(name, RT_BITMAP), name);
    if (!hBitmap) return FALSE;
    m_splashBitmap.DeleteObject();
    m_splashBitmap.Attach(hBitmap);
    BITMAP bm{};
    m_splashBitmap.GetBitmap(&bm);
    *pSize = SIZE{bm.bmWidth, bm.bmHeight};
    return TRUE;
}

UINT CSplashWindow::SplashPictureFor(UINT nDpi) {
    UINT nPercent = nDpi * 100 / AFX_DEFAULT_DPI;
    if (nPercent >= 175) return IDB_SPLASH_200;
    return nPercent >= 125 ? IDB_SPLASH_150 : IDB_SPLASH;
}

void CSplashWindow::DismissSplash() {
    DestroyWindow();  // PostNcDestroy deletes this object
    // Redraw what the splash covered now rather than at the next idle paint.
    if (CWnd* pMainWnd = AfxGetThread()->GetMainWnd()) pMainWnd->UpdateWindow();
}

void CSplashWindow::PostNcDestroy() { delete this; }

int CSplashWindow::OnCreate(LPCREATESTRUCT) {
    if (Default() == -1) return -1;
    // Still hidden: centring now means the splash is never seen at (0, 0).
    CenterWindow();
    SetTimer(kSplashTimer, kSplashMilliseconds);
    return 0;
}

void CSplashWindow::OnPaint() {
    CPaintDC dc(this);
    CDC memDC;
    if (!memDC.CreateCompatibleDC(&dc)) return;
    BITMAP bm{};
    m_splashBitmap.GetBitmap(&bm);
    CObjectSelection bitmap(memDC, m_splashBitmap.m_hObject);
    dc.BitBlt(0, 0, bm.bmWidth, bm.bmHeight, &memDC, 0, 0, SRCCOPY);
}

void CSplashWindow::OnTimer(UINT_PTR) { DismissSplash(); }

// On a screen of another DPI the picture drawn nearest it replaces the old one, at its own size,
// centred where the system suggests the window should go.
LRESULT CSplashWindow::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
    const RECT* pSuggested = reinterpret_cast<const RECT*>(lParam);
    SIZE size{};
    if (!pSuggested || !LoadPicture(HIWORD(wParam), &size)) return 0;
    int x = (pSuggested->left + pSuggested->right - size.cx) / 2;
    int y = (pSuggested->top + pSuggested->bottom - size.cy) / 2;
    SetWindowPos(nullptr, x, y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    Invalidate(FALSE);
    return 0;
}

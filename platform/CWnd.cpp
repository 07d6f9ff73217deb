#include "platform/CWnd.h"

#include "platform/AfxMessageBox.h"
#include "platform/AfxModuleState.h"
#include "platform/AfxWindowProcFault.h"
#include "platform/CGdiObject.h"
#include "platform/CMenu.h"
#include "platform/CWinThread.h"
#include "platform/TempObjects.h"

#include <exception>
#include <memory>
#include <unordered_map>

namespace {

std::unordered_map<HWND, CWnd*>& PermanentMap() {
    static std::unordered_map<HWND, CWnd*> s_map;
    return s_map;
}

std::unordered_map<HWND, std::unique_ptr<CWnd>>& TemporaryMap() {
    static std::unordered_map<HWND, std::unique_ptr<CWnd>> s_map;
    return s_map;
}

// The message each nesting level of window procedures is handling, for Default().
struct CurrentMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};
CurrentMessage s_current;
int s_nDepth = 0;

CWnd* s_pWndInit = nullptr;

RECT WorkAreaOf(HMONITOR hMonitor) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (hMonitor && GetMonitorInfoA(hMonitor, &info)) return info.rcWork;
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

bool IsCtlColor(UINT message) { return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC; }

}  // namespace

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

CWnd* afx_detail::WndFromHandle(HWND hWnd) { return CWnd::FromHandle(hWnd); }

afx_detail::CNarrowCreateStruct::CNarrowCreateStruct(const CREATESTRUCTW& wide)
    : m_strName(wide.lpszName ? AfxFromWide(std::wstring(wide.lpszName)).str() : std::string()),
      m_strClass(IS_INTRESOURCE(wide.lpszClass) ? std::string() : AfxFromWide(std::wstring(wide.lpszClass)).str()) {
    m_cs = CREATESTRUCTA{
        wide.lpCreateParams, wide.hInstance, wide.hMenu, wide.hwndParent, wide.cy, wide.cx, wide.y, wide.x,
        wide.style,          nullptr,        nullptr,    wide.dwExStyle};
    m_cs.lpszName = wide.lpszName ? m_strName.c_str() : nullptr;
    // A class atom stays the atom.
    m_cs.lpszClass = IS_INTRESOURCE(wide.lpszClass) ? reinterpret_cast<LPCSTR>(wide.lpszClass) : m_strClass.c_str();
}

CWnd::~CWnd() {
    if (!m_hWnd) return;
    if (m_bCreatedHere) {
        ::DestroyWindow(m_hWnd);
        if (m_hWnd) Detach();
    } else {
        UnsubclassWindow();
        Detach();
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    auto found = PermanentMap().find(hWnd);
    return found == PermanentMap().end() ? nullptr : found->second;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (!hWnd) return nullptr;
    if (CWnd* permanent = FromHandlePermanent(hWnd)) return permanent;
    std::unique_ptr<CWnd>& temp = TemporaryMap()[hWnd];
    if (!temp) {
        temp = std::make_unique<CWnd>();
        temp->m_hWnd = hWnd;
    }
    return temp.get();
}

void AfxDeleteTempMap() {
    // The wrappers' destructors must not touch the windows they wrapped.
    for (auto& entry : TemporaryMap()) entry.second->m_hWnd = nullptr;
    TemporaryMap().clear();
    AfxDeleteTempObjects();
}

BOOL CWnd::Attach(HWND hWnd) {
    if (!hWnd || m_hWnd || FromHandlePermanent(hWnd)) return FALSE;
    m_hWnd = hWnd;
    PermanentMap()[hWnd] = this;
    auto temp = TemporaryMap().find(hWnd);
    if (temp != TemporaryMap().end()) temp->second->m_hWnd = nullptr;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hWnd = m_hWnd;
    if (hWnd) {
        auto found = PermanentMap().find(hWnd);
        if (found != PermanentMap().end() && found->second == this) PermanentMap().erase(found);
    }
    m_hWnd = nullptr;
    return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (!Attach(hWnd)) return FALSE;
    PreSubclassWindow();
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    HWND hControl = pParent ? ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)) : nullptr;
    return hControl && SubclassWindow(hControl);
}

HWND CWnd::UnsubclassWindow() {
    if (m_hWnd && m_pfnSuper) SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return m_hWnd;
}

void CWnd::AttachCreated(HWND hWnd) {
    Attach(hWnd);
    m_bCreatedHere = true;
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
}

void CWnd::OnFinalDestroy() {
    CWinThread* pThread = AfxGetThread();
    if (pThread && pThread->m_pMainWnd == this) pThread->m_pMainWnd = nullptr;
    UnsubclassWindow();
    Detach();
    m_bCreatedHere = false;
    PostNcDestroy();  // may delete this
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam) {
    if (m_hWnd) return FALSE;
    HWND hWnd;
    {
        CWndCreationHook hook(this);
        // A Unicode window: its texts reach the window system as UTF-16 on every code page.
        std::wstring className = AfxToWide(lpszClassName);
        std::wstring windowName = AfxToWide(lpszWindowName);
        hWnd = CreateWindowExW(dwExStyle, className.c_str(), lpszWindowName ? windowName.c_str() : nullptr, dwStyle, x,
                               y, nWidth, nHeight, hWndParent, nIDorHMenu, AfxGetInstanceHandle(), lpParam);
    }
    // A failed creation (WM_CREATE gave -1) has already destroyed and detached the window. A
    // window destroyed later in its creation (by a hook, or its owner going) comes back as a
    // dead handle, and its object may have deleted itself: then this object is not looked at.
    return hWnd != nullptr && ::IsWindow(hWnd) && m_hWnd == hWnd;
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    HWND hWnd = m_hWnd;
    bool routed = m_pfnSuper != nullptr;
    BOOL result = ::DestroyWindow(hWnd);
    // A window that was only attached never shows us its WM_NCDESTROY.
    if (!routed && FromHandlePermanent(hWnd) == this) Detach();
    return result;
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
    return result;
}

LRESULT CWnd::Default() { return DefWindowProc(s_current.message, s_current.wParam, s_current.lParam); }

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper) return CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message == WM_COMMAND) return OnCommandMessage(wParam, lParam, pResult);
    if (message == WM_NOTIFY) return OnNotifyMessage(lParam, pResult);
    if (IsCtlColor(message)) {
        CWnd* pChild = FromHandlePermanent(reinterpret_cast<HWND>(lParam));
        if (pChild && pChild->ReflectChildNotify(message, wParam, lParam, pResult)) return true;
    }
    const AFX_MSGMAP_ENTRY* entry = FindEntry(AfxEntryKind::Message, message, 0);
    return entry && entry->pfnInvoke(this, wParam, lParam, pResult);
}

bool CWnd::OnCommandMessage(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    UINT nID = LOWORD(wParam);
    UINT nCode = HIWORD(wParam);
    CWnd* pChild = lParam ? FromHandlePermanent(reinterpret_cast<HWND>(lParam)) : nullptr;
    if (pChild && pChild != this && pChild->ReflectChildNotify(WM_COMMAND, wParam, lParam, pResult)) return true;
    if (OnCmdMsg(nID, nCode, pResult)) return true;
    // Commands nobody in the window handles go to the application (ID_HELP).
    CWinThread* pApp = AfxGetThread();
    return pApp && pApp->OnCmdMsg(nID, nCode, pResult);
}

bool CWnd::OnNotifyMessage(LPARAM lParam, LRESULT* pResult) {
    NMHDR* pHeader = reinterpret_cast<NMHDR*>(lParam);
    if (!pHeader) return false;
    CWnd* pChild = FromHandlePermanent(pHeader->hwndFrom);
    if (pChild && pChild != this && pChild->ReflectChildNotify(WM_NOTIFY, 0, lParam, pResult)) return true;
    const AFX_MSGMAP_ENTRY* entry = FindEntry(AfxEntryKind::Notify, pHeader->code, static_cast<UINT>(pHeader->idFrom));
    return entry && entry->pfnInvoke(this, 0, lParam, pResult);
}

bool CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    const AFX_MSGMAP_ENTRY* entry = nullptr;
    if (message == WM_COMMAND) {
        entry = FindEntry(AfxEntryKind::ReflectCommand, HIWORD(wParam), 0);
    } else if (message == WM_NOTIFY) {
        entry = FindEntry(AfxEntryKind::ReflectNotify, reinterpret_cast<NMHDR*>(lParam)->code, 0);
    } else if (IsCtlColor(message)) {
        entry = FindEntry(AfxEntryKind::ReflectCtlColor, 0, 0);
        lParam = static_cast<LPARAM>(message - WM_CTLCOLORMSGBOX);  // CTLCOLOR_* kind
    }
    return entry && entry->pfnInvoke(this, wParam, lParam, pResult);
}

LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CurrentMessage saved = s_current;
    s_current = {message, wParam, lParam};
    ++s_nDepth;
    ++pWnd->m_nHandling;
    LRESULT result = 0;
    try {
        result = pWnd->WindowProc(message, wParam, lParam);
    } catch (const std::exception& e) {
        // Nothing may unwind through the platform's window manager.
        AfxEndAfterWindowProcFault(hWnd, e.what());
    } catch (...) {
        AfxEndAfterWindowProcFault(hWnd, nullptr);
    }
    --pWnd->m_nHandling;
    if (message == WM_NCDESTROY && CWnd::FromHandlePermanent(hWnd) == pWnd) pWnd->m_bFinalPending = true;
    // A window destroyed from inside one of its own handlers (or during its creation) must not
    // free its object under that handler's feet: the object goes when the outermost returns.
    if (pWnd->m_bFinalPending && pWnd->m_nHandling == 0) {
        pWnd->m_bFinalPending = false;
        pWnd->OnFinalDestroy();  // may delete pWnd
    }
    --s_nDepth;
    s_current = saved;
    if (s_nDepth == 0) AfxDeleteTempMap();
    return result;
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd) return ::DefWindowProcW(hWnd, message, wParam, lParam);
    return AfxCallWndProc(pWnd, hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CWndCreationHook::HookProc(int nCode, WPARAM wParam, LPARAM lParam) {
    if (nCode == HCBT_CREATEWND && s_pWndInit) {
        CWnd* pWnd = s_pWndInit;
        s_pWndInit = nullptr;
        pWnd->AttachCreated(reinterpret_cast<HWND>(wParam));
    }
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
}

CWndCreationHook::CWndCreationHook(CWnd* pWnd)
    : m_hook(SetWindowsHookExW(WH_CBT, &HookProc, nullptr, GetCurrentThreadId())), m_pPrevious(s_pWndInit) {
    s_pWndInit = pWnd;
}

CWndCreationHook::~CWndCreationHook() { s_pWndInit = m_pPrevious; }

// --- Thin operations ---------------------------------------------------------------------

DWORD CWnd::GetStyle() const { return static_cast<DWORD>(GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
DWORD CWnd::GetExStyle() const { return static_cast<DWORD>(GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)); }

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd) {
    DWORD style = GetStyle();
    DWORD changed = (style & ~dwRemove) | dwAdd;
    if (changed == style) return FALSE;
    SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(changed));
    return TRUE;
}

int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
CWnd* CWnd::GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
    return ::SetWindowPos(m_hWnd, pWndInsertAfter ? pWndInsertAfter->m_hWnd : nullptr, x, y, cx, cy, nFlags);
}

// Over the owner (or parent, or the given window) when it is visible and not minimised, else
// in the middle of the work area of the monitor the window is on; a top-level window never
// leaves the work area of the monitor it lands on.
void CWnd::CenterWindow(CWnd* pAlternateOwner) {
    bool bChild = (GetStyle() & WS_CHILD) != 0;
    HWND hOver = pAlternateOwner ? pAlternateOwner->m_hWnd
                                 : (bChild ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER));
    RECT self;
    ::GetWindowRect(m_hWnd, &self);
    RECT over = WorkAreaOf(MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST));
    if (hOver && ::IsWindowVisible(hOver) && !::IsIconic(hOver)) ::GetWindowRect(hOver, &over);
    int width = self.right - self.left;
    int height = self.bottom - self.top;
    int x = (over.left + over.right - width) / 2;
    int y = (over.top + over.bottom - height) / 2;
    if (!bChild) {
        RECT area = WorkAreaOf(MonitorFromRect(&over, MONITOR_DEFAULTTONEAREST));
        if (x + width > area.right) x = area.right - width;
        if (y + height > area.bottom) y = area.bottom - height;
        if (x < area.left) x = area.left;
        if (y < area.top) y = area.top;
    } else {
        POINT origin{x, y};
        ::ScreenToClient(::GetParent(m_hWnd), &origin);
        x = origin.x;
        y = origin.y;
    }
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint) {
    ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
}

BOOL CWnd::ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
BOOL CWnd::EnableWindow(BOOL bEnable) { return ::EnableWindow(m_hWnd, bEnable); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
BOOL CWnd::IsIconic() const { return ::IsIconic(m_hWnd); }
CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
CWnd* CWnd::GetFocus() { return FromHandle(::GetFocus()); }

int CWnd::MessageBoxA(LPCSTR lpszText, LPCSTR lpszCaption, UINT nType) {
    CString caption = lpszCaption ? CString(lpszCaption) : AfxGetAppName();
    return AfxShowMessageBox(m_hWnd, lpszText, caption, nType);
}

void CWnd::SetWindowText(LPCSTR lpszString) { ::SetWindowTextW(m_hWnd, AfxToWide(lpszString).c_str()); }

void CWnd::SetWindowText(const std::wstring& text) { ::SetWindowTextW(m_hWnd, text.c_str()); }

void CWnd::GetWindowText(CString& rString) const { rString = AfxFromWide(GetWindowTextWide()); }

std::wstring CWnd::GetWindowTextWide() const {
    // The length is what the window says now; the copy may come out shorter.
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(m_hWnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(m_hWnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

CString CWnd::GetWindowTextString() const {
    CString text;
    GetWindowText(text);
    return text;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
}

void CWnd::UpdateWindow() { ::UpdateWindow(m_hWnd); }
void CWnd::Invalidate(BOOL bErase) { ::InvalidateRect(m_hWnd, nullptr, bErase); }

BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, HRGN hrgn, UINT flags) {
    return ::RedrawWindow(m_hWnd, lpRectUpdate, hrgn, flags);
}

void CWnd::GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
void CWnd::GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
void CWnd::ScreenToClient(LPPOINT lpPoint) const { ::ScreenToClient(m_hWnd, lpPoint); }

void CWnd::ScreenToClient(LPRECT lpRect) const {
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&lpRect->left));
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&lpRect->right));
}

void CWnd::ClientToScreen(LPPOINT lpPoint) const { ::ClientToScreen(m_hWnd, lpPoint); }

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse) { return ::SetTimer(m_hWnd, nIDEvent, nElapse, nullptr); }
BOOL CWnd::KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }

void CWnd::SetFont(CFont* pFont, BOOL bRedraw) {
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(pFont ? pFont->m_hObject : nullptr), bRedraw);
}

HFONT CWnd::GetFontHandle() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }

CMenu* CWnd::GetSystemMenu(BOOL bRevert) const { return CMenu::FromHandle(::GetSystemMenu(m_hWnd, bRevert)); }

// --- Window classes --------------------------------------------------------------------------

LPCSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon) {
    static std::unordered_map<std::string, std::string> s_registered;
    CString name;
    name.Format("Umbrix:%x:%p:%p:%p", nClassStyle, static_cast<void*>(hCursor), static_cast<void*>(hbrBackground),
                static_cast<void*>(hIcon));
    auto found = s_registered.find(name.str());
    if (found != s_registered.end()) return found->second.c_str();
    std::wstring wideName = AfxToWide(name);
    WNDCLASSW wc{};
    wc.style = nClassStyle;
    wc.lpfnWndProc = &::DefWindowProcW;  // the creation hook routes each window to AfxWndProc
    wc.hInstance = AfxGetInstanceHandle();
    wc.hCursor = hCursor;
    wc.hbrBackground = hbrBackground;
    wc.hIcon = hIcon;
    wc.lpszClassName = wideName.c_str();
    if (!RegisterClassW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
    return s_registered.emplace(name.str(), name.str()).first->second.c_str();
}

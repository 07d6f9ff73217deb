#include "tests/support/ShellNotices.h"

#include <shlobj.h>

#include <utility>

namespace {

constexpr UINT kMessage = WM_APP + 39;

std::wstring PathOf(PCIDLIST_ABSOLUTE pidl) {
    wchar_t path[MAX_PATH] = L"";
    if (pidl) SHGetPathFromIDListW(pidl, path);
    return path;
}

}  // namespace

CShellNotices::CShellNotices(const std::wstring& directory) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"UmbrixTestShellNotices";
    RegisterClassW(&wc);
    m_hWnd = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // The folder and what is in it. Wine hands a watcher the events of a folder's items only
    // where it watches the subtree; Windows does so either way.
    SHChangeNotifyEntry entry{ILCreateFromPathW(directory.c_str()), TRUE};
    m_nId = SHChangeNotifyRegister(m_hWnd, SHCNRF_ShellLevel | SHCNRF_InterruptLevel | SHCNRF_NewDelivery,
                                   SHCNE_ALLEVENTS, kMessage, 1, &entry);
    ILFree(const_cast<LPITEMIDLIST>(entry.pidl));
}

CShellNotices::~CShellNotices() {
    if (m_nId) SHChangeNotifyDeregister(m_nId);
    DestroyWindow(m_hWnd);
}

std::vector<CShellNotices::Notice> CShellNotices::Take() {
    MSG msg;
    while (PeekMessageW(&msg, m_hWnd, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    return std::exchange(m_notices, {});
}

LRESULT CALLBACK CShellNotices::WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    auto* pThis = reinterpret_cast<CShellNotices*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (uMsg != kMessage || !pThis) return DefWindowProcW(hWnd, uMsg, wParam, lParam);
    PIDLIST_ABSOLUTE* pidls = nullptr;
    LONG nEvent = 0;
    HANDLE hLock =
        SHChangeNotification_Lock(reinterpret_cast<HANDLE>(wParam), static_cast<DWORD>(lParam), &pidls, &nEvent);
    std::wstring path = pidls ? PathOf(pidls[0]) : L"<no path>";
    std::wstring second = pidls && nEvent == SHCNE_RENAMEITEM ? PathOf(pidls[1]) : L"";
    pThis->m_notices.push_back({nEvent, path, second});
    if (hLock) SHChangeNotification_Unlock(hLock);
    return 0;
}

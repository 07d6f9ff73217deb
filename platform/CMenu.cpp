#include "platform/CMenu.h"

#include "platform/TempObjects.h"

CMenu* CMenu::FromHandle(HMENU hMenu) {
    if (!hMenu) return nullptr;
    CMenu* pMenu = AfxMakeTempObject<CMenu>();
    pMenu->m_hMenu = hMenu;
    return pMenu;
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCSTR lpszNewItem) {
    // A text item's text is the program's own (code page 1252); other kinds pass their value.
    if ((nFlags & (MF_BITMAP | MF_OWNERDRAW | MF_SEPARATOR)) || !lpszNewItem)
        return ::AppendMenuW(m_hMenu, nFlags, nIDNewItem, reinterpret_cast<LPCWSTR>(lpszNewItem));
    return ::AppendMenuW(m_hMenu, nFlags, nIDNewItem, AfxToWide(lpszNewItem).c_str());
}

int CMenu::GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
UINT CMenu::GetMenuItemID(int nPos) const { return ::GetMenuItemID(m_hMenu, nPos); }
UINT CMenu::GetMenuState(UINT nID, UINT nFlags) const { return ::GetMenuState(m_hMenu, nID, nFlags); }

CString CMenu::GetMenuString(UINT nIDItem, UINT nFlags) const {
    int length = ::GetMenuStringW(m_hMenu, nIDItem, nullptr, 0, nFlags);
    if (length <= 0) return CString();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    length = ::GetMenuStringW(m_hMenu, nIDItem, text.data(), length + 1, nFlags);
    return AfxFromWide(text.c_str(), length);
}

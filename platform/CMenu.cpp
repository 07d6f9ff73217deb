#include "platform/CMenu.h"

#include "platform/TempObjects.h"

CMenu* CMenu::FromHandle(HMENU hMenu) {
    if (!hMenu) return nullptr;
    CMenu* pMenu = AfxMakeTempObject<CMenu>();
    pMenu->m_hMenu = hMenu;
    return pMenu;
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCSTR lpszNewItem) {
    return ::AppendMenuA(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
}

int CMenu::GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
UINT CMenu::GetMenuItemID(int nPos) const { return ::GetMenuItemID(m_hMenu, nPos); }
UINT CMenu::GetMenuState(UINT nID, UINT nFlags) const { return ::GetMenuState(m_hMenu, nID, nFlags); }

CString CMenu::GetMenuString(UINT nIDItem, UINT nFlags) const {
    char buffer[256] = {};
    ::GetMenuStringA(m_hMenu, nIDItem, buffer, sizeof buffer, nFlags);
    return CString(buffer);
}

#pragma once
// A menu handle. Wrappers from FromHandle (such as a window's system menu) never destroy it.
#include "platform/CString.h"
#include "platform/CObject.h"

class CMenu : public CObject {
public:
    HMENU m_hMenu = nullptr;

    static CMenu* FromHandle(HMENU hMenu);

    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCSTR lpszNewItem = nullptr);
    int GetMenuItemCount() const;
    UINT GetMenuItemID(int nPos) const;
    UINT GetMenuState(UINT nID, UINT nFlags) const;
    CString GetMenuString(UINT nIDItem, UINT nFlags) const;
};

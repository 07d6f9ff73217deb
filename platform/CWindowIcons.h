#pragma once
// A window's program icon drawn for one DPI: in each of its icon statics at the standard icon
// size, and as its caption and task-bar icons (small and big). Each comes from the icon group at
// exactly its size, so no picture is stretched; a DPI change loads them again, never scales.
#include "platform/CWindowHandles.h"
#include "platform/CWnd.h"

class CWindowIcons {
public:
    // Shows icon group lpszName at nDpi in every icon static (SS_ICON) directly in pWnd, and, with
    // bWindowIcons, as pWnd's big and small icon. Icons shown before are released afterwards.
    void Show(CWnd* pWnd, LPCSTR lpszName, UINT nDpi, BOOL bWindowIcons);

    HICON GetBig() const { return m_big.Get(); }
    HICON GetSmall() const { return m_small.Get(); }

    // The standard and the small icon size at a DPI: 32 and 16 pixels at 96 DPI.
    static int BigSize(UINT nDpi);
    static int SmallSize(UINT nDpi);

private:
    CIconHandle m_big;
    CIconHandle m_small;
};

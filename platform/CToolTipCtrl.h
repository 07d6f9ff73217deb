#pragma once
// A tooltip window. It owns the window it creates and destroys it with itself.
#include "platform/CWnd.h"

class CToolTipCtrl : public CWnd {
public:
    // A tooltip owned by pParentWnd, with extra style bits dwStyle.
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);
    // One tool: the window pWnd, id nIDTool, area lpRectTool (client coordinates), text.
    BOOL AddTool(CWnd* pWnd, LPCSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool);
    // Moves the area of the tool nIDTool of pWnd (client coordinates), after the window was resized.
    void SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect);
    // Hands a message of the tool's window to the tooltip, which shows and hides itself by them.
    void RelayEvent(LPMSG lpMsg);
};

#include "platform/CToolTipCtrl.h"

#include <commctrl.h>

namespace {

// The class name as CreateEx takes it: the program's texts are byte strings.
const char TOOLTIPS_CLASS_NAME[] = "tooltips_class32";

}  // namespace

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle) {
    return CreateEx(0, TOOLTIPS_CLASS_NAME, nullptr, WS_POPUP | dwStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, pParentWnd ? pParentWnd->m_hWnd : nullptr, nullptr);
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool) {
    TOOLINFOW info{};
    // The full record ends in a field that only version 6 of the common controls knows;
    // version 5, which a program without a manifest gets, refuses a tool of that size.
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = pWnd ? pWnd->m_hWnd : nullptr;
    info.uId = nIDTool;
    if (lpRectTool) info.rect = *lpRectTool;
    std::wstring text = AfxToWide(lpszText);
    info.lpszText = text.data();
    return static_cast<BOOL>(SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)));
}

void CToolTipCtrl::SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect) {
    TOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = pWnd ? pWnd->m_hWnd : nullptr;
    info.uId = nIDTool;
    info.rect = *lpRect;
    SendMessage(TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&info));
}

void CToolTipCtrl::RelayEvent(LPMSG lpMsg) { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(lpMsg)); }

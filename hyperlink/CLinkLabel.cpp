#include "hyperlink/CLinkLabel.h"

#include "filesystem/SystemText.h"
#include "hyperlink/LinkOpening.h"

BEGIN_MESSAGE_MAP(CLinkLabel, CStatic)
    ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_SETCURSOR()
    ON_WM_MOUSEMOVE()
    ON_WM_CAPTURECHANGED()
    ON_MESSAGE(WM_DPICHANGED_AFTERPARENT, OnDpiChangedAfterParent)
    ON_MESSAGE(WM_SETFONT, OnSetFont)
    ON_WM_PAINT()
    ON_MESSAGE(WM_SETFOCUS, OnFocusChange)
    ON_MESSAGE(WM_KILLFOCUS, OnFocusChange)
    ON_MESSAGE(WM_UPDATEUISTATE, OnFocusChange)
    ON_MESSAGE(WM_GETDLGCODE, OnGetDlgCode)
    ON_MESSAGE(WM_KEYDOWN, OnKeyDown)
END_MESSAGE_MAP()

CLinkLabel::CLinkLabel()
    : m_normalColor(RGB(0, 0, 238)), m_visitedColor(RGB(85, 26, 139)), m_hoverColor(GetSysColor(COLOR_HIGHLIGHT)) {}

CLinkLabel::~CLinkLabel() {
    m_linkFont.DeleteObject();
    m_tip.DestroyWindow();
}

void CLinkLabel::PreSubclassWindow() {
    // Without SS_NOTIFY a static control reports no clicks.
    ModifyStyle(0, SS_NOTIFY);
    if (m_url.IsEmpty()) GetWindowText(m_url);
    if (GetWindowTextString().IsEmpty()) SetWindowText(m_url);
    CopyFontWithUnderline(GetFontHandle());
    if (CWnd* pParent = GetParent()) m_hParentFont = pParent->GetFontHandle();
    FitToText();
    LoadLinkCursor();
    // Taken after fitting, so that the tool covers the resized label.
    CRect client;
    GetClientRect(&client);
    m_tip.Create(this, 0);
    m_tip.AddTool(this, m_url, &client, 1);
    CStatic::PreSubclassWindow();
}

void CLinkLabel::CopyFontWithUnderline(HFONT hFont) {
    // A control without a font of its own draws with the system font; copy that one.
    if (!hFont) hFont = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    LOGFONTW logFont{};
    GetObjectW(hFont, sizeof logFont, &logFont);
    logFont.lfUnderline = static_cast<BYTE>(m_underline);
    CFont copy;
    if (!copy.CreateFontIndirect(&logFont)) return;
    m_bSettingOwnFont = TRUE;
    SetFont(&copy, TRUE);
    m_bSettingOwnFont = FALSE;
    m_linkFont.DeleteObject();  // no longer the control's
    m_linkFont.Attach(copy.Detach());
}

// A font given to the control later (the dialog manager does so for a new DPI) would drop the
// underline: the label shows an underlined copy of it instead, at the size of its text.
LRESULT CLinkLabel::OnSetFont(WPARAM wParam, LPARAM) {
    if (m_bSettingOwnFont) return Default();
    CopyFontWithUnderline(reinterpret_cast<HFONT>(wParam));
    FitToText();
    MoveToolToClientArea();
    return 0;
}

// After a DPI change the dialog may have a new font for the new DPI without having given it to
// the label; the label then copies it. Either way it fits itself again, since the system scales
// the controls' rectangles, and its tooltip follows its new size.
LRESULT CLinkLabel::OnDpiChangedAfterParent(WPARAM, LPARAM) {
    CWnd* pParent = GetParent();
    HFONT hParentFont = pParent ? pParent->GetFontHandle() : nullptr;
    if (hParentFont && hParentFont != m_hParentFont) CopyFontWithUnderline(hParentFont);
    m_hParentFont = hParentFont;
    FitToText();
    MoveToolToClientArea();
    return 0;
}

void CLinkLabel::MoveToolToClientArea() {
    if (!m_tip.m_hWnd) return;
    CRect client;
    GetClientRect(&client);
    m_tip.SetToolRect(this, 1, &client);
}

void CLinkLabel::FitToText() {
    if (!::IsWindow(m_hWnd) || !m_fitToText) return;
    CRect rect;
    GetWindowRect(&rect);
    if (CWnd* pParent = GetParent()) pParent->ScreenToClient(&rect);
    SIZE extent = TextExtent(GetWindowTextWide());

    DWORD style = GetStyle();
    if (style & SS_CENTERIMAGE) {
        int d = (rect.Height() - static_cast<int>(extent.cy)) / 2;  // truncated toward zero
        InflateRect(&rect, 0, -d);
    } else {
        rect.bottom = rect.top + extent.cy;
    }
    // Single bits of the style, not a value of its type field.
    if (style & SS_CENTER) {
        int d = (rect.Width() - static_cast<int>(extent.cx)) / 2;
        InflateRect(&rect, -d, 0);
    } else if (style & SS_RIGHT) {
        rect.left = rect.right - extent.cx;
    } else {
        rect.right = rect.left + extent.cx;
    }
    SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER);
}

SIZE CLinkLabel::TextExtent(const std::wstring& text) const {
    CClientDC dc(m_hWnd);
    CObjectSelection font(dc, m_linkFont.m_hObject);
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    return extent;
}

void CLinkLabel::LoadLinkCursor() {
    if (m_hoverCursor) return;
    std::wstring windows = AfxReadSystemText(GetWindowsDirectoryW);
    std::wstring helpProgram = windows + L"\\winhlp32.exe";
    if (CLibraryHandle module{windows.empty() ? nullptr : LoadLibraryW(helpProgram.c_str())}) {
        if (HCURSOR hCursor = LoadCursorA(module.Get(), MAKEINTRESOURCEA(106)))
            m_hoverCursor = CCursorHandle(CopyIcon(hCursor));
    }
    // Where the help program or its hand is missing, the system's own hand is what users
    // expect over a link.
    if (!m_hoverCursor) m_hoverCursor = CCursorHandle(CopyIcon(LoadCursorA(nullptr, IDC_HAND)));
}

namespace {

bool IsHighContrast() {
    HIGHCONTRASTW highContrast{};
    highContrast.cbSize = sizeof highContrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof highContrast, &highContrast, 0) &&
           (highContrast.dwFlags & HCF_HIGHCONTRASTON);
}

}  // namespace

// The fixed link colours could vanish against a high-contrast scheme's background; the
// scheme's own colour for links and its text colour are made to be read on it.
COLORREF CLinkLabel::GetTextColor(BOOL bHighContrast) const {
    if (m_hovering) return m_hoverColor;
    if (bHighContrast) return GetSysColor(m_visited ? COLOR_WINDOWTEXT : COLOR_HOTLIGHT);
    return m_visited ? m_visitedColor : m_normalColor;
}

HBRUSH CLinkLabel::CtlColor(CDC* pDC, UINT) {
    pDC->SetTextColor(GetTextColor(IsHighContrast()));
    pDC->SetBkMode(TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

void CLinkLabel::OnMouseMove(UINT, CPoint point) {
    Default();
    if (!m_hovering) {
        // Without the capture, a move reaches the label only while the mouse is over it.
        m_hovering = TRUE;
        Repaint();
        SetCapture(m_hWnd);
        return;
    }
    CRect client;
    GetClientRect(&client);
    if (PtInRect(&client, point)) return;
    m_hovering = FALSE;
    ReleaseCapture();
    Repaint();
}

// Hovering lasts only as long as the capture: when another window takes it (a menu opened by
// Alt+Space, a dragged window) no move outside the label would reach us any more.
void CLinkLabel::OnCaptureChanged(CWnd* pWnd) {
    if (!m_hovering || (pWnd && pWnd->m_hWnd == m_hWnd)) return;
    m_hovering = FALSE;
    Repaint();
}

void CLinkLabel::Repaint() { RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); }

// The text is drawn transparently and the focus rectangle by inverting: each painting starts
// from the parent's background, so that neither is drawn over what the last one left.
void CLinkLabel::OnPaint() {
    CPaintDC dc(this);
    PaintParentBackground(dc);
    SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(static_cast<HDC>(dc)), PRF_CLIENT);
    if (!ShowsFocus()) return;
    CRect client;
    GetClientRect(&client);
    DrawFocusRect(dc, &client);
}

void CLinkLabel::PaintParentBackground(HDC hDC) const {
    CWnd* pParent = GetParent();
    if (!pParent) return;
    POINT origin{0, 0};
    ::MapWindowPoints(m_hWnd, pParent->m_hWnd, &origin, 1);
    POINT previous{};
    OffsetWindowOrgEx(hDC, origin.x, origin.y, &previous);
    pParent->SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(hDC));
    SetWindowOrgEx(hDC, previous.x, previous.y, nullptr);
}

// As the system's controls do: the rectangle shows while focused, unless the window hides
// keyboard cues (until the keyboard is first used in it).
bool CLinkLabel::ShowsFocus() const {
    return ::GetFocus() == m_hWnd && !(SendMessage(WM_QUERYUISTATE) & UISF_HIDEFOCUS);
}

LRESULT CLinkLabel::OnFocusChange(WPARAM, LPARAM) {
    LRESULT result = Default();
    Invalidate(FALSE);
    return result;
}

// The dialog would take Enter for its default button, and a Space or Enter character for a
// search through its access keys; a focused link opens on them instead.
LRESULT CLinkLabel::OnGetDlgCode(WPARAM, LPARAM lParam) {
    LRESULT code = Default();
    const MSG* pMsg = reinterpret_cast<const MSG*>(lParam);
    if (pMsg && (pMsg->message == WM_KEYDOWN || pMsg->message == WM_CHAR) &&
        (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_SPACE))
        code |= DLGC_WANTMESSAGE;
    return code;
}

// A key held down opens the address once.
LRESULT CLinkLabel::OnKeyDown(WPARAM wParam, LPARAM lParam) {
    if (wParam != VK_RETURN && wParam != VK_SPACE) return Default();
    bool bRepeat = (lParam & (1 << 30)) != 0;
    if (!bRepeat) OnClicked();
    return 0;
}

BOOL CLinkLabel::OnSetCursor(CWnd*, UINT, UINT) {
    if (!m_hoverCursor) return FALSE;
    SetCursor(m_hoverCursor.Get());
    return TRUE;
}

BOOL CLinkLabel::PreTranslateMessage(MSG* pMsg) {
    if (m_tip.m_hWnd) m_tip.SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(pMsg));
    return CStatic::PreTranslateMessage(pMsg);
}

void CLinkLabel::OnClicked() {
    int result = OpenLink(m_url, SW_SHOW);
    m_visited = result > 32;
    if (result > 32) {
        MarkVisited(TRUE);
        return;
    }
    MessageBeep(MB_ICONEXCLAMATION);
    ShowOpenError(result);
}

void CLinkLabel::MarkVisited(BOOL bVisited) {
    m_visited = bVisited;
    if (::IsWindow(m_hWnd)) Invalidate(TRUE);
}

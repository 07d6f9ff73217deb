#pragma once
// A static text that looks and behaves like a web link: underlined, coloured by its state,
// its own pointer, a tooltip with its address, and a click that opens the address. As a tab
// stop it shows the focus rectangle and opens the address on Enter or Space.
// Attached to an existing static control (DDX_Control); set up entirely at attachment.
#include "platform/AfxWin.h"

class CLinkLabel : public CStatic {
public:
    CLinkLabel();
    ~CLinkLabel() override;

    // Set before the control is attached; taken from its text when empty.
    CString m_url;
    // Whether attaching shrinks the control to its text.
    BOOL m_fitToText = TRUE;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    void MarkVisited(BOOL bVisited);

    BOOL IsHovering() const { return m_hovering; }
    BOOL IsVisited() const { return m_visited; }
    COLORREF GetHoverColor() const { return m_hoverColor; }
    // The colour the text is painted in now, by state; in high contrast the system's colours.
    COLORREF GetTextColor(BOOL bHighContrast) const;
    HCURSOR GetHoverCursor() const { return m_hoverCursor.Get(); }
    HFONT GetLinkFont() const { return static_cast<HFONT>(m_linkFont.m_hObject); }
    CToolTipCtrl& GetToolTip() { return m_tip; }

protected:
    void PreSubclassWindow() override;

    void OnClicked();
    HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnCaptureChanged(CWnd* pWnd);
    LRESULT OnDpiChangedAfterParent(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);
    void OnPaint();
    LRESULT OnFocusChange(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetDlgCode(WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    COLORREF m_normalColor;   // not yet visited
    COLORREF m_visitedColor;  // visited
    COLORREF m_hoverColor;    // mouse over the label: the highlight colour at construction
    BOOL m_hovering = FALSE;  // the mouse is over the label, which holds the capture
    BOOL m_visited = FALSE;
    BOOL m_underline = TRUE;
    CFont m_linkFont;               // our own copy of the control's font
    HFONT m_hParentFont = nullptr;  // the parent's font when last looked at (not ours)
    BOOL m_bSettingOwnFont = FALSE;
    CCursorHandle m_hoverCursor;  // our own copy; empty when none could be had
    CToolTipCtrl m_tip;

    // Makes our underlined copy of hFont the control's font; the copy made before goes.
    void CopyFontWithUnderline(HFONT hFont);
    // Makes the control exactly as large as its text, keeping the side its alignment names.
    void FitToText();
    void MoveToolToClientArea();
    SIZE TextExtent(const std::wstring& text) const;
    void LoadLinkCursor();
    void Repaint();
    void PaintParentBackground(HDC hDC) const;
    bool ShowsFocus() const;
};

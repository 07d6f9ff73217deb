#pragma once
// The program's main window: two buttons that rename the files of a chosen directory to lower
// or upper case, "Rückgängig" (also Ctrl+Z), which takes the last run back, "Ende", the program icon and the maker's web address. Its system menu leads
// to the About box; its creation brings up the splash.
#include "hyperlink/CLinkLabel.h"
#include "platform/AfxWin.h"
#include "platform/CWindowIcons.h"
#include "renaming/CaseChange.h"

class CUmbrixDlg : public CDialog {
public:
    explicit CUmbrixDlg(CWnd* pParent = nullptr);

    // Where the minimised dialog draws an icon of cxIcon x cyIcon: centred, rounding up odd
    // halves, in signed arithmetic so that an icon wider than the client area starts left of it.
    static CPoint IconPosition(const CRect& client, int cxIcon, int cyIcon);

    CLinkLabel m_link;
    HICON m_hIcon;                      // the standard-size icon: dragged and drawn while minimised
    CWindowIcons m_icons;               // the icon drawn for the window's DPI: caption, task bar, dialog
    NamePart m_part = NamePart::Whole;  // the part last chosen in a directory dialog

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void ShowAtDpi(UINT nDpi) override;
    // "Ende", Escape, the close box, Alt+F4 and the task manager's request to close.
    void OnCancel() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnLowerCase();
    void OnUpperCase();
    void OnUndo();
    LRESULT OnQueryEndSession(WPARAM wParam, LPARAM lParam);
    LRESULT OnEndSession(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void AddAboutItem();
    void PaintMinimised();
    void RunCaseRequest(CaseDirection direction);
    // Enabled exactly while the last run has a file to give back.
    void UpdateUndoButton();
};

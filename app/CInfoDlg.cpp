#include "app/CInfoDlg.h"

#include "res/resource.h"

BEGIN_MESSAGE_MAP(CInfoDlg, CDialog)
    ON_MESSAGE(WM_DPICHANGED, OnDpiChanged)
END_MESSAGE_MAP()

// No parent: the framework makes the main dialog its owner.
CInfoDlg::CInfoDlg() : CDialog(IDD_ABOUTBOX) {}

void CInfoDlg::DoDataExchange(CDataExchange* pDX) { DDX_Control(pDX, IDC_ABOUT_WEB_LINK, m_webLink); }

// The template's icon comes in the standard size of the system; this one is drawn for the
// window's DPI. The box has no caption icon of its own.
BOOL CInfoDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_icons.Show(this, MAKEINTRESOURCEA(IDR_MAINFRAME), AfxGetWindowDpi(m_hWnd), FALSE);
    return TRUE;
}

LRESULT CInfoDlg::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
    Default();
    UINT nDpi = AfxTakeDpiChange(m_hWnd, wParam, lParam);
    m_icons.Show(this, MAKEINTRESOURCEA(IDR_MAINFRAME), nDpi, FALSE);
    AfxNotifyChildrenOfDpiChange(m_hWnd);
    return 0;
}

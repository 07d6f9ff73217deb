#include "app/CInfoDlg.h"

#include "res/resource.h"

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

void CInfoDlg::ShowAtDpi(UINT nDpi) { m_icons.Show(this, MAKEINTRESOURCEA(IDR_MAINFRAME), nDpi, FALSE); }

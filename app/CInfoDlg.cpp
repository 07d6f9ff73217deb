#include "app/CInfoDlg.h"

#include "res/resource.h"

// No parent: the framework makes the main dialog its owner.
CInfoDlg::CInfoDlg() : CDialog(IDD_ABOUTBOX) {}

void CInfoDlg::DoDataExchange(CDataExchange* pDX) { DDX_Control(pDX, IDC_ABOUT_WEB_LINK, m_webLink); }

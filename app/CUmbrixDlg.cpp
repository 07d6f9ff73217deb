#include "app/CUmbrixDlg.h"

#include "app/CCaseRun.h"
#include "app/CInfoDlg.h"
#include "app/CSplashWindow.h"
#include "app/RenameFilesToCase.h"
#include "app/UndoLastRun.h"
#include "dirselect/CDirectoryDlg.h"
#include "res/resource.h"

// The platform uses the four low bits of system commands for itself, so the About command must
// leave them clear to be recognised in OnSysCommand.
static_assert((IDM_ABOUTBOX & 0x000F) == 0, "IDM_ABOUTBOX needs its low four bits clear");

BEGIN_MESSAGE_MAP(CUmbrixDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_WM_CREATE()
    ON_BN_CLICKED(IDC_TO_LOWER_CASE, OnLowerCase)
    ON_BN_CLICKED(IDC_TO_UPPER_CASE, OnUpperCase)
    ON_BN_CLICKED(IDC_UNDO, OnUndo)
    ON_MESSAGE(WM_QUERYENDSESSION, OnQueryEndSession)
    ON_MESSAGE(WM_ENDSESSION, OnEndSession)
END_MESSAGE_MAP()

CUmbrixDlg::CUmbrixDlg(CWnd* pParent) : CDialog(IDD_UMBRIX_DIALOG, pParent) {
    LPCSTR icon = MAKEINTRESOURCEA(IDR_MAINFRAME);
    // Loaded once, in the standard icon size; shared icons need no release.
    m_hIcon = LoadIconA(AfxFindResourceHandle(icon, RT_GROUP_ICON), icon);
}

CPoint CUmbrixDlg::IconPosition(const CRect& client, int cxIcon, int cyIcon) {
    return CPoint((client.Width() - cxIcon + 1) / 2, (client.Height() - cyIcon + 1) / 2);
}

void CUmbrixDlg::DoDataExchange(CDataExchange* pDX) { DDX_Control(pDX, IDC_WEB_LINK, m_link); }

BOOL CUmbrixDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    AddAboutItem();
    m_icons.Show(this, MAKEINTRESOURCEA(IDR_MAINFRAME), AfxGetWindowDpi(m_hWnd), TRUE);
    UpdateUndoButton();
    return TRUE;  // the focus goes to the first tab stop, "Ende"
}

void CUmbrixDlg::AddAboutItem() {
    CMenu* pSysMenu = GetSystemMenu(FALSE);
    CString strAboutMenu;
    strAboutMenu.LoadString(IDS_ABOUTBOX);
    if (!pSysMenu || strAboutMenu.IsEmpty()) return;
    pSysMenu->AppendMenu(MF_SEPARATOR);
    pSysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, strAboutMenu);
}

void CUmbrixDlg::OnSysCommand(UINT nID, LPARAM) {
    if ((nID & 0xFFF0) != IDM_ABOUTBOX) {  // the low four bits are the platform's
        Default();
        return;
    }
    CInfoDlg dlgAbout;
    dlgAbout.DoModal();
}

void CUmbrixDlg::OnPaint() {
    if (IsIconic())
        PaintMinimised();
    else
        Default();
}

void CUmbrixDlg::PaintMinimised() {
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC), 0);
    CRect rect;
    GetClientRect(&rect);
    CPoint at = IconPosition(rect, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
    dc.DrawIcon(at.x, at.y, m_hIcon);
}

HCURSOR CUmbrixDlg::OnQueryDragIcon() { return m_hIcon; }

int CUmbrixDlg::OnCreate(LPCREATESTRUCT) {
    if (Default() == -1) return -1;
    CSplashWindow::ShowSplash(this);
    return 0;
}

void CUmbrixDlg::ShowAtDpi(UINT nDpi) { m_icons.Show(this, MAKEINTRESOURCEA(IDR_MAINFRAME), nDpi, TRUE); }

void CUmbrixDlg::OnLowerCase() { RunCaseRequest(CaseDirection::Lower); }

void CUmbrixDlg::OnUpperCase() { RunCaseRequest(CaseDirection::Upper); }

// The dialog takes no input during a run, but a click sent to a button (BM_CLICK from an
// automation tool) still arrives: it starts nothing while a run lasts.
void CUmbrixDlg::RunCaseRequest(CaseDirection direction) {
    if (CCaseRun::Current()) return;
    CDirectoryDlg dlg(CaseChange(direction, m_part));
    INT_PTR nResult = dlg.DoModal();
    m_part = dlg.m_part;  // the choice stays for the next opening, as the directory does
    if (nResult != IDOK) return;
    RenameFilesToCase(CaseChange(direction, m_part), dlg.m_strDirectory, this);
    UpdateUndoButton();
}

// Ctrl+Z works only while the button does; the same guard against a click during a run.
void CUmbrixDlg::OnUndo() {
    if (CCaseRun::Current() || !::IsWindowEnabled(::GetDlgItem(m_hWnd, IDC_UNDO))) return;
    UndoLastRun(this);
    UpdateUndoButton();
}

void CUmbrixDlg::UpdateUndoButton() {
    HWND hUndo = ::GetDlgItem(m_hWnd, IDC_UNDO);
    bool bEnable = UndoOffered();
    // The focus must not stay on a button that goes grey: it moves on, as Tab would.
    if (!bEnable && ::GetFocus() == hUndo) ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, 0, FALSE);
    ::EnableWindow(hUndo, bEnable);
}

BOOL CUmbrixDlg::PreTranslateMessage(MSG* pMsg) {
    bool bCtrlZ = pMsg->message == WM_KEYDOWN && pMsg->wParam == 'Z' && (::GetKeyState(VK_CONTROL) & 0x8000) &&
                  !(::GetKeyState(VK_MENU) & 0x8000) && (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd));
    if (!bCtrlZ) return CDialog::PreTranslateMessage(pMsg);
    OnUndo();
    return TRUE;
}

// Closed during a run: the run stops after the file in hand, brings back what waits, and the
// dialog ends once it has (its loop goes on until the run's handler returns).
void CUmbrixDlg::OnCancel() {
    if (CCaseRun* pRun = CCaseRun::Current()) pRun->StopForProgramEnd();
    CDialog::OnCancel();
}

// The session may end as soon as the answer is given: no file may then stay under a waiting name.
LRESULT CUmbrixDlg::OnQueryEndSession(WPARAM, LPARAM) {
    if (CCaseRun* pRun = CCaseRun::Current()) pRun->StopForProgramEndAndWait();
    return TRUE;
}

LRESULT CUmbrixDlg::OnEndSession(WPARAM wParam, LPARAM) {
    if (!wParam) return 0;
    if (CCaseRun* pRun = CCaseRun::Current()) pRun->StopForProgramEndAndWait();
    EndDialog(IDCANCEL);
    return 0;
}

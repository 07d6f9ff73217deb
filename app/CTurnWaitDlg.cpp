#include "app/CTurnWaitDlg.h"

#include "res/resource.h"

#include <utility>

namespace {

const UINT_PTR kAskTimer = 1;
// Often enough that the next run follows at once; the question costs one open of a small file.
const UINT kAskInterval = 100;

CTurnWaitDlg*& CurrentWait() {
    thread_local CTurnWaitDlg* s_pWait = nullptr;
    return s_pWait;
}

}  // namespace

BEGIN_MESSAGE_MAP(CTurnWaitDlg, CDialog)
    ON_WM_TIMER()
    ON_MESSAGE(WM_ENDSESSION, OnEndSession)
END_MESSAGE_MAP()

CTurnWaitDlg::CTurnWaitDlg(std::wstring folder, CWnd* pParent, std::wstring handoverKind)
    : CDialog(IDD_PROGRESS, pParent),
      m_strFolder(std::move(folder)),
      m_strKind(std::move(handoverKind)),
      m_pOuter(std::exchange(CurrentWait(), this)) {}

CTurnWaitDlg::~CTurnWaitDlg() { CurrentWait() = m_pOuter; }

CTurnWaitDlg* CTurnWaitDlg::Current() { return CurrentWait(); }

std::wstring CTurnWaitDlg::WaitingText(const std::wstring& directory) {
    if (directory.empty()) return AfxToWide("Wartet auf die laufende Umbenennung \x85");
    return AfxToWide("Wartet auf die laufende Umbenennung in ") + directory + AfxToWide(" \x85");
}

BOOL CTurnWaitDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // Nothing of this copy's own run is under way yet: no bar, no count.
    ::ShowWindow(::GetDlgItem(m_hWnd, IDC_PROGRESS_BAR), SW_HIDE);
    ShowWhoRuns();
    SetTimer(kAskTimer, kAskInterval);
    return TRUE;  // the focus goes to "Abbrechen"
}

void CTurnWaitDlg::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent != kAskTimer || m_turn) return;
    m_turn = CRunTurn::TryTake(m_strFolder);
    if (m_turn || ShowWhoRuns()) {
        KillTimer(kAskTimer);
        EndDialog(m_turn ? IDOK : IDRETRY);
    }
}

// Closed by the session's end: there is nothing of ours to stop, only the wait.
LRESULT CTurnWaitDlg::OnEndSession(WPARAM wParam, LPARAM) {
    if (wParam) EndDialog(IDCANCEL);
    return 0;
}

// The other copy moves from folder to folder; a notice not readable this moment keeps the text.
bool CTurnWaitDlg::ShowWhoRuns() {
    std::optional<RunTurnNotice> notice = ReadRunTurnNotice(m_strFolder);
    if (!m_bShown || (notice && notice->directory != m_strShown)) {
        m_strShown = notice ? notice->directory : std::wstring();
        m_bShown = true;
        ::SetDlgItemTextW(m_hWnd, IDC_PROGRESS_ACTION, WaitingText(m_strShown).c_str());
    }
    return notice && !m_strKind.empty() && notice->handoverKind == m_strKind;
}

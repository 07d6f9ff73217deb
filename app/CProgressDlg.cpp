#include "app/CProgressDlg.h"

#include "dirselect/FileCountText.h"
#include "platform/AfxDpi.h"
#include "platform/GermanCount.h"
#include "res/resource.h"

#include <commctrl.h>

#include <utility>

namespace {

const UINT_PTR kShowTimer = 1;
// 20 times a second: smooth to the eye, and nothing like the pace at which files can go.
const UINT kShowInterval = 50;

}  // namespace

BEGIN_MESSAGE_MAP(CProgressDlg, CDialog)
    ON_WM_TIMER()
    ON_MESSAGE(WM_QUERYENDSESSION, OnQueryEndSession)
END_MESSAGE_MAP()

CProgressDlg::CProgressDlg(CCaseRun& run, CString action, std::wstring directory, CTaskbarProgress& taskbar,
                           CWnd* pParent)
    : CDialog(IDD_PROGRESS, pParent),
      m_run(run),
      m_strAction(std::move(action)),
      m_strDirectory(std::move(directory)),
      m_taskbar(taskbar) {}

CString CProgressDlg::CountText(size_t nDone, size_t nTotal) {
    return GermanCount(nDone) + " von " + GermanCount(nTotal) + (nTotal == 1 ? " Datei" : " Dateien");
}

CString CProgressDlg::ActionText(const CaseChange& change) {
    if (change.part == NamePart::Whole)
        return change.direction == CaseDirection::Lower ? "Dateien werden in kleine Dateinamen umbenannt:"
                                                        : "Dateien werden in gro\xDF" "e Dateinamen umbenannt:";
    CString what = change.part == NamePart::Extension ? "Dateiendungen" : "Dateinamen ohne Endung";
    return what + " werden in " + CaseLettersText(change.direction) + " umbenannt:";
}

CString CProgressDlg::UndoActionText() { return "Fr\xFChere Namen werden wiederhergestellt:"; }

BOOL CProgressDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // With no window over which it opens (a run from the command line), the progress window is
    // the program's one window: its own task-bar button shows the progress.
    if (!::GetWindow(m_hWnd, GW_OWNER)) m_taskbar.ShowOn(m_hWnd);
    SetItemText(IDC_PROGRESS_ACTION, AfxToWide(m_strAction));
    SetItemText(IDC_PROGRESS_DIRECTORY, m_strDirectory);
    ShowCount();
    SetTimer(kShowTimer, kShowInterval);
    return TRUE;  // the focus goes to "Abbrechen"
}

// The window stays until the run has ended: it is the user's sign that files are still moving.
void CProgressDlg::OnCancel() {
    if (m_bStopping) return;
    m_bStopping = true;
    m_run.RequestStop();
    SetItemText(IDC_PROGRESS_ACTION, AfxToWide("Das Umbenennen wird abgebrochen \x85"));
    m_taskbar.ShowStopping();
}

// Waits for the next message or for the run's end, which closes the window.
AfxFetched CProgressDlg::FetchModalMessage(MSG& msg) {
    for (;;) {
        switch (AfxWaitForMessageOrObject(msg, m_bRunEnded ? nullptr : m_run.EndedHandle(), INFINITE)) {
        case AfxWaited::Message:
            return AfxFetched::Message;
        case AfxWaited::Quit:
            return AfxFetched::Quit;
        case AfxWaited::Failed:
            return AfxFetched::Failed;
        case AfxWaited::Signalled:
            m_bRunEnded = true;
            EndDialog(IDOK);  // posts the message that ends the loop
            break;
        case AfxWaited::TimedOut:
            break;
        }
    }
}

void CProgressDlg::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == kShowTimer) ShowCount();
}

LRESULT CProgressDlg::OnQueryEndSession(WPARAM, LPARAM) {
    m_run.StopForProgramEndAndWait();
    return TRUE;
}

// Only what changed is drawn again, so a slow run costs no drawing at all.
void CProgressDlg::ShowCount() {
    size_t nTotal = m_run.Control().nTotal.load();
    size_t nDone = m_run.Control().nDone.load();
    if (m_bShown && nDone == m_nShownDone && nTotal == m_nShownTotal) return;
    HWND hBar = ::GetDlgItem(m_hWnd, IDC_PROGRESS_BAR);
    // A new range redraws the whole bar, so it is set only when the total changes.
    if (!m_bShown || nTotal != m_nShownTotal) ::SendMessageW(hBar, PBM_SETRANGE32, 0, static_cast<LPARAM>(nTotal));
    m_bShown = true;
    m_nShownDone = nDone;
    m_nShownTotal = nTotal;
    // Until the listing is read, the run does not know how many files there are.
    SetItemText(IDC_PROGRESS_COUNT,
                AfxToWide(nTotal == 0 ? CString("Das Verzeichnis wird gelesen \x85") : CountText(nDone, nTotal)));
    ::SendMessageW(hBar, PBM_SETPOS, static_cast<WPARAM>(nDone), 0);
    m_taskbar.Show(nDone, nTotal);
}

void CProgressDlg::SetItemText(int nID, const std::wstring& text) { ::SetDlgItemTextW(m_hWnd, nID, text.c_str()); }

#include "app/CProgressDlg.h"

#include "app/RunFolders.h"
#include "app/RunWatch.h"
#include "dirselect/FileCountText.h"
#include "platform/AfxDpi.h"
#include "platform/GermanCount.h"
#include "res/resource.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

namespace {

const UINT_PTR kShowTimer = 1;
// 12.5 times a second: the count never lags a tenth of a second behind the files. Each drawing
// costs the platform's server and display about as much as a few renames, and the renames wait
// for the same server: the bar is drawn again only where its filled part grows by a pixel, the
// task-bar button for each percent.
const UINT kShowInterval = 80;

// nDone of nTotal in nSteps steps of the whole.
size_t StepsDone(size_t nDone, size_t nTotal, size_t nSteps) { return nTotal == 0 ? 0 : nDone * nSteps / nTotal; }

}  // namespace

BEGIN_MESSAGE_MAP(CProgressDlg, CDialog)
    ON_WM_TIMER()
    ON_MESSAGE(WM_QUERYENDSESSION, OnQueryEndSession)
END_MESSAGE_MAP()

CProgressDlg::CProgressDlg(CCaseRun& run, CString action, std::wstring directory, CTaskbarProgress& taskbar,
                           CWnd* pParent, const CRunFolders* pFolders)
    : CDialog(IDD_PROGRESS, pParent),
      m_run(run),
      m_strAction(std::move(action)),
      m_strDirectory(std::move(directory)),
      m_taskbar(taskbar),
      m_pFolders(pFolders) {}

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
    ShowFolder();
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
    if (nIDEvent != kShowTimer) return;
    ShowFolder();
    ShowCount();
}

LRESULT CProgressDlg::OnQueryEndSession(WPARAM, LPARAM) {
    m_run.StopForProgramEndAndWait();
    return TRUE;
}

// Folders are handed over while the run lasts: a run that has one names no number.
void CProgressDlg::ShowFolder() {
    if (!m_pFolders) return;
    size_t nFolders = m_pFolders->Count();
    size_t nFolder = m_pFolders->Position();
    if (nFolders < 2 || nFolder == 0 || (nFolder == m_nShownFolder && nFolders == m_nShownFolders)) return;
    m_nShownFolder = nFolder;
    m_nShownFolders = nFolders;
    SetItemText(IDC_PROGRESS_DIRECTORY, FolderHeading(nFolder, nFolders) + m_pFolders->Directory(nFolder - 1));
}

// Only what changed is drawn again, so a slow run costs little drawing.
void CProgressDlg::ShowCount() {
    size_t nTotal = m_run.Control().nTotal.load();
    size_t nDone = m_run.Control().nDone.load();
    if (m_bShown && nDone == m_nShownDone && nTotal == m_nShownTotal) return;
    bool bNewTotal = !m_bShown || nTotal != m_nShownTotal;
    m_bShown = true;
    m_nShownDone = nDone;
    m_nShownTotal = nTotal;
    // Until the listing is read, the run does not know how many files there are.
    SetItemText(IDC_PROGRESS_COUNT,
                AfxToWide(nTotal == 0 ? CString("Das Verzeichnis wird gelesen \x85") : CountText(nDone, nTotal)));
    ShowBars(nDone, nTotal, bNewTotal);
}

void CProgressDlg::ShowBars(size_t nDone, size_t nTotal, bool bNewTotal) {
    HWND hBar = ::GetDlgItem(m_hWnd, IDC_PROGRESS_BAR);
    // A new range redraws the whole bar, so it is set only when the total changes.
    if (bNewTotal) ::SendMessageW(hBar, PBM_SETRANGE32, 0, static_cast<LPARAM>(nTotal));
    RECT bar{};
    ::GetClientRect(hBar, &bar);
    size_t nFill = StepsDone(nDone, nTotal, static_cast<size_t>(std::max(0L, bar.right - bar.left)));
    if (bNewTotal || nFill != m_nShownFill) ::SendMessageW(hBar, PBM_SETPOS, static_cast<WPARAM>(nDone), 0);
    m_nShownFill = nFill;
    size_t nPercent = StepsDone(nDone, nTotal, 100);
    if (bNewTotal || nPercent != m_nShownPercent) m_taskbar.Show(nDone, nTotal);
    m_nShownPercent = nPercent;
}

void CProgressDlg::SetItemText(int nID, const std::wstring& text) { ::SetDlgItemTextW(m_hWnd, nID, text.c_str()); }

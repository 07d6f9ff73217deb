#include "app/RunWatch.h"

#include "app/CCaseRun.h"
#include "app/CProgressDlg.h"
#include "app/CTaskbarProgress.h"
#include "platform/CWnd.h"
#include "platform/GermanCount.h"

#include <algorithm>

namespace {

const size_t kMaxNamedFiles = 20;
// A run that ends sooner shows no progress window at all, rather than one that flashes.
const DWORD kQuietRunTime = 500;

// The window takes no input while a run lasts, so that no second run can start; it goes on
// painting and answering. The focus comes back to where it was.
class CInputPause {
public:
    explicit CInputPause(HWND hWnd) : m_hWnd(hWnd && ::IsWindowEnabled(hWnd) ? hWnd : nullptr) {
        if (!m_hWnd) return;
        m_hFocus = ::GetFocus();
        ::EnableWindow(m_hWnd, FALSE);
    }
    ~CInputPause() {
        if (!m_hWnd || !::IsWindow(m_hWnd)) return;
        ::EnableWindow(m_hWnd, TRUE);
        if (m_hFocus && ::IsChild(m_hWnd, m_hFocus)) ::SetFocus(m_hFocus);
    }
    CInputPause(const CInputPause&) = delete;
    CInputPause& operator=(const CInputPause&) = delete;

private:
    HWND m_hWnd;
    HWND m_hFocus = nullptr;
};

}  // namespace

// Half a second in silence; then the progress window, modal over the main window, until the
// run has ended. A quiet run stays silent to its end.
void WatchRun(CCaseRun& run, const CString& action, const std::wstring& directory, CWnd* pOwner, RunDisplay display,
              const CRunFolders* pFolders) {
    HWND hMain = pOwner ? pOwner->m_hWnd : nullptr;
    if (display == RunDisplay::Quiet) {
        run.PumpUntilEnded(INFINITE);
        return;
    }
    {
        CInputPause pause(hMain);
        if (run.PumpUntilEnded(kQuietRunTime)) return;
    }
    CTaskbarProgress taskbar(hMain);
    CProgressDlg dlg(run, action, directory, taskbar, pOwner, pFolders);
    dlg.DoModal();
    // The window went first (the program is being closed) or could not be shown.
    if (run.HasEnded()) return;
    CInputPause pause(hMain);
    run.PumpUntilEnded(INFINITE);
}

std::wstring FolderHeading(size_t nFolder, size_t nFolders) {
    return AfxToWide("Ordner " + GermanCount(nFolder) + " von " + GermanCount(nFolders) + ": ");
}

// The names as the disk spells them, in any script, sorted; a box names at most kMaxNamedFiles.
std::wstring KeptFilesList(std::vector<std::wstring> kept, const char* pszHeading, RunDisplay display) {
    std::sort(kept.begin(), kept.end());
    size_t nNamed = display == RunDisplay::Quiet ? kept.size() : std::min(kept.size(), kMaxNamedFiles);
    std::wstring text = AfxToWide(pszHeading);
    for (size_t i = 0; i < nNamed; ++i) text += L"\n" + kept[i];
    if (kept.size() > nNamed) text += AfxToWide("\n\x85 und " + GermanCount(kept.size() - nNamed) + " weitere");
    return text;
}

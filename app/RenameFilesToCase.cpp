#include "app/RenameFilesToCase.h"

#include "app/CCaseRun.h"
#include "app/CProgressDlg.h"
#include "app/CTaskbarProgress.h"
#include "filesystem/CurrentDirectory.h"
#include "filesystem/ExtendedPath.h"
#include "platform/AfxMessageBox.h"
#include "platform/CWinThread.h"
#include "platform/GermanCount.h"
#include "platform/SystemError.h"
#include "wine/WineHost.h"

#include <algorithm>

namespace {

const size_t kMaxNamedFiles = 20;
// A run that ends sooner shows no progress window at all, rather than one that flashes.
const DWORD kQuietRunTime = 500;

const char* FinalMessage(CaseDirection direction) {
    return direction == CaseDirection::Lower ? "Ok, alle Dateien in kleinbuchstaben umbenannt."
                                             : "Ok, alle Dateien in GROSSBUCHSTABEN umbenannt.";
}

bool EnterDirectory(const std::wstring& directory) {
    if (AfxSetCurrentDirectory(directory)) return true;
    AfxShowSystemError(GetActiveWindow(), "GetLastError - SetCurrentDirectory failed", GetLastError());
    return false;
}

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

// Half a second in silence; then the progress window, modal over the main window, until the
// run has ended. A quiet run stays silent to its end.
void WatchRun(CCaseRun& run, CaseDirection direction, const std::wstring& directory, CWnd* pOwner, RunDisplay display) {
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
    CProgressDlg dlg(run, direction, directory, taskbar, pOwner);
    dlg.DoModal();
    // The window went first (the program is being closed) or could not be shown.
    if (run.HasEnded()) return;
    CInputPause pause(hMain);
    run.PumpUntilEnded(INFINITE);
}

// The names as the disk spells them, in any script, sorted, at most kMaxNamedFiles of them.
std::wstring KeptFilesList(std::vector<std::wstring> kept) {
    std::sort(kept.begin(), kept.end());
    std::wstring text = AfxToWide("Diese Dateien behalten ihren Namen:");
    for (size_t i = 0; i < kept.size() && i < kMaxNamedFiles; ++i) text += L"\n" + kept[i];
    if (kept.size() > kMaxNamedFiles)
        text += AfxToWide("\n\x85 und " + GermanCount(kept.size() - kMaxNamedFiles) + " weitere");
    return text;
}

void ReportKeptFiles(std::vector<std::wstring> kept) {
    std::wstring text = AfxToWide("Nicht alle Dateien wurden umbenannt. ") + KeptFilesList(std::move(kept));
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION, 0);
}

CString RenamedText(CaseDirection direction, size_t nRenamed) {
    CString target = direction == CaseDirection::Lower ? "kleine" : "gro\xDF" "e";
    if (nRenamed == 0) return "Keine Datei wurde umbenannt.";
    CString count = nRenamed == 1 ? CString("1 Datei wurde") : GermanCount(nRenamed) + " Dateien wurden";
    return count + " in " + target + " Dateinamen umbenannt.";
}

void ReportStoppedRun(CaseDirection direction, const CaseRunOutcome& outcome) {
    std::wstring text = AfxToWide("Das Umbenennen wurde abgebrochen. " + RenamedText(direction, outcome.nRenamed));
    if (!outcome.kept.empty()) text += L"\n\n" + KeptFilesList(outcome.kept);
    AfxMessageBox(text, MB_OK | MB_ICONINFORMATION, 0);
}

}  // namespace

RunEnd RenameFilesToCase(CaseDirection direction, const std::wstring& chosenPath, CWnd* pOwner, RunDisplay display) {
    if (!pOwner) pOwner = AfxGetThread()->GetMainWnd();
    // "X:" alone would mean the drive's remembered directory; the user chose its root.
    std::wstring directory = chosenPath.size() == 2 ? chosenPath + L"\\" : chosenPath;
    if (!EnterDirectory(directory)) return RunEnd::NothingDone;
    // The path as chosen, not as the current directory: that one may have been kept aside.
    CCaseRun run(direction, wine::ExactPath(directory));
    WatchRun(run, direction, directory, pOwner, display);
    if (run.IsProgramEnding()) return RunEnd::Stopped;  // no one is left to read a box
    const CaseRunOutcome& outcome = run.Outcome();
    // Outside a drive's root the listing always holds "." and "..", so only a root is empty.
    bool bDriveRoot = directory.size() == 3;
    if (!outcome.bListed || (outcome.nEntries == 0 && bDriveRoot)) {
        AfxMessageBox("Keine Dateien im gew\xE4hlten Verzeichnis!", MB_OK, 0);
        return outcome.bListed ? RunEnd::AllInCase : RunEnd::NothingDone;
    }
    if (outcome.bStopped) {
        ReportStoppedRun(direction, outcome);
        return RunEnd::Stopped;
    }
    if (outcome.kept.empty()) {
        AfxMessageBox(FinalMessage(direction), MB_OK, 0);
        return RunEnd::AllInCase;
    }
    ReportKeptFiles(outcome.kept);
    return RunEnd::SomeKept;
}

#include "app/RenameFilesToCase.h"

#include "app/CCaseRun.h"
#include "app/CProgressDlg.h"
#include "app/CTaskbarProgress.h"
#include "app/RunJournalPlace.h"
#include "filesystem/CurrentDirectory.h"
#include "filesystem/ExtendedPath.h"
#include "platform/AfxMessageBox.h"
#include "platform/CWinThread.h"
#include "platform/GermanCount.h"
#include "platform/SystemError.h"
#include "wine/WineHost.h"

#include <algorithm>
#include <optional>

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
void WatchRun(CCaseRun& run, const CString& action, const std::wstring& directory, CWnd* pOwner,
              RunDisplay display = RunDisplay::Windows) {
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
    CProgressDlg dlg(run, action, directory, taskbar, pOwner);
    dlg.DoModal();
    // The window went first (the program is being closed) or could not be shown.
    if (run.HasEnded()) return;
    CInputPause pause(hMain);
    run.PumpUntilEnded(INFINITE);
}

// The names as the disk spells them, in any script, sorted, at most kMaxNamedFiles of them.
std::wstring KeptFilesList(std::vector<std::wstring> kept, const char* pszHeading = "Diese Dateien behalten ihren Namen:") {
    std::sort(kept.begin(), kept.end());
    std::wstring text = AfxToWide(pszHeading);
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
    std::wstring journalPath = RunJournalPath();
    std::optional<CRunJournalWriter> journal;
    if (!journalPath.empty()) journal.emplace(journalPath, directory);
    CCaseRun run(direction, wine::ExactPath(directory), journal ? &*journal : nullptr);
    WatchRun(run, CProgressDlg::ActionText(direction), directory, pOwner, display);
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

namespace {

const char kUndoQuestion[] = "Die letzte Umbenennung r\xFC" "ckg\xE4ngig machen?";

CString FilesGetBackText(size_t nFiles) {
    if (nFiles == 1) return "1 Datei erh\xE4lt ihren fr\xFCheren Namen zur\xFC" "ck.";
    return GermanCount(nFiles) + " Dateien erhalten ihre fr\xFCheren Namen zur\xFC" "ck.";
}

CString FilesHaveBackText(size_t nFiles) {
    if (nFiles == 0) return "Keine Datei hat ihren fr\xFCheren Namen zur\xFC" "ck.";
    if (nFiles == 1) return "1 Datei hat ihren fr\xFCheren Namen zur\xFC" "ck.";
    return GermanCount(nFiles) + " Dateien haben ihre fr\xFCheren Namen zur\xFC" "ck.";
}

bool ConfirmUndo(const RunJournal& journal, size_t nFiles) {
    std::wstring text = AfxToWide(kUndoQuestion) + L"\n\n" + journal.shownDirectory + L"\n" +
                        AfxToWide(FilesGetBackText(nFiles));
    return AfxMessageBox(text, MB_YESNO | MB_ICONQUESTION, 0) == IDYES;
}

void ReportUndo(const RunJournal& journal, const CaseRunOutcome& outcome) {
    const char kHeading[] = "Diese Dateien bleiben, wie sie sind:";
    if (!outcome.bListed) {
        std::wstring text = AfxToWide("Das Verzeichnis ist nicht erreichbar:\n") + journal.shownDirectory +
                            AfxToWide("\n\nDie letzte Umbenennung kann r\xFC" "ckg\xE4ngig gemacht werden, sobald es "
                                      "wieder erreichbar ist.");
        AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION, 0);
    } else if (outcome.bStopped) {
        std::wstring text =
            AfxToWide("Das R\xFC" "ckg\xE4ngigmachen wurde abgebrochen. " + FilesHaveBackText(outcome.nRenamed));
        if (!outcome.kept.empty()) text += L"\n\n" + KeptFilesList(outcome.kept, kHeading);
        AfxMessageBox(text, MB_OK | MB_ICONINFORMATION, 0);
    } else if (outcome.kept.empty()) {
        AfxMessageBox("Ok, alle Dateien haben ihre fr\xFCheren Namen zur\xFC" "ck.", MB_OK, 0);
    } else {
        std::wstring text = AfxToWide("Nicht alle Dateien haben ihre fr\xFCheren Namen zur\xFC" "ck. ") +
                            KeptFilesList(outcome.kept, kHeading);
        AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION, 0);
    }
}

// What the undo leaves for later: the files a stop left untried. A directory that could not be
// read keeps the journal whole, and so does a journal that another copy of the program wrote
// meanwhile, which is then the last run's.
void KeepWhatIsLeft(const std::wstring& path, const std::optional<FileIdentity>& before, RunJournal journal,
                    const CaseRunOutcome& outcome) {
    if (!outcome.bListed || IdentityOf(path) != before) return;
    journal.entries = outcome.unreached;
    ReplaceRunJournal(path, journal);
}

}  // namespace

// Without a look at the disk, which may be slow or gone: the question looks before it asks.
size_t FilesToGiveBack() {
    std::wstring path = RunJournalPath();
    if (path.empty()) return 0;
    JournalReading reading = ReadRunJournal(path);
    return reading.state == JournalState::Trusted ? reading.journal.entries.size() : 0;
}

void UndoLastRun(CWnd* pOwner) {
    if (!pOwner) pOwner = AfxGetThread()->GetMainWnd();
    std::wstring path = RunJournalPath();
    if (path.empty()) return;
    std::optional<FileIdentity> before = IdentityOf(path);
    JournalReading reading = ReadRunJournal(path);
    if (reading.state != JournalState::Trusted || reading.journal.entries.empty()) return;
    const RunJournal& journal = reading.journal;
    // A run that was ended has a journal that may name files it never reached.
    size_t nFiles = FilesStillRenamed(journal);
    if (nFiles == 0) {
        RemoveRunJournal(path);
        return;
    }
    if (!ConfirmUndo(journal, nFiles)) return;
    CCaseRun run([&journal](CaseRunControl& control) { return RestoreEarlierNames(journal, &control); });
    WatchRun(run, CProgressDlg::UndoActionText(), journal.shownDirectory, pOwner);
    const CaseRunOutcome& outcome = run.Outcome();
    KeepWhatIsLeft(path, before, journal, outcome);
    if (run.IsProgramEnding()) return;  // no one is left to read a box
    ReportUndo(journal, outcome);
}

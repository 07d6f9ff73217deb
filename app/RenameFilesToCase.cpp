#include "app/RenameFilesToCase.h"

#include "app/CCaseRun.h"
#include "app/CProgressDlg.h"
#include "app/RunJournalPlace.h"
#include "app/RunWatch.h"
#include "dirselect/FileCountText.h"
#include "filesystem/CurrentDirectory.h"
#include "filesystem/ExtendedPath.h"
#include "platform/AfxMessageBox.h"
#include "platform/CWinThread.h"
#include "platform/GermanCount.h"
#include "platform/SystemError.h"
#include "wine/WineHost.h"

#include <optional>

namespace {

CString FinalMessage(const CaseChange& change) {
    switch (change.part) {
    case NamePart::Extension:
        return "Ok, alle Dateiendungen in " + CaseLettersText(change.direction) + " umbenannt.";
    case NamePart::Stem:
        return "Ok, alle Dateinamen ohne Endung in " + CaseLettersText(change.direction) + " umbenannt.";
    case NamePart::Whole:
        break;
    }
    return change.direction == CaseDirection::Lower ? "Ok, alle Dateien in kleinbuchstaben umbenannt."
                                                    : "Ok, alle Dateien in GROSSBUCHSTABEN umbenannt.";
}

bool EnterDirectory(const std::wstring& directory) {
    if (AfxSetCurrentDirectory(directory)) return true;
    AfxShowSystemError(GetActiveWindow(), "GetLastError - SetCurrentDirectory failed", GetLastError());
    return false;
}

void ReportKeptFiles(std::vector<std::wstring> kept) {
    std::wstring text = AfxToWide("Nicht alle Dateien wurden umbenannt. ") + KeptFilesList(std::move(kept));
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION, 0);
}

CString RenamedText(const CaseChange& change, size_t nRenamed) {
    if (nRenamed == 0) return "Keine Datei wurde umbenannt.";
    CString files = nRenamed == 1 ? CString("1 Datei") : GermanCount(nRenamed) + " Dateien";
    if (change.part != NamePart::Whole) {
        CString what = change.part == NamePart::Extension ? "die Endung" : "der Name ohne Endung";
        return "Bei " + files + " wurde " + what + " in " + CaseLettersText(change.direction) + " umbenannt.";
    }
    CString target = change.direction == CaseDirection::Lower ? "kleine" : "gro\xDF" "e";
    return files + (nRenamed == 1 ? " wurde" : " wurden") + " in " + target + " Dateinamen umbenannt.";
}

void ReportStoppedRun(const CaseChange& change, const CaseRunOutcome& outcome) {
    std::wstring text = AfxToWide("Das Umbenennen wurde abgebrochen. " + RenamedText(change, outcome.nRenamed));
    if (!outcome.kept.empty()) text += L"\n\n" + KeptFilesList(outcome.kept);
    AfxMessageBox(text, MB_OK | MB_ICONINFORMATION, 0);
}

}  // namespace

RunEnd RenameFilesToCase(const CaseChange& change, const std::wstring& chosenPath, CWnd* pOwner, RunDisplay display) {
    if (!pOwner) pOwner = AfxGetThread()->GetMainWnd();
    // "X:" alone would mean the drive's remembered directory; the user chose its root.
    std::wstring directory = chosenPath.size() == 2 ? chosenPath + L"\\" : chosenPath;
    if (!EnterDirectory(directory)) return RunEnd::NothingDone;
    // The path as chosen, not as the current directory: that one may have been kept aside.
    std::wstring journalPath = RunJournalPath();
    std::optional<CRunJournalWriter> journal;
    if (!journalPath.empty()) journal.emplace(journalPath, directory);
    CCaseRun run(change, wine::ExactPath(directory), journal ? &*journal : nullptr);
    WatchRun(run, CProgressDlg::ActionText(change), directory, pOwner, display);
    if (run.IsProgramEnding()) return RunEnd::Stopped;  // no one is left to read a box
    const CaseRunOutcome& outcome = run.Outcome();
    // Outside a drive's root the listing always holds "." and "..", so only a root is empty.
    bool bDriveRoot = directory.size() == 3;
    if (!outcome.bListed || (outcome.nEntries == 0 && bDriveRoot)) {
        AfxMessageBox("Keine Dateien im gew\xE4hlten Verzeichnis!", MB_OK, 0);
        return outcome.bListed ? RunEnd::AllInCase : RunEnd::NothingDone;
    }
    if (outcome.bStopped) {
        ReportStoppedRun(change, outcome);
        return RunEnd::Stopped;
    }
    if (outcome.kept.empty()) {
        AfxMessageBox(FinalMessage(change), MB_OK, 0);
        return RunEnd::AllInCase;
    }
    ReportKeptFiles(outcome.kept);
    return RunEnd::SomeKept;
}

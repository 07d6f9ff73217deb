#include "app/RenameFilesToCase.h"

#include "app/CCaseRun.h"
#include "app/CProgressDlg.h"
#include "app/RunRecording.h"
#include "app/RunWatch.h"
#include "dirselect/FileCountText.h"
#include "filesystem/CurrentDirectory.h"
#include "filesystem/ExtendedPath.h"
#include "filesystem/SystemErrorText.h"
#include "platform/AfxMessageBox.h"
#include "platform/CWinThread.h"
#include "platform/GermanCount.h"
#include "platform/SystemError.h"
#include "wine/WineHost.h"

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

// An unrecorded run's end box says that it cannot be taken back.
std::wstring WithRecordLine(std::wstring text, bool bUnrecorded) {
    if (bUnrecorded) text += L"\n\n" + AfxToWide(CRunRecording::UnrecordedLine());
    return text;
}

void ReportKeptFiles(std::vector<std::wstring> kept, bool bUnrecorded) {
    std::wstring text = AfxToWide("Nicht alle Dateien wurden umbenannt. ") + KeptFilesList(std::move(kept));
    AfxMessageBox(WithRecordLine(text, bUnrecorded), MB_OK | MB_ICONEXCLAMATION, 0);
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

void ReportStoppedRun(const CaseChange& change, const CaseRunOutcome& outcome, bool bUnrecorded) {
    std::wstring text = AfxToWide("Das Umbenennen wurde abgebrochen. " + RenamedText(change, outcome.nRenamed));
    if (!outcome.kept.empty()) text += L"\n\n" + KeptFilesList(outcome.kept);
    AfxMessageBox(WithRecordLine(text, bUnrecorded), MB_OK | MB_ICONINFORMATION, 0);
}

// Stopped before the first file its journal could not record: what was renamed stays undoable.
void ReportJournalStop(const CaseChange& change, const CaseRunOutcome& outcome) {
    std::wstring text = AfxToWide("Angehalten: das Journal kann nicht weitergeschrieben werden (") +
                        outcome.journalFault.Reason() + L"). " + AfxToWide(RenamedText(change, outcome.nRenamed));
    if (!outcome.kept.empty()) text += L"\n\n" + KeptFilesList(outcome.kept);
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION, 0);
}

void ReportUnreadable(const std::wstring& directory, DWORD dwError) {
    std::wstring text = AfxToWide("Verzeichnis nicht lesbar: ") + AfxSystemReason(dwError) + L"\n" + directory;
    AfxMessageBox(text, MB_OK | MB_ICONHAND, 0);
}

}  // namespace

RunEnd RenameFilesToCase(const CaseChange& change, const std::wstring& chosenPath, CWnd* pOwner, RunDisplay display) {
    if (!pOwner) pOwner = AfxGetThread()->GetMainWnd();
    // "X:" alone would mean the drive's remembered directory; the user chose its root.
    std::wstring directory = chosenPath.size() == 2 ? chosenPath + L"\\" : chosenPath;
    if (!EnterDirectory(directory)) return RunEnd::NothingDone;
    // No file is renamed without its record, unless the user agrees.
    CRunRecording recording(display);
    if (!recording.MayRun()) return RunEnd::NothingDone;
    bool bUnrecorded = recording.Unrecorded();
    // The path as chosen, not as the current directory: that one may have been kept aside.
    CCaseRun run(change, wine::ExactPath(directory), recording.Writer(), directory);
    WatchRun(run, CProgressDlg::ActionText(change), directory, pOwner, display);
    if (run.IsProgramEnding()) return RunEnd::Stopped;  // no one is left to read a box
    const CaseRunOutcome& outcome = run.Outcome();
    if (outcome.listingError != ERROR_SUCCESS) {
        ReportUnreadable(directory, outcome.listingError);
        return RunEnd::NothingDone;
    }
    // Outside a drive's root the listing always holds "." and "..", so only a root is empty.
    bool bDriveRoot = directory.size() == 3;
    if (!outcome.bListed || (outcome.nEntries == 0 && bDriveRoot)) {
        AfxMessageBox("Keine Dateien im gew\xE4hlten Verzeichnis!", MB_OK, 0);
        return outcome.bListed ? RunEnd::AllInCase : RunEnd::NothingDone;
    }
    if (outcome.journalFault) {
        ReportJournalStop(change, outcome);
        return RunEnd::SomeKept;
    }
    if (outcome.bStopped) {
        ReportStoppedRun(change, outcome, bUnrecorded);
        return RunEnd::Stopped;
    }
    if (outcome.kept.empty()) {
        AfxMessageBox(WithRecordLine(AfxToWide(FinalMessage(change)), bUnrecorded), MB_OK, 0);
        return RunEnd::AllInCase;
    }
    ReportKeptFiles(outcome.kept, bUnrecorded);
    return RunEnd::SomeKept;
}

#include "app/RenameFilesToCase.h"

#include "app/CCaseRun.h"
#include "app/CProgressDlg.h"
#include "app/FolderHandover.h"
#include "app/RunFolders.h"
#include "app/RunRecording.h"
#include "app/RunTurnWait.h"
#include "app/RunWatch.h"
#include "app/ShellChangeNotice.h"
#include "dirselect/FileCountText.h"
#include "filesystem/CurrentDirectory.h"
#include "filesystem/ExtendedPath.h"
#include "filesystem/SystemErrorText.h"
#include "platform/AfxMessageBox.h"
#include "platform/CWinThread.h"
#include "platform/GermanCount.h"
#include "wine/WineHost.h"

#include <algorithm>
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

// The box names the directory: a script reading a quiet run's errors learns what they are about.
bool EnterDirectory(const std::wstring& directory) {
    if (AfxSetCurrentDirectory(directory)) return true;
    std::wstring text = AfxToWide("Das Verzeichnis \"") + directory + AfxToWide("\" ist nicht erreichbar: ") +
                        AfxFormatSystemMessage(GetLastError());
    AfxMessageBox(text, MB_OK | MB_ICONHAND, 0);
    return false;
}

// An unrecorded run's end box says that it cannot be taken back.
std::wstring WithRecordLine(std::wstring text, bool bUnrecorded) {
    if (bUnrecorded) text += L"\n\n" + AfxToWide(CRunRecording::UnrecordedLine());
    return text;
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

const char kKeptHeading[] = "Diese Dateien behalten ihren Namen:";

// What the end box says of one folder, and how that folder ended.
struct FolderReport {
    RunEnd end;
    std::wstring text;
    UINT nIcon;
};

// bJournalStop: a folder before this one stopped the run because its journal could not be
// written further; a folder not begun then ends the run as that one did.
// bAlone: the run has this folder only, so no heading names its path.
FolderReport ReportOf(const CaseChange& change, const CRunFolders::Folder& folder, bool bJournalStop,
                      RunDisplay display, bool bAlone) {
    if (folder.state != FolderState::Done && bJournalStop)
        return {RunEnd::SomeKept, AfxToWide("Nicht begonnen: das Umbenennen wurde vorher angehalten."),
                MB_ICONINFORMATION};
    if (folder.state != FolderState::Done)
        return {RunEnd::Stopped, AfxToWide("Nicht begonnen: das Umbenennen wurde vorher abgebrochen."),
                MB_ICONINFORMATION};
    const CaseRunOutcome& outcome = folder.outcome;
    if (outcome.listingError != ERROR_SUCCESS)
        return {
            RunEnd::NothingDone,
            AfxToWide("Verzeichnis nicht lesbar: ") + AfxSystemReason(outcome.listingError) + L"\n" + folder.directory,
            MB_ICONHAND};
    // Outside a drive's root the listing always holds "." and "..", so only a root is empty.
    bool bDriveRoot = folder.directory.size() == 3;
    // A listing that cannot be started is an error, an empty drive's root is none.
    std::wstring noFiles = AfxToWide("Keine Dateien im gew\xE4hlten Verzeichnis!");
    if (!outcome.bListed)
        return {RunEnd::NothingDone, bAlone ? noFiles + L"\n" + folder.directory : noFiles, MB_ICONHAND};
    if (outcome.nEntries == 0 && bDriveRoot) return {RunEnd::AllInCase, noFiles, 0};
    std::wstring kept = outcome.kept.empty() ? std::wstring()
                                             : L"\n\n" + KeptFilesList(outcome.kept, kKeptHeading, display);
    // Stopped before the first file its journal could not record: what was renamed stays undoable.
    if (outcome.journalFault)
        return {RunEnd::SomeKept,
                AfxToWide("Angehalten: das Journal kann nicht weitergeschrieben werden (") +
                    outcome.journalFault.Reason() + L"). " + AfxToWide(RenamedText(change, outcome.nRenamed)) + kept,
                MB_ICONEXCLAMATION};
    if (outcome.bStopped)
        return {RunEnd::Stopped,
                AfxToWide("Das Umbenennen wurde abgebrochen. " + RenamedText(change, outcome.nRenamed)) + kept,
                MB_ICONINFORMATION};
    if (outcome.kept.empty()) return {RunEnd::AllInCase, AfxToWide(FinalMessage(change)), 0};
    return {RunEnd::SomeKept,
            AfxToWide("Nicht alle Dateien wurden umbenannt. ") + KeptFilesList(outcome.kept, kKeptHeading, display),
            MB_ICONEXCLAMATION};
}

// An error outweighs a warning, a warning a note, a note no icon.
UINT StrongerIcon(UINT nIcon, UINT nOther) {
    auto rank = [](UINT n) {
        return n == MB_ICONHAND ? 3 : n == MB_ICONEXCLAMATION ? 2 : n == MB_ICONINFORMATION ? 1 : 0;
    };
    return rank(nOther) > rank(nIcon) ? nOther : nIcon;
}

// One folder: its own box, as it always was. Several: one box, folder by folder. A run that
// could not be recorded says so once, at the end.
RunEnd ReportRun(const CaseChange& change, const CRunFolders& folders, RunDisplay display, bool bUnrecorded) {
    std::vector<CRunFolders::Folder> all = folders.Folders();
    bool bJournalStop = std::any_of(all.begin(), all.end(), [](const CRunFolders::Folder& folder) {
        return folder.state == FolderState::Done && folder.outcome.journalFault;
    });
    RunEnd worst = RunEnd::AllInCase;
    UINT nIcon = 0;
    std::wstring text;
    for (size_t i = 0; i < all.size(); ++i) {
        FolderReport report = ReportOf(change, all[i], bJournalStop, display, all.size() == 1);
        worst = std::max(worst, report.end);
        nIcon = StrongerIcon(nIcon, report.nIcon);
        if (all.size() == 1) {
            text = report.text;
            break;
        }
        text += (i ? L"\n\n" : L"") + FolderHeading(i + 1, all.size()) + all[i].directory + L"\n" + report.text;
    }
    AfxMessageBox(WithRecordLine(text, bUnrecorded), MB_OK | nIcon, 0);
    return worst;
}

// On the run's thread: the folders one after the other, each by the engine, into one journal,
// which is finished once all are done. Before the run ends, the copies handing over their
// folders have their say (pDesk). A stop, or a journal that cannot be written further, ends
// the run before the next folder.
CaseRunOutcome RenameFolderByFolder(const CaseChange& change, CRunFolders& folders, CaseRunControl& control,
                                    CRunJournalWriter* pJournal, CRunTurn& turn, CHandoverDesk* pDesk) {
    CaseRunOutcome last;
    std::wstring directory = folders.Directory(0);
    for (;;) {
        std::optional<size_t> next = control.bStopRequested ? std::nullopt : folders.Begin();
        if (!next && pDesk && !control.bStopRequested) {
            pDesk->Close(turn, directory, control.bStopRequested);
            next = control.bStopRequested ? std::nullopt : folders.Begin();
        }
        if (!next) break;
        directory = folders.Directory(*next);
        turn.Publish(directory, pDesk ? pDesk->Offered() : std::wstring());
        control.nTotal = 0;
        control.nDone = 0;
        last = ChangeCaseOnDisk(change, wine::ExactPath(directory), &control, pJournal, directory);
        folders.End(*next, last);
        if (last.bStopped) break;
    }
    if (control.bStopRequested || last.bStopped) folders.GiveUpTheRest();
    if (pDesk) pDesk->Stop();
    // The journal may be written anew as a whole at the end: not on the windows' thread.
    if (pJournal) pJournal->Finish();
    return last;
}

}  // namespace

RunEnd RenameFilesToCase(const CaseChange& change, const std::wstring& chosenPath, CWnd* pOwner, RunDisplay display) {
    if (!pOwner) pOwner = AfxGetThread()->GetMainWnd();
    // "X:" alone would mean the drive's remembered directory; the user chose its root.
    std::wstring directory = chosenPath.size() == 2 ? chosenPath + L"\\" : chosenPath;
    if (!EnterDirectory(directory)) return RunEnd::NothingDone;
    std::optional<CRunTurn> turn = WaitForRunTurn(pOwner, display);
    if (!turn) return RunEnd::Stopped;
    CRunFolders folders(directory);
    return RenameFoldersToCase(change, folders, std::move(*turn), pOwner, display);
}

RunEnd RenameFoldersToCase(const CaseChange& change, CRunFolders& folders, CRunTurn turn, CWnd* pOwner,
                           RunDisplay display, CHandoverDesk* pDesk) {
    // Copies handing over their folders meanwhile share the answer to a question about the
    // journal: one run, one question.
    turn.Publish(folders.Directory(0), pDesk ? pDesk->Offered() : std::wstring());
    // No file is renamed without its record, unless the user agrees.
    CRunRecording recording(display);
    if (!recording.MayRun()) {
        folders.GiveUpTheRest();
        if (pDesk) pDesk->Stop();
        return RunEnd::NothingDone;
    }
    CRunJournalWriter* pJournal = recording.Writer();
    CCaseRun run(
        [&](CaseRunControl& control) { return RenameFolderByFolder(change, folders, control, pJournal, turn, pDesk); });
    // The path as chosen, not as the current directory: that one may have been kept aside.
    WatchRun(run, CProgressDlg::ActionText(change), folders.Directory(0), pOwner, display, &folders);
    // No folder is taken from here on, also where the run's thread failed.
    if (pDesk) pDesk->Stop();
    if (run.IsProgramEnding()) return RunEnd::Stopped;  // no one is left to read a box
    // What the run's thread threw comes out here.
    run.Outcome();
    turn.Release();
    for (const CRunFolders::Folder& folder : folders.Folders())
        if (folder.state == FolderState::Done) TellShellNamesChanged(folder.directory, folder.outcome);
    return ReportRun(change, folders, display, recording.Unrecorded());
}

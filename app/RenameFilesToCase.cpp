#include "app/RenameFilesToCase.h"

#include "app/CCaseRun.h"
#include "app/CProgressDlg.h"
#include "app/FolderHandover.h"
#include "app/RunFolders.h"
#include "app/RunJournalPlace.h"
#include "app/RunTurnWait.h"
#include "app/RunWatch.h"
#include "dirselect/FileCountText.h"
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

// What the end box says of one folder, and how that folder ended.
struct FolderReport {
    RunEnd end;
    std::wstring text;
    UINT nIcon;
};

FolderReport ReportOf(const CaseChange& change, const CRunFolders::Folder& folder) {
    if (folder.state != FolderState::Done)
        return {RunEnd::Stopped, AfxToWide("Nicht begonnen: das Umbenennen wurde vorher abgebrochen."),
                MB_ICONINFORMATION};
    const CaseRunOutcome& outcome = folder.outcome;
    // Outside a drive's root the listing always holds "." and "..", so only a root is empty.
    bool bDriveRoot = folder.directory.size() == 3;
    if (!outcome.bListed || (outcome.nEntries == 0 && bDriveRoot))
        return {outcome.bListed ? RunEnd::AllInCase : RunEnd::NothingDone,
                AfxToWide("Keine Dateien im gew\xE4hlten Verzeichnis!"), 0};
    if (outcome.bStopped) {
        std::wstring text = AfxToWide("Das Umbenennen wurde abgebrochen. " + RenamedText(change, outcome.nRenamed));
        if (!outcome.kept.empty()) text += L"\n\n" + KeptFilesList(outcome.kept);
        return {RunEnd::Stopped, text, MB_ICONINFORMATION};
    }
    if (outcome.kept.empty()) return {RunEnd::AllInCase, AfxToWide(FinalMessage(change)), 0};
    return {RunEnd::SomeKept, AfxToWide("Nicht alle Dateien wurden umbenannt. ") + KeptFilesList(outcome.kept),
            MB_ICONEXCLAMATION};
}

// A warning outweighs a note, a note no icon.
UINT StrongerIcon(UINT nIcon, UINT nOther) {
    auto rank = [](UINT n) { return n == MB_ICONEXCLAMATION ? 2 : n == MB_ICONINFORMATION ? 1 : 0; };
    return rank(nOther) > rank(nIcon) ? nOther : nIcon;
}

// One folder: its own box, as it always was. Several: one box, folder by folder.
RunEnd ReportRun(const CaseChange& change, const CRunFolders& folders) {
    std::vector<CRunFolders::Folder> all = folders.Folders();
    RunEnd worst = RunEnd::AllInCase;
    UINT nIcon = 0;
    std::wstring text;
    for (size_t i = 0; i < all.size(); ++i) {
        FolderReport report = ReportOf(change, all[i]);
        worst = std::max(worst, report.end);
        nIcon = StrongerIcon(nIcon, report.nIcon);
        if (all.size() == 1) {
            text = report.text;
            break;
        }
        text += (i ? L"\n\n" : L"") + FolderHeading(i + 1, all.size()) + all[i].directory + L"\n" + report.text;
    }
    AfxMessageBox(text, MB_OK | nIcon, 0);
    return worst;
}

// On the run's thread: the folders one after the other, each by the engine, into one journal.
// Before the run ends, the copies handing over their folders have their say (pDesk).
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
        last = ChangeCaseOnDisk(change, wine::ExactPath(directory), &control, pJournal);
        folders.End(*next, last);
        if (last.bStopped) break;
    }
    if (control.bStopRequested) folders.GiveUpTheRest();
    if (pDesk) pDesk->Stop();
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
    // The path as chosen, not as the current directory: that one may have been kept aside.
    std::wstring journalPath = RunJournalPath();
    std::optional<CRunJournalWriter> journal;
    if (!journalPath.empty()) journal.emplace(journalPath, folders.Directory(0));
    CRunJournalWriter* pJournal = journal ? &*journal : nullptr;
    CCaseRun run(
        [&](CaseRunControl& control) { return RenameFolderByFolder(change, folders, control, pJournal, turn, pDesk); });
    WatchRun(run, CProgressDlg::ActionText(change), folders.Directory(0), pOwner, display, &folders);
    // No folder is taken from here on, also where the run's thread failed.
    if (pDesk) pDesk->Stop();
    if (run.IsProgramEnding()) return RunEnd::Stopped;  // no one is left to read a box
    // What the run's thread threw comes out here.
    run.Outcome();
    turn.Release();
    return ReportRun(change, folders);
}

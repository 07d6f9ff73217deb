#include "app/UndoLastRun.h"

#include "app/CCaseRun.h"
#include "app/CProgressDlg.h"
#include "app/RunJournalPlace.h"
#include "app/RunTurnWait.h"
#include "app/RunWatch.h"
#include "app/ShellChangeNotice.h"
#include "filesystem/ExtendedPath.h"
#include "filesystem/SystemErrorText.h"
#include "platform/AfxMessageBox.h"
#include "platform/CWinThread.h"
#include "platform/GermanCount.h"
#include "renaming/ChangeCaseOnDisk.h"
#include "renaming/RunJournal.h"

#include <algorithm>
#include <vector>

namespace {

const char kUndoQuestion[] = "Die letzte Umbenennung r\xFC" "ckg\xE4ngig machen?";
const char kLeftAsTheyAre[] = "Diese Dateien bleiben, wie sie sind:";
const char kStillInUse[] = "Diese Dateien sind in Gebrauch und bleiben f\xFCr ein weiteres R\xFC" "ckg\xE4ngig vorgemerkt:";

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
    std::wstring text = AfxToWide(kUndoQuestion) + L"\n";
    for (const JournalFolder& folder : journal.folders) text += L"\n" + folder.shownDirectory;
    text += L"\n" + AfxToWide(FilesGetBackText(nFiles));
    return AfxMessageBox(text, MB_YESNO | MB_ICONQUESTION, 0) == IDYES;
}

std::vector<std::wstring> NewNames(const std::vector<JournalEntry>& entries) {
    std::vector<std::wstring> names;
    for (const JournalEntry& entry : entries) names.push_back(entry.newName);
    return names;
}

// Whether a folder's part could not be read whole: then it was kept whole.
bool Unread(const CaseRunOutcome& outcome) { return !outcome.bListed || outcome.listingError != ERROR_SUCCESS; }

bool Complete(const CaseRunOutcome& outcome) {
    return !Unread(outcome) && !outcome.bStopped && outcome.kept.empty() && outcome.inUse.empty();
}

// What there is to say about one folder beyond the count: why it could not be read, the files
// left as they are and those kept for another undo.
std::wstring FolderLines(const JournalFolder& folder, const CaseRunOutcome& outcome, RunDisplay display) {
    if (!outcome.bListed)
        return AfxToWide("Das Verzeichnis ist nicht erreichbar:\n") + folder.shownDirectory +
               AfxToWide("\n\nDie letzte Umbenennung kann r\xFC" "ckg\xE4ngig gemacht werden, sobald es wieder "
                         "erreichbar ist.");
    if (outcome.listingError != ERROR_SUCCESS)
        return AfxToWide("Verzeichnis nicht lesbar: ") + AfxSystemReason(outcome.listingError) + L"\n" +
               folder.shownDirectory +
               AfxToWide("\n\nDie letzte Umbenennung kann r\xFC" "ckg\xE4ngig gemacht werden, sobald es wieder "
                         "lesbar ist.");
    std::wstring lines;
    if (!outcome.kept.empty()) lines = KeptFilesList(outcome.kept, kLeftAsTheyAre, display);
    if (!outcome.inUse.empty())
        lines += (lines.empty() ? L"" : L"\n\n") + KeptFilesList(NewNames(outcome.inUse), kStillInUse, display);
    return lines;
}

// Says how the undo ended, and returns it as a run's end: stopped, complete, only unreadable
// folders (nothing done), or some files left.
RunEnd ReportUndo(const RunJournal& journal, const std::vector<CaseRunOutcome>& outcomes, RunDisplay display) {
    size_t nBack = 0;
    bool bStopped = false, bComplete = true, bUnread = false;
    for (const CaseRunOutcome& outcome : outcomes) {
        nBack += outcome.nRenamed;
        bStopped = bStopped || outcome.bStopped;
        bComplete = bComplete && Complete(outcome);
        bUnread = bUnread || Unread(outcome);
    }
    std::wstring text;
    UINT nIcon = MB_ICONEXCLAMATION;
    if (bStopped) {
        text = AfxToWide("Das R\xFC" "ckg\xE4ngigmachen wurde abgebrochen. " + FilesHaveBackText(nBack));
        nIcon = MB_ICONINFORMATION;
    } else if (bComplete && journal.bEnded) {
        text = AfxToWide("Ok, alle Dateien haben ihre fr\xFCheren Namen zur\xFC" "ck.");
        nIcon = 0;
    } else if (bComplete) {
        // A run ended before its end: all it recorded is back, and the record is all there is.
        text = AfxToWide("Alle aufgezeichneten Dateien haben ihre fr\xFCheren Namen zur\xFC" "ck. Die letzte "
                         "Umbenennung war vor ihrem Ende beendet worden.");
        nIcon = MB_ICONINFORMATION;
    } else if (!bUnread || outcomes.size() > 1) {
        text = AfxToWide("Nicht alle Dateien haben ihre fr\xFCheren Namen zur\xFC" "ck.");
    }
    bool bSeveral = outcomes.size() > 1;
    for (size_t i = 0; i < outcomes.size(); ++i) {
        std::wstring lines = FolderLines(journal.folders[i], outcomes[i], display);
        if (lines.empty()) continue;
        if (bSeveral)
            lines = AfxToWide("Ordner " + GermanCount(i + 1) + " von " + GermanCount(outcomes.size()) + ": ") +
                    journal.folders[i].shownDirectory + L"\n" + lines;
        text += text.empty() ? lines : (bSeveral || bStopped ? L"\n\n" : L" ") + lines;
    }
    AfxMessageBox(text, MB_OK | nIcon, 0);
    if (bStopped) return RunEnd::Stopped;
    if (bComplete) return RunEnd::AllInCase;
    bool bAllUnread = std::all_of(outcomes.begin(), outcomes.end(), Unread);
    return bAllUnread ? RunEnd::NothingDone : RunEnd::SomeKept;
}

// What the undo leaves for later: the files a stop left untried and those still in use; a
// folder that could not be read keeps its part whole. A journal that another run wrote
// meanwhile is then the last run's and stays as it is.
void KeepWhatIsLeft(const std::wstring& path, const RunJournal& journal, const std::vector<CaseRunOutcome>& outcomes) {
    if (!JournalOfRun(path, journal.runId)) return;
    RunJournal left = journal;
    for (size_t i = 0; i < left.folders.size() && i < outcomes.size(); ++i) {
        const CaseRunOutcome& outcome = outcomes[i];
        if (Unread(outcome)) continue;
        left.folders[i].entries = outcome.unreached;
        left.folders[i].entries.insert(left.folders[i].entries.end(), outcome.inUse.begin(), outcome.inUse.end());
    }
    ReplaceRunJournal(path, left);
}

// Asked from the command line, where no grey button told it beforehand.
RunEnd NothingToTakeBack(const UndoRequest& request) {
    if (request.bSayWhenNothing)
        AfxMessageBox("Es gibt keine Umbenennung, die r\xFC" "ckg\xE4ngig gemacht werden kann.", MB_OK | MB_ICONHAND, 0);
    return RunEnd::NothingDone;
}

void ReportUntrusted(const std::wstring& path, const JournalReading& reading) {
    if (reading.state == JournalState::Unreadable) {
        std::wstring text = AfxToWide("Das Journal der letzten Umbenennung kann nicht gelesen werden: ") +
                            JournalFault{reading.error, path}.Reason() + AfxToWide(". Es wurde nichts umbenannt.");
        AfxMessageBox(text, MB_OK | MB_ICONHAND, 0);
        return;
    }
    AfxMessageBox("Das Journal der letzten Umbenennung ist besch\xE4" "digt; es wurde nichts umbenannt.",
                  MB_OK | MB_ICONHAND, 0);
    // Nothing can ever be taken back by it: "Rückgängig" goes grey.
    WithdrawRunJournal(path);
}

}  // namespace

size_t FilesToGiveBack() {
    std::wstring path = RunJournalPath();
    if (path.empty()) return 0;
    JournalReading reading = ReadRunJournal(path);
    return reading.state == JournalState::Trusted ? reading.journal.EntryCount() : 0;
}

bool UndoOffered() {
    std::wstring path = RunJournalPath();
    if (path.empty()) return false;
    JournalPeek peek = PeekRunJournal(path);
    return peek == JournalPeek::Offered || peek == JournalPeek::Damaged || peek == JournalPeek::Unreadable;
}

RunEnd UndoLastRun(CWnd* pOwner, const UndoRequest& request) {
    if (!pOwner) pOwner = AfxGetThread()->GetMainWnd();
    std::wstring path = RunJournalPath();
    if (path.empty()) return NothingToTakeBack(request);
    // Another copy's run may be writing the journal: it is read only in this copy's turn.
    std::optional<CRunTurn> turn = WaitForRunTurn(pOwner, request.display);
    if (!turn) return RunEnd::Stopped;
    JournalReading reading = ReadRunJournal(path);
    if (reading.state == JournalState::Missing) return NothingToTakeBack(request);
    if (reading.state != JournalState::Trusted) {
        ReportUntrusted(path, reading);
        return RunEnd::NothingDone;
    }
    const RunJournal& journal = reading.journal;
    std::wstring shown = journal.folders.empty() ? std::wstring() : journal.folders.front().shownDirectory;
    turn->Publish(shown);
    // A run that was ended has a journal that may name files it never reached.
    size_t nFiles = FilesStillRenamed(journal);
    if (nFiles == 0) {
        WithdrawRunJournal(path);
        return NothingToTakeBack(request);
    }
    if (request.bAsk && !ConfirmUndo(journal, nFiles)) return RunEnd::Stopped;
    std::vector<CaseRunOutcome> outcomes;
    CCaseRun run([&journal, &outcomes](CaseRunControl& control) {
        outcomes = RestoreEarlierNames(journal, &control);
        return CaseRunOutcome();
    });
    WatchRun(run, CProgressDlg::UndoActionText(), shown, pOwner, request.display);
    run.Outcome();  // what the run's thread threw, thrown here
    for (size_t i = 0; i < outcomes.size() && i < journal.folders.size(); ++i)
        TellShellNamesChanged(journal.folders[i].shownDirectory, outcomes[i]);
    KeepWhatIsLeft(path, journal, outcomes);
    turn->Release();
    if (run.IsProgramEnding()) return RunEnd::Stopped;  // no one is left to read a box
    return ReportUndo(journal, outcomes, request.display);
}

#include "app/UndoLastRun.h"

#include "app/CCaseRun.h"
#include "app/CProgressDlg.h"
#include "app/RunJournalPlace.h"
#include "app/RunWatch.h"
#include "app/ShellChangeNotice.h"
#include "filesystem/ExtendedPath.h"
#include "platform/AfxMessageBox.h"
#include "platform/CWinThread.h"
#include "platform/GermanCount.h"
#include "renaming/ChangeCaseOnDisk.h"
#include "renaming/FileIdentity.h"
#include "renaming/RunJournal.h"

#include <optional>

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

// Says how the undo ended, and returns it.
RunEnd ReportUndo(const RunJournal& journal, const CaseRunOutcome& outcome, RunDisplay display) {
    const char kHeading[] = "Diese Dateien bleiben, wie sie sind:";
    if (!outcome.bListed) {
        std::wstring text = AfxToWide("Das Verzeichnis ist nicht erreichbar:\n") + journal.shownDirectory +
                            AfxToWide("\n\nDie letzte Umbenennung kann r\xFC" "ckg\xE4ngig gemacht werden, sobald es "
                                      "wieder erreichbar ist.");
        AfxMessageBox(text, MB_OK | MB_ICONHAND, 0);
        return RunEnd::NothingDone;
    }
    if (outcome.bStopped) {
        std::wstring text =
            AfxToWide("Das R\xFC" "ckg\xE4ngigmachen wurde abgebrochen. " + FilesHaveBackText(outcome.nRenamed));
        if (!outcome.kept.empty()) text += L"\n\n" + KeptFilesList(outcome.kept, kHeading, display);
        AfxMessageBox(text, MB_OK | MB_ICONINFORMATION, 0);
        return RunEnd::Stopped;
    }
    if (outcome.kept.empty()) {
        AfxMessageBox("Ok, alle Dateien haben ihre fr\xFCheren Namen zur\xFC" "ck.", MB_OK, 0);
        return RunEnd::AllInCase;
    }
    std::wstring text = AfxToWide("Nicht alle Dateien haben ihre fr\xFCheren Namen zur\xFC" "ck. ") +
                        KeptFilesList(outcome.kept, kHeading, display);
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION, 0);
    return RunEnd::SomeKept;
}

// Asked from the command line, where no grey button told it beforehand.
RunEnd NothingToTakeBack(const UndoRequest& request, JournalState state) {
    if (!request.bSayWhenNothing) return RunEnd::NothingDone;
    const char* pszText = state == JournalState::Untrusted
                              ? "Die letzte Umbenennung kann nicht r\xFC" "ckg\xE4ngig gemacht werden: ihr Protokoll "
                                "ist besch\xE4" "digt oder stammt nicht von Umbrix."
                              : "Es gibt keine Umbenennung, die r\xFC" "ckg\xE4ngig gemacht werden kann.";
    AfxMessageBox(pszText, MB_OK | MB_ICONHAND, 0);
    return RunEnd::NothingDone;
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

RunEnd UndoLastRun(CWnd* pOwner, const UndoRequest& request) {
    if (!pOwner) pOwner = AfxGetThread()->GetMainWnd();
    std::wstring path = RunJournalPath();
    if (path.empty()) return NothingToTakeBack(request, JournalState::Missing);
    std::optional<FileIdentity> before = IdentityOf(path);
    JournalReading reading = ReadRunJournal(path);
    if (reading.state != JournalState::Trusted || reading.journal.entries.empty())
        return NothingToTakeBack(request, reading.state);
    const RunJournal& journal = reading.journal;
    // A run that was ended has a journal that may name files it never reached.
    size_t nFiles = FilesStillRenamed(journal);
    if (nFiles == 0) {
        RemoveRunJournal(path);
        return NothingToTakeBack(request, JournalState::Missing);
    }
    if (request.bAsk && !ConfirmUndo(journal, nFiles)) return RunEnd::Stopped;
    CCaseRun run([&journal](CaseRunControl& control) { return RestoreEarlierNames(journal, &control); });
    WatchRun(run, CProgressDlg::UndoActionText(), journal.shownDirectory, pOwner, request.display);
    const CaseRunOutcome& outcome = run.Outcome();
    TellShellNamesChanged(journal.shownDirectory, outcome.nRenamed);
    KeepWhatIsLeft(path, before, journal, outcome);
    if (run.IsProgramEnding()) return RunEnd::Stopped;  // no one is left to read a box
    return ReportUndo(journal, outcome, request.display);
}

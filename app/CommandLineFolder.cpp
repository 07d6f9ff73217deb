#include "app/CommandLineFolder.h"

#include "app/FolderHandover.h"
#include "app/RenameFilesToCase.h"
#include "app/RunFolders.h"
#include "app/RunTurnWait.h"
#include "app/StartingCopies.h"
#include "platform/AfxMessageBox.h"

#include <optional>

namespace {

// A run whose notice cannot be read yet is taking its turn or just letting go of it; after
// this long without one it is waited for as any run is.
const DWORD kLongestNoticeWait = 2000;
const DWORD kNoticeInterval = 20;

int Code(RunEnd end) { return static_cast<int>(end); }

// The whole change the command line asks for: every folder of the run gets the same.
CaseChange ChangeOf(const CaseCommand& command) { return CaseChange(command.direction, command.part); }

// The first copy: its folder, and those that later copies of the same kind hand over.
int RunTakingOthers(const CaseCommand& command, const std::wstring& kind, const std::wstring& directory, CRunTurn turn,
                    RunDisplay display) {
    CRunFolders folders(directory);
    CHandoverDesk desk(CRunTurn::DefaultFolder(), turn.RunId(), kind, folders);
    return Code(RenameFoldersToCase(ChangeOf(command), folders, std::move(turn), nullptr, display, &desk));
}

// The text says it in one piece; "\xFC" ends where the next letter would be read as a hex digit.
const char kEndedMidway[] =
    " wurde nicht zu Ende gebracht: die Kopie von Umbrix, die es \xFC"
    "bernommen hatte, wurde beendet. Ein neuer Lauf in diesem Verzeichnis bringt zu Ende, "
    "was fehlt.";

void ReportEndedMidway(const std::wstring& directory) {
    AfxMessageBox(AfxToWide("Das Umbenennen in ") + directory + AfxToWide(kEndedMidway), MB_OK | MB_ICONEXCLAMATION, 0);
}

// The turn, or else the notice of the copy whose turn it is, once it has written one; neither
// when the notice stays unreadable.
std::optional<RunTurnNotice> TurnOrNotice(const std::wstring& folder, std::optional<CRunTurn>& turn) {
    ULONGLONG nDeadline = GetTickCount64() + kLongestNoticeWait;
    for (;;) {
        turn = CRunTurn::TryTake(folder);
        if (turn) return std::nullopt;
        if (std::optional<RunTurnNotice> notice = ReadRunTurnNotice(folder)) return notice;
        if (GetTickCount64() >= nDeadline) return std::nullopt;
        Sleep(kNoticeInterval);
    }
}

}  // namespace

int RunCommandLineFolder(const CaseCommand& command, const std::wstring& directory) {
    RunDisplay display = command.bQuiet ? RunDisplay::Quiet : RunDisplay::Windows;
    std::wstring folder = CRunTurn::DefaultFolder();
    std::wstring kind = HandoverKind(command);
    std::optional<CRunTurn> turn;
    if (kind.empty()) {
        AnnounceDecided();
        turn = WaitForRunTurn(nullptr, display, folder);
        if (!turn) return Code(RunEnd::Stopped);
        CRunFolders folders(directory);
        return Code(RenameFoldersToCase(ChangeOf(command), folders, std::move(*turn), nullptr, display));
    }
    // Until this copy has the turn: its folder goes to a run that takes its kind, or it waits
    // for the run under way, and looks again when that one has let go of the turn.
    for (;;) {
        std::optional<RunTurnNotice> run = TurnOrNotice(folder, turn);
        if (turn) break;
        if (run && run->handoverKind == kind) {
            CFolderGiver giver(folder, *run, kind, directory);
            if (giver.Written()) {
                AnnounceDecided();
                NoLongerWaiting();  // the run that takes it knows of it now
                switch (giver.Await(turn)) {
                case HandoverEnd::Done:
                    return Code(RunEnd::AllInCase);
                case HandoverEnd::NotRun:
                    return Code(RunEnd::Stopped);
                case HandoverEnd::EndedMidway:
                    ReportEndedMidway(directory);
                    return Code(RunEnd::Stopped);
                case HandoverEnd::Yours:
                    break;
                }
                if (turn) break;
            }
        }
        AnnounceWaiting(kind);
        TurnOrHandover wait = WaitForTurnOrHandover(folder, kind);
        turn = std::move(wait.turn);
        if (turn) break;
        if (!wait.bHandOver) return Code(RunEnd::Stopped);
    }
    NoLongerWaiting();
    AnnounceDecided();
    return RunTakingOthers(command, kind, directory, std::move(*turn), display);
}

// The turn and the handing over of folders between copies of the program, played in one
// process at each moment that decides a folder's fate: the request written before or after
// the run takes no more, the run ending after, before or while it renames the folder, requests
// of another kind or for another run, a copy gone before its request was taken. And the end
// box of a run over several folders. The turn's folder is a test folder; the run's journal is
// the profile's, as in every in-process run.
#include "app/FolderHandover.h"
#include "app/RenameFilesToCase.h"
#include "app/RunFolders.h"
#include "app/RunTurn.h"
#include "tests/renaming/RunMessages.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TempDirectory.h"

#include <gtest/gtest.h>

#include <atomic>
#include <optional>

namespace {

CaseCommand Command(const CaseChange& change) {
    CaseCommand command;
    command.bGiven = true;
    command.direction = change.direction;
    command.part = change.part;
    return command;
}

}  // namespace

// One copy at a time; the notice is there only while the copy holds the turn, and a folder
// that cannot hold the turn's file lets the run go on alone.
TEST(RunTurn, OneHolderAtATimeAndItsNoticeOnlyMeanwhile) {
    TempDirectory place;
    std::optional<CRunTurn> turn = CRunTurn::TryTake(place.Path());
    ASSERT_TRUE(turn && turn->Holds());
    EXPECT_FALSE(CRunTurn::TryTake(place.Path())) << "a second holder";
    EXPECT_FALSE(ReadRunTurnNotice(place.Path())) << "a notice before the holder wrote one";

    turn->Publish(L"C:\\Fotos \u03A9", L"klein");
    std::optional<RunTurnNotice> notice = ReadRunTurnNotice(place.Path());
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->dwProcessId, GetCurrentProcessId());
    EXPECT_EQ(notice->runId, turn->RunId());
    EXPECT_EQ(notice->directory, L"C:\\Fotos \u03A9");
    EXPECT_EQ(notice->handoverKind, L"klein");
    EXPECT_FALSE(AnotherCopyHasTheTurn(place.Path())) << "this copy's own run";

    std::wstring firstRun = turn->RunId();
    turn->Release();
    EXPECT_FALSE(ReadRunTurnNotice(place.Path()));
    std::optional<CRunTurn> next = CRunTurn::TryTake(place.Path());
    ASSERT_TRUE(next && next->Holds());
    EXPECT_NE(next->RunId(), firstRun);

    std::optional<CRunTurn> alone = CRunTurn::TryTake(place.Path() + L"\\Fehlt");
    ASSERT_TRUE(alone);
    EXPECT_FALSE(alone->Holds());
}

namespace {

enum class Written { BeforeTheRunTakesNoMore, AfterIt };
enum class RunEnds { AfterTheFolder, StoppedBeforeIt, BeforeBeginningIt, WhileRenamingIt, ThenAnotherRunFirst };

struct HandoverCase {
    const char* name;
    CaseChange giver;
    Written written;
    bool bGiverStays;  // the copy that wrote the request is still there when the run looks
    bool bOtherRun;    // addressed to a run that is not the one holding the turn
    RunEnds ends;
    bool bTaken;
    HandoverEnd expected;
};

}  // namespace

TEST(FolderHandover, EveryFolderIsRunOnceOrComesBackToItsCopy) {
    const HandoverCase cases[] = {
        {"taken and renamed", CaseDirection::Lower, Written::BeforeTheRunTakesNoMore, true, false,
         RunEnds::AfterTheFolder, true, HandoverEnd::Done},
        {"taken, the run stopped before it", CaseDirection::Lower, Written::BeforeTheRunTakesNoMore, true, false,
         RunEnds::StoppedBeforeIt, true, HandoverEnd::NotRun},
        {"taken, the run ended before beginning it", CaseDirection::Lower, Written::BeforeTheRunTakesNoMore, true,
         false, RunEnds::BeforeBeginningIt, true, HandoverEnd::Yours},
        {"taken, the run ended while renaming it", CaseDirection::Lower, Written::BeforeTheRunTakesNoMore, true, false,
         RunEnds::WhileRenamingIt, true, HandoverEnd::EndedMidway},
        {"written as the run took no more", CaseDirection::Lower, Written::AfterIt, true, false,
         RunEnds::AfterTheFolder, false, HandoverEnd::Yours},
        {"the other direction", CaseDirection::Upper, Written::BeforeTheRunTakesNoMore, true, false,
         RunEnds::AfterTheFolder, false, HandoverEnd::Yours},
        {"only the extensions", CaseChange(CaseDirection::Lower, NamePart::Extension), Written::BeforeTheRunTakesNoMore,
         true, false, RunEnds::AfterTheFolder, false, HandoverEnd::Yours},
        {"for another run", CaseDirection::Lower, Written::BeforeTheRunTakesNoMore, true, true, RunEnds::AfterTheFolder,
         false, HandoverEnd::Yours},
        {"its copy gone before it was taken", CaseDirection::Lower, Written::BeforeTheRunTakesNoMore, false, false,
         RunEnds::AfterTheFolder, false, HandoverEnd::Yours},
        {"written as the run took no more, another run next", CaseDirection::Lower, Written::AfterIt, true, false,
         RunEnds::ThenAnotherRunFirst, false, HandoverEnd::Yours},
    };
    for (const HandoverCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempDirectory place;
        const std::wstring kind = HandoverKind(Command(CaseDirection::Lower));
        std::optional<CRunTurn> turn = CRunTurn::TryTake(place.Path());
        ASSERT_TRUE(turn && turn->Holds());
        CRunFolders folders(L"C:\\Erster");
        CHandoverDesk desk(place.Path(), turn->RunId(), kind, folders);
        turn->Publish(L"C:\\Erster", desk.Offered());
        std::optional<RunTurnNotice> notice = ReadRunTurnNotice(place.Path());
        ASSERT_TRUE(notice);
        ASSERT_EQ(notice->handoverKind, kind);
        if (c.bOtherRun) notice->runId += L"0";

        std::optional<CFolderGiver> giver;
        auto give = [&] {
            giver.emplace(place.Path(), *notice, HandoverKind(Command(c.giver)), L"D:\\Zweiter");
            ASSERT_TRUE(giver->Written());
        };
        if (c.written == Written::BeforeTheRunTakesNoMore) give();
        if (!c.bGiverStays) giver.reset();
        std::atomic<bool> bStop{false};
        desk.Close(*turn, L"C:\\Erster", bStop);
        if (c.written == Written::AfterIt) give();
        std::optional<RunTurnNotice> closed = ReadRunTurnNotice(place.Path());
        ASSERT_TRUE(closed);
        EXPECT_EQ(closed->handoverKind, L"") << "still taking folders";
        ASSERT_EQ(folders.Count(), c.bTaken ? 2u : 1u);
        if (c.bTaken) {
            EXPECT_EQ(folders.Directory(1), L"D:\\Zweiter");
        }

        // The run: its own folder, then as the case has it.
        folders.End(*folders.Begin(), CaseRunOutcome{});
        if (c.ends == RunEnds::AfterTheFolder)
            while (std::optional<size_t> next = folders.Begin()) folders.End(*next, CaseRunOutcome{});
        if (c.ends == RunEnds::StoppedBeforeIt) folders.GiveUpTheRest();
        if (c.ends == RunEnds::WhileRenamingIt) folders.Begin();
        turn->Release();
        std::optional<CRunTurn> anotherRun;
        if (c.ends == RunEnds::ThenAnotherRunFirst) {
            anotherRun = CRunTurn::TryTake(place.Path());
            ASSERT_TRUE(anotherRun && anotherRun->Holds());
            anotherRun->Publish(L"E:\\Anderer");
        }

        if (!giver) continue;
        std::optional<CRunTurn> ownTurn;
        EXPECT_EQ(giver->Await(ownTurn), c.expected);
        // Where another run has the turn first, the folder's copy waits for it as for any run.
        EXPECT_EQ(ownTurn.has_value(), c.expected == HandoverEnd::Yours && !anotherRun);
        if (ownTurn) {
            EXPECT_TRUE(ownTurn->Holds());
        }
    }
}

// Several folders: one box, each folder under its heading with what was done there, and the
// worst of them as the run's end (a folder gone since it was named: nothing done there). Every
// folder gets the run's whole change: only the extensions, in the second folder as in the first.
TEST(SeveralFolders, OneBoxSaysPerFolderWhatWasDoneAndTheWorstIsTheEnd) {
    TempDirectory dir;
    dir.AddDirectory(L"Eins");
    dir.AddFile(L"Eins\\Brief.DOC");
    dir.AddDirectory(L"Zwei");
    dir.AddFile(L"Zwei\\Frei.TXT");
    dir.AddFile(L"Zwei\\Gesperrt.TXT");
    CFileHandle held = dir.HoldOpen(L"Zwei\\Gesperrt.TXT");
    ASSERT_TRUE(held);
    const std::wstring eins = dir.Path() + L"\\Eins", zwei = dir.Path() + L"\\Zwei", fehlt = dir.Path() + L"\\Fehlt";

    TempDirectory place;
    std::optional<CRunTurn> turn = CRunTurn::TryTake(place.Path());
    ASSERT_TRUE(turn && turn->Holds());
    CRunFolders folders(eins);
    folders.Add(zwei);
    folders.Add(fehlt);
    MessageBoxRecorder boxes;
    EXPECT_EQ(RenameFoldersToCase(CaseChange(CaseDirection::Lower, NamePart::Extension), folders, std::move(*turn),
                                  nullptr, RunDisplay::Windows),
              RunEnd::NothingDone);
    EXPECT_EQ(boxes.Texts(),
              std::vector<std::wstring>{L"Ordner 1 von 3: " + eins + L"\n" + kLowerExtensionsDone + L"\n\n" +
                                        L"Ordner 2 von 3: " + zwei + L"\n" + kNotAll +
                                        L"\nGesperrt.TXT\n\nOrdner 3 von 3: " + fehlt + L"\n" + kNoFiles});
    EXPECT_TRUE(CRunTurn::TryTake(place.Path())) << "the turn was kept after the run";
    EXPECT_EQ(dir.Names(L"Eins"), std::vector<std::wstring>{L"Brief.doc"});
    EXPECT_EQ(dir.Names(L"Zwei"), (std::vector<std::wstring>{L"Frei.txt", L"Gesperrt.TXT"}));
}

// No file renamed without its record, as the user meets it: the journal's folder on a card that
// is full, mounted read-only, or fills up during the run; the question, the quiet run's exit code
// and its words on standard error, and what "Rückgängig" offers afterwards.
#include "app/RenameFilesToCase.h"
#include "app/RunJournalPlace.h"
#include "app/UndoLastRun.h"
#include "filesystem/CUniqueHandle.h"
#include "filesystem/ExtendedPath.h"
#include "renaming/RunJournal.h"
#include "tests/app/QuietRun.h"
#include "tests/support/FatDrive.h"
#include "tests/support/FileBytes.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TempDirectory.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::wstring>;
using Texts = std::vector<std::wstring>;

std::wstring Question(const std::wstring& reason) {
    return L"Diese Umbenennung kann nicht aufgezeichnet und daher nicht r\u00FCckg\u00E4ngig gemacht werden: " +
           reason + L". Trotzdem umbenennen?";
}

// The journal's folder on a small exFAT card of its own (about 2 MB free), put there through the
// program's own place for it.
class RunRecordingTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string why = FatDrive::Unavailable(FatDrive::Kind::ExFat);
        if (!why.empty()) GTEST_SKIP() << "skipped: " << why;
        card.emplace(FatDrive::Kind::ExFat, FatDrive::Caches::Off, "4M");
        SetRunJournalFolder(AfxJoinPath(AfxExtendedPath(card->Root()), L"Umbrix"));
        ASSERT_EQ(RunJournalPath(), AfxJoinPath(AfxExtendedPath(card->Root()), L"Umbrix\\Letzter Lauf.umbrix-journal"));
    }
    void TearDown() override {
        SetRunJournalFolder(std::wstring());
        SetCurrentDirectoryW(L"C:\\");
    }

    // A recorded run whose journal is the last one, as the card held it before it filled up.
    std::string LastRunsJournal() {
        last.AddFile(L"Vorher.TXT");
        MessageBoxRecorder boxes;
        EXPECT_EQ(RenameFilesToCase(CaseDirection::Lower, last.Path()), RunEnd::AllInCase);
        EXPECT_TRUE(UndoOffered());
        return ReadFileBytes(RunJournalPath());
    }
    void Fill() const { card->OnLinux("dd if=/dev/zero of=fill bs=4096 2>/dev/null; sync"); }

    std::optional<FatDrive> card;
    TempDirectory last, dir;
};

TEST_F(RunRecordingTest, AFullFolderAsksNeinRenamesNothingQuietRunsEndWithTwoJaRunsUnrecorded) {
    std::string lastJournal = LastRunsJournal();
    Fill();
    dir.AddFile(L"Brief.DOC");
    dir.AddFile(L"Foto.JPG");
    const Names mixed{L"Brief.DOC", L"Foto.JPG"};
    {
        MessageBoxRecorder boxes(IDNO);
        EXPECT_EQ(RenameFilesToCase(CaseDirection::Upper, dir.Path()), RunEnd::NothingDone);
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        // The volume's own reason, then where the journal would have been.
        std::wstring text = boxes.Texts()[0];
        std::wstring reason =
            JournalFault{ERROR_DISK_FULL, card->Root() + L"Umbrix\\Letzter Lauf.umbrix-journal"}.Reason();
        EXPECT_EQ(text, Question(reason));
        EXPECT_EQ(boxes.Boxes()[0].flags, UINT(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2));
    }
    EXPECT_EQ(dir.Names(), mixed);
    EXPECT_EQ(ReadFileBytes(RunJournalPath()), lastJournal);

    QuietEnd quiet = RunQuietly(CaseDirection::Upper, dir.Path());
    EXPECT_EQ(quiet.nExit, 2);
    EXPECT_NE(quiet.errors.find("kann nicht aufgezeichnet"), std::string::npos) << quiet.errors;
    EXPECT_NE(quiet.errors.find(Utf8(card->Root() + L"Umbrix\\Letzter Lauf.umbrix-journal")), std::string::npos)
        << quiet.errors;
    EXPECT_EQ(dir.Names(), mixed);
    EXPECT_EQ(ReadFileBytes(RunJournalPath()), lastJournal);

    {
        MessageBoxRecorder boxes(IDYES);
        EXPECT_EQ(RenameFilesToCase(CaseDirection::Upper, dir.Path()), RunEnd::AllInCase);
        ASSERT_EQ(boxes.Texts().size(), 2u);
        EXPECT_EQ(boxes.Texts()[1],
                  L"Ok, alle Dateien in GROSSBUCHSTABEN umbenannt.\n\nDiese Umbenennung kann nicht "
                  L"r\u00FCckg\u00E4ngig gemacht werden.");
    }
    EXPECT_EQ(dir.Names(), (Names{L"BRIEF.DOC", L"FOTO.JPG"}));
    // The last run's journal would now speak of files this run has renamed again.
    EXPECT_FALSE(UndoOffered());
    EXPECT_EQ(last.Names(), Names{L"vorher.txt"});
}

// A card mounted read-only refuses every write, also the removal of the last journal: that one
// would stay offered for a run it does not describe, so even "Ja" renames nothing.
TEST_F(RunRecordingTest, AReadOnlyFolderKeepsTheLastJournalAndRenamesNothing) {
    std::string lastJournal = LastRunsJournal();
    card->Remount(FatDrive::Access::ReadOnly);
    dir.AddFile(L"Brief.DOC");
    {
        MessageBoxRecorder boxes(IDYES);
        EXPECT_EQ(RenameFilesToCase(CaseDirection::Upper, dir.Path()), RunEnd::NothingDone);
        ASSERT_EQ(boxes.Texts().size(), 2u);
        EXPECT_NE(boxes.Texts()[1].find(L"Das Journal der letzten Umbenennung kann nicht entfernt werden: "),
                  std::wstring::npos)
            << Utf8(boxes.Texts()[1]);
        EXPECT_EQ(boxes.Boxes()[1].flags, UINT(MB_OK | MB_ICONHAND));
    }
    EXPECT_EQ(RunQuietly(CaseDirection::Upper, dir.Path()).nExit, 2);
    EXPECT_EQ(dir.Names(), Names{L"Brief.DOC"});
    EXPECT_EQ(ReadFileBytes(RunJournalPath()), lastJournal);
    EXPECT_TRUE(UndoOffered());
}

// The card fills up after the first batch: the run stops before the first file it could not
// record, says why, and all it renamed can be taken back.
TEST_F(RunRecordingTest, AFolderFillingUpMidRunStopsTheRunAndWhatWasRenamedIsTakenBack) {
    Names names;
    for (int i = 0; i < 6000; ++i) names.push_back(L"File_" + std::to_wstring(100000 + i) + L".DAT");
    dir.AddFilesOnLinux(names);
    // Room for the first batch (4,096 files, about 400 KB), not for the second (1,904, 180 KB).
    card->OnLinux(
        "free=$(df -B1 --output=avail . | tail -1); dd if=/dev/zero of=fill bs=4096 "
        "count=$(( (free - 450 * 1024) / 4096 )) 2>/dev/null; sync");
    {
        MessageBoxRecorder boxes;
        EXPECT_EQ(RenameFilesToCase(CaseDirection::Lower, dir.Path()), RunEnd::SomeKept);
        ASSERT_EQ(boxes.Texts().size(), 1u);
        std::wstring text = boxes.Texts()[0];
        EXPECT_EQ(text.rfind(L"Angehalten: das Journal kann nicht weitergeschrieben werden (", 0), 0u) << Utf8(text);
        EXPECT_NE(text.find(L"Letzter Lauf.umbrix-journal). 4.096 Dateien wurden in kleine Dateinamen umbenannt."),
                  std::wstring::npos)
            << Utf8(text);
    }
    size_t nLower = 0;
    for (const std::wstring& name : dir.Names()) nLower += name[0] == L'f';
    EXPECT_EQ(nLower, 4096u);
    EXPECT_EQ(FilesToGiveBack(), 4096u);
    MessageBoxRecorder boxes(IDYES);
    UndoLastRun();
    EXPECT_EQ(boxes.Texts().back(),
              L"Alle aufgezeichneten Dateien haben ihre fr\u00FCheren Namen zur\u00FCck. Die "
              L"letzte Umbenennung war vor ihrem Ende beendet worden.");
    EXPECT_EQ(dir.Names(), names);
}

}  // namespace

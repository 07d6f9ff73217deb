// How a run ends, as RenameFilesToCase tells it (a command-line run's exit code): every way a
// run can end, each beside the box the user reads.
#include "app/CCaseRun.h"
#include "app/RenameFilesToCase.h"

#include "filesystem/CUniqueHandle.h"
#include "tests/renaming/RunMessages.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/TestDrive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::wstring>;

// The user's Abbrechen, a tenth of a second into the run, from the loop that waits for it.
void CALLBACK StopTheRun(HWND, UINT, UINT_PTR nIDEvent, DWORD) {
    KillTimer(nullptr, nIDEvent);
    if (CCaseRun* pRun = CCaseRun::Current()) pRun->RequestStop();
}

}  // namespace

TEST(RunEnd, EveryFileInCaseIsAllInCaseEvenWhenNothingWasToDo) {
    MessageBoxRecorder boxes;
    TempDirectory dir;
    dir.AddFile(L"Brief.DOC");
    EXPECT_EQ(RenameFilesToCase(CaseDirection::Lower, dir.Path()), RunEnd::AllInCase);
    EXPECT_EQ(RenameFilesToCase(CaseDirection::Lower, dir.Path()), RunEnd::AllInCase);  // all were so
    dir.AddDirectory(L"Leer");
    EXPECT_EQ(RenameFilesToCase(CaseDirection::Upper, dir.Path() + L"\\Leer"), RunEnd::AllInCase);
    TestDrive drive;  // an empty drive's root says "no files", and nothing failed
    EXPECT_EQ(RenameFilesToCase(CaseDirection::Upper, drive.Root(), nullptr, RunDisplay::Quiet), RunEnd::AllInCase);
    EXPECT_EQ(boxes.Texts(), (Texts{kLowerDone, kLowerDone, kUpperDone, kNoFiles}));
}

TEST(RunEnd, AFileThatKeptItsNameIsSomeKept) {
    MessageBoxRecorder boxes;
    TempDirectory dir;
    dir.AddFile(L"Busy.TXT");
    dir.AddFile(L"Free.TXT");
    CFileHandle busy = dir.HoldOpen(L"Busy.TXT");
    ASSERT_TRUE(busy);
    EXPECT_EQ(RenameFilesToCase(CaseDirection::Lower, dir.Path(), nullptr, RunDisplay::Quiet), RunEnd::SomeKept);
    EXPECT_EQ(boxes.Texts(), (Texts{std::wstring(kNotAll) + L"\nBusy.TXT"}));
}

TEST(RunEnd, ADirectoryThatCannotBeEnteredIsNothingDone) {
    MessageBoxRecorder boxes;
    TempDirectory dir;
    EXPECT_EQ(RenameFilesToCase(CaseDirection::Lower, dir.Path() + L"\\Vanished"), RunEnd::NothingDone);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].flags, UINT(MB_OK | MB_ICONHAND));
}

// Stopped with and without windows: the box tells how far it came, the end is Stopped.
TEST(RunEnd, AStoppedRunIsStopped) {
    TempDirectory dir;
    std::vector<std::wstring> names;
    for (int i = 0; i < 3000; ++i) names.push_back(L"File_" + std::to_wstring(100000 + i) + L".DAT");
    dir.AddFilesOnLinux(names);
    for (RunDisplay display : {RunDisplay::Quiet, RunDisplay::Windows}) {
        MessageBoxRecorder boxes;
        SetTimer(nullptr, 0, 100, &StopTheRun);
        EXPECT_EQ(RenameFilesToCase(CaseDirection::Lower, dir.Path(), nullptr, display), RunEnd::Stopped);
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Texts()[0].rfind(L"Das Umbenennen wurde abgebrochen. ", 0), 0u);
        RenameFilesToCase(CaseDirection::Upper, dir.Path(), nullptr, RunDisplay::Quiet);  // back for the next
    }
}

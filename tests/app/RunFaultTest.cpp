// A fault on the run's thread, here memory running out at points all through the run.
#include "app/RenameFilesToCase.h"

#include "tests/app/FailingHeap.h"
#include "tests/renaming/RunMessages.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TempDirectory.h"

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::wstring>;

Names FileNames(bool bLower) {
    Names names;
    for (int i = 0; i < 40; ++i) names.push_back((bLower ? L"file_" : L"File_") + std::to_wstring(100 + i) +
                                                 (bLower ? L".dat" : L".DAT"));
    return names;
}

// Every file once, under its old name or its new one, with its contents, and nothing beside
// them: no waiting name, no staging folder.
void ExpectEveryFileWhole(const TempDirectory& dir) {
    Names before = FileNames(false), after = FileNames(true);
    EXPECT_EQ(dir.Names().size(), before.size());
    for (size_t i = 0; i < before.size(); ++i) {
        std::string contents = dir.Contents(after[i]);
        EXPECT_EQ(contents == "<missing>" ? dir.Contents(before[i]) : contents, "x") << i;
    }
}

}  // namespace

// The fault comes to the thread that started the run, as if the run had been made there (the
// window procedure ends the window and tells the user), instead of ending the process on the
// spot; no box speaks of a finished run; no file is lost; and the next run does the whole job.
TEST(CaseRunFault, FaultOnTheRunsThreadComesToTheCallerAndTheNextRunDoesTheJob) {
    long nClean = 0;
    {
        TempDirectory dir;
        for (const std::wstring& name : FileNames(false)) dir.AddFile(name, "x");
        MessageBoxRecorder boxes;
        FailingHeap::Count();
        RenameFilesToCase(CaseDirection::Lower, dir.Path());
        nClean = FailingHeap::Allocations();
        FailingHeap::Disarm();
        ASSERT_EQ(boxes.Texts(), std::vector<std::wstring>{kLowerDone});
    }
    ASSERT_GT(nClean, 40) << "the run allocates nothing on a thread of its own";
    for (long nAllowed : {0L, nClean / 4, nClean / 2, nClean * 3 / 4}) {
        SCOPED_TRACE("allocations allowed: " + std::to_string(nAllowed) + " of " + std::to_string(nClean));
        TempDirectory dir;
        for (const std::wstring& name : FileNames(false)) dir.AddFile(name, "x");
        MessageBoxRecorder boxes;
        FailingHeap::FailAfter(nAllowed);
        EXPECT_THROW(RenameFilesToCase(CaseDirection::Lower, dir.Path()), std::bad_alloc);
        FailingHeap::Disarm();
        EXPECT_TRUE(boxes.Texts().empty());
        ExpectEveryFileWhole(dir);

        RenameFilesToCase(CaseDirection::Lower, dir.Path());
        EXPECT_EQ(dir.Names(), FileNames(true));
        EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{kLowerDone});
    }
}

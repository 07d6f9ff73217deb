// The preview of a run: what it counts is what the run then does, and counting changes nothing.
#include "filesystem/ExtendedPath.h"
#include "renaming/ChangeCaseOnDisk.h"
#include "renaming/RunPreview.h"
#include "renaming/StagingFolder.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/UnixShell.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::wstring>;

std::vector<size_t> Counts(const RunPreview& preview) {
    return {preview.nFiles, preview.nToRename, preview.nKeepingName};
}

RunPreview Preview(CaseDirection direction, const TempDirectory& dir) {
    std::atomic<bool> bStop{false};
    RunPreview preview = PreviewRun(direction, dir.ExactPath(), bStop);
    EXPECT_TRUE(preview.bListed);
    EXPECT_FALSE(preview.bStopped);
    return preview;
}

std::map<std::wstring, std::string> Contents(const TempDirectory& dir) {
    std::map<std::wstring, std::string> contents;
    for (const std::wstring& name : dir.Names()) contents[name] = dir.Contents(name);
    return contents;
}

// Already in each case, in neither, case twins, a sub-directory, a name no path can spell
// (bytes that are not UTF-8 on the Linux disk) and one whose conversion would be more than a
// change of case.
void FillMixedDirectory(TempDirectory& dir) {
    dir.AddFile(L"lower.txt");
    dir.AddFile(L"UPPER.TXT");
    dir.AddFile(L"Mixed.Txt");
    dir.AddFile(L"Stra\u00DFe.doc");  // "ß" stays as it is either way
    dir.AddFile(L"twin.txt", "lower twin");
    dir.AddFileOnLinux(L"TWIN.TXT", "upper twin");
    dir.AddFile(L"Pair.txt");
    dir.AddFileOnLinux(L"pair.TXT", "second of a pair");
    dir.AddDirectory(L"Folder");
    RunUnixShell("cd " + ShellQuote(UnixPath(dir.Path())) + " && printf x > \"$(printf 'Bad\\377Name.TXT')\"");
}

}  // namespace

TEST(RunPreview, CountsWhatTheRunThenDoesInEitherDirectionAndTouchesNothing) {
    for (CaseDirection direction : {CaseDirection::Lower, CaseDirection::Upper}) {
        SCOPED_TRACE(direction == CaseDirection::Lower ? "lower" : "upper");
        TempDirectory dir;
        FillMixedDirectory(dir);
        std::map<std::wstring, std::string> before = Contents(dir);
        RunPreview preview = Preview(direction, dir);
        EXPECT_EQ(Contents(dir), before) << "the preview changed the directory";

        CaseRunOutcome outcome = ChangeCaseOnDisk(direction, dir.ExactPath());
        EXPECT_EQ(preview.nFiles, 9u);
        EXPECT_EQ(preview.nToRename, outcome.nRenamed);
        EXPECT_EQ(preview.nKeepingName, outcome.kept.size());
        // Lower: "UPPER.TXT", "Mixed.Txt" and "Straße.doc" renamed; "TWIN.TXT", both of the
        // pair (each holds the other's name) and the unspellable name keep theirs. Upper:
        // "lower.txt", "Mixed.Txt" and "Straße.doc" ("STRAßE.DOC") renamed; "twin.txt", the
        // pair and the unspellable name kept.
        EXPECT_EQ(Counts(preview), (std::vector<size_t>{9, 3, 4}));
    }
}

TEST(RunPreview, EmptyOneFileAlreadyInCaseAndUnreadable) {
    TempDirectory dir;
    EXPECT_EQ(Counts(Preview(CaseDirection::Lower, dir)), (std::vector<size_t>{0, 0, 0}));
    dir.AddDirectory(L"Only A Folder");
    EXPECT_EQ(Counts(Preview(CaseDirection::Upper, dir)), (std::vector<size_t>{0, 0, 0}));
    dir.AddFile(L"readme.txt");
    EXPECT_EQ(Counts(Preview(CaseDirection::Lower, dir)), (std::vector<size_t>{1, 0, 0}));
    EXPECT_EQ(Counts(Preview(CaseDirection::Upper, dir)), (std::vector<size_t>{1, 1, 0}));

    std::atomic<bool> bStop{false};
    RunPreview missing = PreviewRun(CaseDirection::Lower, AfxJoinPath(dir.ExactPath(), L"gone"), bStop);
    EXPECT_FALSE(missing.bListed);
    EXPECT_EQ(Counts(missing), (std::vector<size_t>{0, 0, 0}));
}

TEST(RunPreview, GivesUpWhenAskedAndSaysSo) {
    TempDirectory dir;
    dir.AddFile(L"A.TXT");
    std::atomic<bool> bStop{true};
    RunPreview preview = PreviewRun(CaseDirection::Lower, dir.ExactPath(), bStop);
    EXPECT_TRUE(preview.bStopped);
    EXPECT_EQ(preview.nToRename, 0u);
}

// A file waiting beside the others for a staging folder is the folder's, not a file to rename;
// the preview only looks, so the next run still takes the folder and brings the file back.
TEST(RunPreview, FilesWaitingForAStagingFolderAreLeftToItAndTheFolderToTheNextRun) {
    TempDirectory dir;
    dir.AddFile(L"Waiting.TXT", "waits");
    dir.AddFile(L"Other.TXT");
    std::wstring waiting;
    {
        std::optional<CStagingFolder> staging =
            CStagingFolder::Create(dir.ExactPath(), CNameCensus(ReadDirectoryListing(dir.ExactPath()).entries));
        ASSERT_TRUE(staging);
        waiting = staging->WaitingNameOf(L"Waiting.TXT");
        ASSERT_TRUE(MoveFileExW(AfxJoinPath(dir.ExactPath(), L"Waiting.TXT").c_str(),
                                AfxJoinPath(dir.ExactPath(), waiting).c_str(), 0));
    }
    std::map<std::wstring, std::string> before = Contents(dir);
    EXPECT_EQ(Counts(Preview(CaseDirection::Lower, dir)), (std::vector<size_t>{1, 1, 0}));
    EXPECT_EQ(Contents(dir), before);

    CaseRunOutcome outcome = ChangeCaseOnDisk(CaseDirection::Lower, dir.ExactPath());
    EXPECT_TRUE(outcome.kept.empty());
    EXPECT_EQ(dir.Names(), (Names{L"other.txt", L"waiting.txt"}));
    EXPECT_EQ(dir.Contents(L"waiting.txt"), "waits");
}

// A directory whose listing breaks off midway (the card pulled, the share gone) is never taken
// for a directory that ends there: the run, the undo, the count line, the dry run and the quiet
// run say "Verzeichnis nicht lesbar", rename nothing and keep the journal.
#include "app/CommandLinePreview.h"
#include "app/RenameFilesToCase.h"
#include "app/RunJournalPlace.h"
#include "app/UndoLastRun.h"
#include "dirselect/FileCountText.h"
#include "filesystem/SystemErrorText.h"
#include "renaming/RunPreview.h"
#include "renaming/RunJournal.h"
#include "tests/app/QuietRun.h"
#include "tests/support/BreakingFolder.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TempDirectory.h"
#include "wine/WineHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::wstring>;

// Wine's answer when the directory cannot be entered again for the next part of its listing.
const std::wstring kBrokenOff = AfxToWide("Verzeichnis nicht lesbar: ") + AfxSystemReason(ERROR_NOT_READY);

size_t CountLower(const Names& names) {
    return std::count_if(names.begin(), names.end(), [](const std::wstring& name) { return name[0] == L'd'; });
}

TEST(FailedListing, TheRunTheCountTheUndoAndTheQuietRunSaySoAndRenameNothing) {
    std::string why = BreakingFolder::Unavailable();
    if (!why.empty()) GTEST_SKIP() << "skipped: " << why;
    WithdrawRunJournal(RunJournalPath());
    BreakingFolder folder;
    // More than one part of a listing holds.
    Names names;
    for (int i = 0; i < 1000; ++i) names.push_back(L"Datei_" + std::to_wstring(10000 + i) + L".TXT");
    folder.AddFiles(names);
    std::sort(names.begin(), names.end());
    TempDirectory check(folder.Path());  // reads the names through the layer, leaves the folder

    folder.Arm();
    {
        MessageBoxRecorder boxes;
        EXPECT_EQ(RenameFilesToCase(CaseDirection::Lower, folder.Path()), RunEnd::NothingDone);
        EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{kBrokenOff + L"\n" + folder.Path()});
    }
    std::atomic<bool> bStop{false};
    RunPreview preview = PreviewRun(CaseDirection::Lower, wine::ExactPath(folder.Path()), bStop);
    EXPECT_FALSE(preview.bListed);
    EXPECT_EQ(AfxToWide(FileCountText(CaseDirection::Lower, preview)), kBrokenOff);
    {
        MessageBoxRecorder boxes;
        EXPECT_EQ(PreviewFromCommandLine(CaseChange(CaseDirection::Lower, NamePart::Extension), folder.Path()), 2);
        EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{kBrokenOff + L"\n" + folder.Path()});
    }
    folder.Arm(false);
    EXPECT_EQ(check.Names(), names);
    EXPECT_FALSE(UndoOffered()) << "a run that renamed nothing took the last journal's place";

    {
        MessageBoxRecorder boxes;
        ASSERT_EQ(RenameFilesToCase(CaseDirection::Lower, folder.Path()), RunEnd::AllInCase);
    }
    ASSERT_EQ(CountLower(check.Names()), names.size());
    folder.Arm();
    {
        MessageBoxRecorder boxes(IDYES);
        UndoLastRun();
        ASSERT_EQ(boxes.Texts().size(), 2u);
        EXPECT_EQ(boxes.Texts()[1],
                  kBrokenOff + L"\n" + folder.Path() +
                      L"\n\nDie letzte Umbenennung kann r\u00FCckg\u00E4ngig gemacht werden, sobald es "
                      L"wieder lesbar ist.");
    }
    EXPECT_EQ(FilesToGiveBack(), names.size());
    // Read once already: the quiet run's listing breaks off too.
    QuietEnd quiet = RunQuietly(CaseDirection::Lower, folder.Path());
    EXPECT_EQ(quiet.nExit, 2);
    EXPECT_NE(quiet.errors.find(Utf8(kBrokenOff)), std::string::npos) << quiet.errors;
    folder.Arm(false);
    EXPECT_EQ(CountLower(check.Names()), names.size());
    MessageBoxRecorder boxes(IDYES);
    UndoLastRun();
    EXPECT_EQ(boxes.Texts().back(), L"Ok, alle Dateien haben ihre fr\u00FCheren Namen zur\u00FCck.");
    EXPECT_EQ(check.Names(), names);
}

}  // namespace

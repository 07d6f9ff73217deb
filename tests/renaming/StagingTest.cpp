// The staging route, taken where a case-only rename is a silent no-op (under Wine: the
// extended Win32 path), and what a run finds in staging folders that an ended run left.
#include "filesystem/CUniqueHandle.h"
#include "filesystem/ExtendedPath.h"
#include "renaming/CaseConversion.h"
#include "renaming/ChangeCaseOnDisk.h"
#include "renaming/StagingFolder.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/UnixShell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <regex>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::wstring>;

class StagingTest : public ::testing::Test {
protected:
    // A staging folder as the program makes one, with these files of the directory moved in,
    // as if a run had been ended between its two steps.
    std::wstring LeaveInStaging(const std::vector<std::wstring>& names) {
        CStagingFolder staging = *CStagingFolder::Create(dir.ExactPath(), CNameCensus(Listing()));
        for (const std::wstring& name : names)
            EXPECT_TRUE(MoveFileExW(AfxJoinPath(dir.ExactPath(), name).c_str(), staging.PathOf(name).c_str(), 0));
        return staging.RelativePathOf(L"");
    }

    // The same with one file waiting beside the others; its waiting name.
    std::wstring LeaveBeside(const std::wstring& name) {
        CStagingFolder staging = *CStagingFolder::Create(dir.ExactPath(), CNameCensus(Listing()));
        std::wstring waiting = staging.WaitingNameOf(name);
        EXPECT_FALSE(waiting.empty());
        EXPECT_TRUE(
            MoveFileExW(AfxJoinPath(dir.ExactPath(), name).c_str(), AfxJoinPath(dir.ExactPath(), waiting).c_str(), 0));
        return waiting;
    }

    std::vector<ListingEntry> Listing() const { return ReadDirectoryListing(dir.ExactPath()).entries; }

    // The files that kept their names.
    Names Run(CaseDirection direction) { return ChangeCaseOnDisk(direction, dir.ExactPath()).kept; }

    TempDirectory dir;
};

std::wstring WorkerPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring result(path);
    return result.substr(0, result.find_last_of(L"\\/") + 1) + L"staged_rename_worker.exe";
}

// A waiting file's own name: without "~" and eight hex digits at its end.
std::wstring WithoutWaitingSuffix(const std::wstring& name) {
    static const std::wregex suffix(L"~[0-9a-f]{8}$");
    return std::regex_replace(name, suffix, L"");
}

// Every file, wherever it is now (the directory, beside the others under a waiting name, or
// in a staging folder), by its case-folded own name.
std::map<std::wstring, Names> WhereaboutsByFoldedName(const TempDirectory& dir) {
    std::map<std::wstring, Names> found;
    for (const std::wstring& name : dir.Names()) {
        if (name.rfind(L".umbrix-staging", 0) == 0) {
            for (const std::wstring& waiting : dir.Names(name + L"\\files"))
                found[CaseFoldKey(waiting)].push_back(name + L"\\files\\" + waiting);
            continue;
        }
        found[CaseFoldKey(WithoutWaitingSuffix(name))].push_back(name);
    }
    return found;
}

}  // namespace

TEST_F(StagingTest, StagedRouteRenamesLongNamesAndLeavesNoFolder) {
    std::wstring longName = L"Staged-" + std::wstring(244, L'Q') + L".Txt";  // 255 characters
    dir.AddFilesOnLinux({longName, L"Plain.TXT"});
    dir.AddFile(L"twin.txt", "lower twin");
    dir.AddFileOnLinux(L"TWIN.TXT", "upper twin");
    CaseRunOutcome outcome = ChangeCaseOnDisk(CaseDirection::Lower, AfxExtendedPath(dir.Path()));
    EXPECT_EQ(dir.Names(),
              (Names{L"TWIN.TXT", L"plain.txt", L"staged-" + std::wstring(244, L'q') + L".txt", L"twin.txt"}));
    EXPECT_EQ(dir.Contents(L"staged-" + std::wstring(244, L'q') + L".txt"), Utf8(longName));
    EXPECT_EQ(dir.Contents(L"TWIN.TXT"), "upper twin");
    EXPECT_EQ(outcome.kept, (Names{L"TWIN.TXT"}));
    // Each rename by its names, the two steps as one, whatever order the run took them in.
    std::sort(outcome.renames.begin(), outcome.renames.end(),
              [](const NameChange& a, const NameChange& b) { return a.from < b.from; });
    EXPECT_TRUE(outcome.bRenamesNamed);
    EXPECT_EQ(outcome.renames, (std::vector<NameChange>{{L"Plain.TXT", L"plain.txt"},
                                                        {longName, L"staged-" + std::wstring(244, L'q') + L".txt"}}));
}

TEST_F(StagingTest, FilesLeftByAnEndedRunComeBackInTheRequestedCase) {
    dir.AddFile(L"Report.TXT", "report");
    dir.AddFile(L"Other.TXT", "other");
    LeaveInStaging({L"Report.TXT"});
    ASSERT_EQ(dir.Names(), (Names{L".umbrix-staging", L"Other.TXT"}));
    CaseRunOutcome outcome = ChangeCaseOnDisk(CaseDirection::Lower, dir.ExactPath());
    EXPECT_EQ(outcome.kept, Names{});
    // A file came into the directory besides the renames: the run names none of them.
    EXPECT_EQ(outcome.nRenamed, 1u);
    EXPECT_FALSE(outcome.bRenamesNamed);
    EXPECT_TRUE(outcome.renames.empty());
    EXPECT_EQ(dir.Names(), (Names{L"other.txt", L"report.txt"}));
    EXPECT_EQ(dir.Contents(L"report.txt"), "report");
}

TEST_F(StagingTest, FileThatCannotComeBackIsNamedAndAUsersLookAlikeFolderIsLeftAlone) {
    dir.AddDirectory(L".umbrix-staging");  // the user's own, without our marker
    dir.AddDirectory(L".umbrix-staging\\files");
    dir.AddFile(L".umbrix-staging\\files\\Mine.TXT", "mine");
    dir.AddFile(L"Notes.TXT", "staged notes");
    std::wstring staging = LeaveInStaging({L"Notes.TXT"});
    dir.AddFile(L"notes.txt", "newer notes");  // takes both names the staged file could have

    Names kept = Run(CaseDirection::Lower);
    EXPECT_EQ(dir.Names(L".umbrix-staging\\files"), (Names{L"Mine.TXT"}));
    EXPECT_EQ(dir.Names(staging), (Names{L"Notes.TXT"}));
    EXPECT_EQ(dir.Contents(staging + L"Notes.TXT"), "staged notes");
    EXPECT_EQ(dir.Contents(L"notes.txt"), "newer notes");
    EXPECT_EQ(kept, (Names{staging + L"Notes.TXT"}));
}

// Files of an ended run that wait beside the others come back; a user's file that only looks
// like one (another suffix than the folder's marker names) is renamed like any file.
TEST_F(StagingTest, FilesWaitingBesideTheOthersComeBackAndALookAlikeIsAnOrdinaryFile) {
    dir.AddFile(L"Report.TXT", "report");
    dir.AddFile(L"Mine.TXT~0123abcd", "mine");
    std::wstring waiting = LeaveBeside(L"Report.TXT");
    EXPECT_EQ(WithoutWaitingSuffix(waiting), L"Report.TXT") << Utf8(waiting);

    EXPECT_EQ(Run(CaseDirection::Upper), Names{});
    EXPECT_EQ(dir.Names(), (Names{L"MINE.TXT~0123ABCD", L"REPORT.TXT"}));
    EXPECT_EQ(dir.Contents(L"REPORT.TXT"), "report");
    EXPECT_EQ(dir.Contents(L"MINE.TXT~0123ABCD"), "mine");
}

// A waiting file whose names are both taken meanwhile stays under its waiting name, untouched
// by the run, and the folder's marker stays with it, so that a later run still knows it.
TEST_F(StagingTest, WaitingFileThatCannotComeBackKeepsItsFolderUntilALaterRun) {
    dir.AddFile(L"Notes.TXT", "staged notes");
    std::wstring waiting = LeaveBeside(L"Notes.TXT");
    dir.AddFile(L"notes.txt", "newer notes");  // answers to both names the waiting file could take

    EXPECT_EQ(Run(CaseDirection::Upper), Names{waiting});
    EXPECT_EQ(dir.Names(), (Names{L".umbrix-staging", L"NOTES.TXT", waiting}));
    EXPECT_EQ(dir.Contents(waiting), "staged notes");
    EXPECT_EQ(dir.Contents(L"NOTES.TXT"), "newer notes");

    ASSERT_TRUE(DeleteFileW((dir.Path() + L"\\NOTES.TXT").c_str()));
    EXPECT_EQ(Run(CaseDirection::Lower), Names{});
    EXPECT_EQ(dir.Names(), (Names{L"notes.txt"}));
    EXPECT_EQ(dir.Contents(L"notes.txt"), "staged notes");
}

TEST_F(StagingTest, RunEndedMidwayLosesNoFileAndTheNextRunFinishesIt) {
    Names names;
    for (int i = 0; i < 1500; ++i) names.push_back(L"File_" + std::to_wstring(10000 + i) + L".DAT");
    dir.AddFilesOnLinux(names);

    std::wstring command = L"\"" + WorkerPath() + L"\" \"" + dir.Path() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(
        CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    CKernelHandle worker(process.hProcess), workerThread(process.hThread);
    size_t renamed = 0;
    for (int waited = 0; renamed < 100 && waited < 20000; waited += 10) {
        Sleep(10);
        renamed = 0;
        for (const std::wstring& name : dir.Names()) renamed += name.rfind(L"file_", 0) == 0;
    }
    TerminateProcess(worker.Get(), 9);
    WaitForSingleObject(worker.Get(), 10000);
    ASSERT_GE(renamed, 100u) << "the worker renamed nothing";

    std::map<std::wstring, Names> whereabouts = WhereaboutsByFoldedName(dir);
    ASSERT_EQ(whereabouts.size(), names.size());
    for (const auto& [key, places] : whereabouts) EXPECT_EQ(places.size(), 1u) << Utf8(key);

    EXPECT_EQ(Run(CaseDirection::Lower), Names{});
    Names after = dir.Names();
    ASSERT_EQ(after.size(), names.size());
    for (const std::wstring& name : names) {
        std::wstring lower = *ConvertedName(CaseDirection::Lower, name);
        EXPECT_EQ(dir.Contents(lower), Utf8(name));
    }
}

namespace {

// The marker of a staging folder the program made, as someone could copy it.
std::string CopiedMarker() {
    TempDirectory elsewhere;
    CStagingFolder::Create(elsewhere.ExactPath(), CNameCensus({}));
    return elsewhere.Contents(L".umbrix-staging\\umbrix-staging.marker");
}

std::string Linux(const std::wstring& path) { return ShellQuote(UnixPath(path)); }

}  // namespace

// Planted by someone who can write to the directory: a marked staging folder whose files folder
// is a link to another user's folder, and a staging folder that is itself a link to a folder
// that holds a marker and files. Neither is entered, emptied or removed.
TEST_F(StagingTest, PlantedLinksAreNeitherFollowedNorRemoved) {
    TempDirectory victim, victimFolder;
    victim.AddFile(L"Private.TXT", "private");
    victimFolder.AddFile(L"umbrix-staging.marker", CopiedMarker());
    victimFolder.AddDirectory(L"files");
    victimFolder.AddFile(L"files\\Diary.TXT", "diary");
    dir.AddFile(L"Shared.TXT", "shared");
    dir.AddDirectory(L".umbrix-staging");
    dir.AddFile(L".umbrix-staging\\umbrix-staging.marker", CopiedMarker());
    RunUnixShell("ln -s " + Linux(victim.Path()) + " " + Linux(dir.Path() + L"\\.umbrix-staging\\files") + "\nln -s " +
                 Linux(victimFolder.Path()) + " " + Linux(dir.Path() + L"\\.umbrix-staging-2"));

    EXPECT_EQ(Run(CaseDirection::Lower), Names{});
    EXPECT_EQ(dir.Names(), (Names{L".umbrix-staging", L".umbrix-staging-2", L"shared.txt"}));
    EXPECT_EQ(dir.Names(L".umbrix-staging"), (Names{L"files", L"umbrix-staging.marker"}));
    EXPECT_EQ(victim.Names(), Names{L"Private.TXT"});
    EXPECT_EQ(victim.Contents(L"Private.TXT"), "private");
    EXPECT_EQ(victimFolder.Names(), (Names{L"files", L"umbrix-staging.marker"}));
    EXPECT_EQ(victimFolder.Names(L"files"), Names{L"Diary.TXT"});
    EXPECT_EQ(victimFolder.Contents(L"files\\Diary.TXT"), "diary");
    // Tidied on the Linux side, so that removing the directory does not follow them either.
    RunUnixShell("rm " + Linux(dir.Path() + L"\\.umbrix-staging\\files") + " " +
                 Linux(dir.Path() + L"\\.umbrix-staging-2"));
}

// Beside the others, under the waiting name of one of the program's own staging folders, a link
// to another user's file: it stays where it is, and so do the folder and the file it names.
TEST_F(StagingTest, WaitingNameThatIsALinkStaysAndIsNamed) {
    TempDirectory victim;
    victim.AddFile(L"Private.TXT", "private");
    dir.AddFile(L"Plain.TXT", "plain");
    std::wstring waiting = LeaveBeside(L"Plain.TXT");
    ASSERT_TRUE(DeleteFileW(AfxJoinPath(dir.ExactPath(), waiting).c_str()));
    RunUnixShell("ln -s " + Linux(victim.Path() + L"\\Private.TXT") + " " + Linux(dir.Path() + L"\\" + waiting));

    EXPECT_EQ(Run(CaseDirection::Lower), Names{waiting});
    EXPECT_EQ(dir.Names(), (Names{L".umbrix-staging", waiting}));
    EXPECT_EQ(victim.Names(), Names{L"Private.TXT"});
    EXPECT_EQ(victim.Contents(L"Private.TXT"), "private");
}

// A staging folder that another run holds is that run's: its waiting files stay where they are
// and are named as kept. Once that run has ended, the next run brings them back.
TEST_F(StagingTest, FolderHeldByAnotherRunIsLeftToItUntilItEnds) {
    dir.AddFile(L"Report.TXT", "report");
    dir.AddFile(L"Notes.TXT", "notes");
    dir.AddFile(L"Other.TXT", "other");
    std::wstring waiting;
    {
        std::optional<CStagingFolder> other = CStagingFolder::Create(dir.ExactPath(), CNameCensus(Listing()));
        ASSERT_TRUE(other);
        ASSERT_TRUE(
            MoveFileExW(AfxJoinPath(dir.ExactPath(), L"Report.TXT").c_str(), other->PathOf(L"Report.TXT").c_str(), 0));
        waiting = other->WaitingNameOf(L"Notes.TXT");
        ASSERT_TRUE(MoveFileExW(AfxJoinPath(dir.ExactPath(), L"Notes.TXT").c_str(),
                                AfxJoinPath(dir.ExactPath(), waiting).c_str(), 0));

        EXPECT_EQ(Run(CaseDirection::Lower), (Names{L".umbrix-staging\\files\\Report.TXT", waiting}));
        EXPECT_EQ(dir.Names(), (Names{L".umbrix-staging", waiting, L"other.txt"}));
        EXPECT_EQ(dir.Names(L".umbrix-staging\\files"), Names{L"Report.TXT"});
    }
    EXPECT_EQ(Run(CaseDirection::Lower), Names{});
    EXPECT_EQ(dir.Names(), (Names{L"notes.txt", L"other.txt", L"report.txt"}));
    EXPECT_EQ(dir.Contents(L"notes.txt"), "notes");
    EXPECT_EQ(dir.Contents(L"report.txt"), "report");
}

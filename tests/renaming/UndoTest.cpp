// A run taken back from its journal: every file it renamed gets its earlier name back, the
// same file and only that one, after the run ended normally, was stopped or was killed; on the
// Linux disk, and on FAT32 and exFAT cards mounted as users mount them.
#include "filesystem/CUniqueHandle.h"
#include "filesystem/ExtendedPath.h"
#include "renaming/ChangeCaseOnDisk.h"
#include "tests/support/FatDrive.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/UnixShell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::wstring>;

Names Sorted(Names names) {
    std::sort(names.begin(), names.end());
    return names;
}

class UndoTest : public ::testing::Test {
protected:
    std::wstring JournalPath() const { return journalFolder.ExactPath() + L"\\run.journal"; }

    CaseRunOutcome RunRecorded(const CaseChange& change, const std::wstring& directory) {
        CRunJournalWriter writer(JournalPath());
        EXPECT_FALSE(writer.Start());
        CaseRunOutcome outcome = ChangeCaseOnDisk(change, directory, nullptr, &writer);
        writer.Finish();
        return outcome;
    }

    RunJournal Journal() const {
        JournalReading reading = ReadRunJournal(JournalPath());
        EXPECT_EQ(reading.state, JournalState::Trusted);
        return reading.journal;
    }

    // A journal of one folder: that folder's part.
    JournalFolder Folder() const {
        RunJournal journal = Journal();
        EXPECT_EQ(journal.folders.size(), 1u);
        return journal.folders.empty() ? JournalFolder() : journal.folders[0];
    }

    TempDirectory dir;
    TempDirectory journalFolder;
};

TEST_F(UndoTest, ALowerRunOverMixedNamesIsTakenBackExactly) {
    const Names names{L"Rechnung M\x00E4rz 2026.PDF",
                      L"IMG_0042 Oma.JPG",
                      L"\x0391\x039B\x03A6\x0391.Txt",
                      L"schon klein.txt",
                      L"Music.",
                      L"Lang-" + std::wstring(120, L'\x00D6') + L".Txt"};
    dir.AddFilesOnLinux(names);
    dir.AddDirectory(L"Archiv");
    CaseRunOutcome forward = RunRecorded(CaseDirection::Lower, dir.ExactPath());
    ASSERT_EQ(forward.kept, Names{});
    ASSERT_EQ(forward.nRenamed, 5u);
    RunJournal journal = Journal();
    // Exactly the files the run renamed, each with the name it had.
    ASSERT_EQ(journal.folders.size(), 1u);
    EXPECT_EQ(journal.folders[0].entries.size(), 5u);
    EXPECT_EQ(journal.folders[0].shownDirectory, dir.ExactPath());
    // On the Linux disk a rename keeps the file ID (the inode), the serial and the last-write time.
    EXPECT_EQ(journal.folders[0].survivingParts, uint32_t(kIdentityAll));
    EXPECT_TRUE(journal.bEnded);
    EXPECT_EQ(FilesStillRenamed(journal), 5u);

    CaseRunOutcome undo = RestoreEarlierNames(journal).at(0);
    EXPECT_TRUE(undo.bListed);
    EXPECT_FALSE(undo.bStopped);
    EXPECT_EQ(undo.kept, Names{});
    EXPECT_EQ(undo.nRenamed, 5u);
    Names expected = names;
    expected.push_back(L"Archiv");
    EXPECT_EQ(dir.Names(), Sorted(expected));
    for (const std::wstring& name : names) EXPECT_EQ(dir.Contents(name), Utf8(name));

    // The journal is the last run's; one that renamed nothing leaves it as it was.
    ASSERT_EQ(RunRecorded(CaseDirection::Upper, dir.ExactPath()).nRenamed, 6u);
    ASSERT_EQ(RunRecorded(CaseDirection::Upper, dir.ExactPath()).nRenamed, 0u);
    EXPECT_EQ(Folder().entries.size(), 6u) << "a run that renamed nothing replaced the journal";
    EXPECT_EQ(RestoreEarlierNames(Journal()).at(0).kept, Names{});
    EXPECT_EQ(dir.Names(), Sorted(expected));
}

// A run that changed only extensions records whole names; its undo gives each file exactly the
// name it had, capitals of the name and all, and leaves the files it did not rename alone.
TEST_F(UndoTest, AnExtensionRunIsTakenBackToTheWholeEarlierNames) {
    const Names names{
        L"IMG_1234.JPG", L"Rechnung M\x00E4rz.PDF", L"Archiv.TAR.Gz", L"LIESMICH", L".Profil", L"Foto.JPG",
        L"Foto.jpg"};
    dir.AddFilesOnLinux(names);
    CaseRunOutcome forward = RunRecorded(CaseChange(CaseDirection::Lower, NamePart::Extension), dir.ExactPath());
    ASSERT_EQ(forward.nRenamed, 3u);
    ASSERT_EQ(forward.kept, Names{L"Foto.JPG"});
    ASSERT_EQ(dir.Names(), Sorted({L".Profil", L"Archiv.TAR.gz", L"Foto.JPG", L"Foto.jpg", L"IMG_1234.jpg", L"LIESMICH",
                                   L"Rechnung M\x00E4rz.pdf"}));
    ASSERT_EQ(Folder().entries.size(), 3u);
    CaseRunOutcome undo = RestoreEarlierNames(Journal()).at(0);
    EXPECT_EQ(undo.kept, Names{});
    EXPECT_EQ(undo.nRenamed, 3u);
    EXPECT_EQ(dir.Names(), Sorted(names));
    for (const std::wstring& name : names) EXPECT_EQ(dir.Contents(name), Utf8(name));
}

// Files held open keep their names: the journal ends holding exactly the files renamed, each
// with its earlier name, and the undo gives back those and touches the held ones not.
TEST_F(UndoTest, TheJournalHoldsExactlyTheFilesThatWereRenamed) {
    const Names names{L"A.TXT", L"B.TXT", L"C.Doc", L"D", L"schon.txt"};
    const std::vector<Names> heldSets{{}, {L"B.TXT"}, {L"A.TXT", L"C.Doc"}};
    for (const Names& held : heldSets) {
        TempDirectory folder;
        folder.AddFilesOnLinux(names);
        std::vector<CFileHandle> handles;
        for (const std::wstring& name : held)
            handles.emplace_back(CreateFileW((folder.ExactPath() + L"\\" + name).c_str(), GENERIC_READ,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
        for (const CFileHandle& handle : handles) ASSERT_TRUE(handle);
        CaseRunOutcome forward = RunRecorded(CaseDirection::Lower, folder.ExactPath());
        handles.clear();
        Names expected;
        for (const std::wstring& name : Names{L"A.TXT", L"B.TXT", L"C.Doc", L"D"})
            if (std::find(held.begin(), held.end(), name) == held.end()) expected.push_back(name);
        EXPECT_EQ(forward.nRenamed, expected.size());
        Names earlier;
        for (const JournalEntry& entry : Folder().entries) earlier.push_back(entry.earlierName);
        EXPECT_EQ(Sorted(earlier), expected) << held.size() << " held";
        EXPECT_EQ(RestoreEarlierNames(Journal()).at(0).kept, Names{});
        EXPECT_EQ(folder.Names(), names);
    }
}

TEST_F(UndoTest, FilesThatChangedSinceAreLeftAsTheyAreAndNamed) {
    dir.AddFilesOnLinux({L"Stays.TXT", L"Gone.TXT", L"Moved.TXT", L"Replaced.TXT", L"Taken.TXT"});
    ASSERT_EQ(RunRecorded(CaseDirection::Lower, dir.ExactPath()).nRenamed, 5u);
    // Since the run: one file deleted, one renamed again, one replaced by another of the same name
    // and size (Linux may give it the inode the deleted one had), and one earlier name taken.
    RunUnixShell("cd " + ShellQuote(UnixPath(dir.Path())) +
                 " && rm gone.txt && mv moved.txt Moved-Again.txt && rm replaced.txt && sleep 0.01 &&"
                 " printf XXXXXXXXXXXX > replaced.txt && printf other > Taken.TXT");
    CaseRunOutcome undo = RestoreEarlierNames(Journal()).at(0);
    EXPECT_EQ(undo.kept, (Names{L"gone.txt", L"moved.txt", L"replaced.txt", L"taken.txt"}));
    EXPECT_EQ(undo.nRenamed, 1u);
    EXPECT_EQ(dir.Names(), (Names{L"Moved-Again.txt", L"Stays.TXT", L"Taken.TXT", L"replaced.txt", L"taken.txt"}));
    EXPECT_EQ(dir.Contents(L"replaced.txt"), "XXXXXXXXXXXX");
    EXPECT_EQ(dir.Contents(L"Taken.TXT"), "other");
    EXPECT_EQ(dir.Contents(L"taken.txt"), "Taken.TXT");
    EXPECT_EQ(dir.Contents(L"Moved-Again.txt"), "Moved.TXT");
}

TEST_F(UndoTest, AStoppedUndoKeepsWhatItDidNotReachAndAnUnreachableDirectoryTouchesNothing) {
    dir.AddFilesOnLinux({L"Alpha.TXT", L"Beta.TXT"});
    ASSERT_EQ(RunRecorded(CaseDirection::Lower, dir.ExactPath()).nRenamed, 2u);
    CaseRunControl control;
    control.bStopRequested = true;
    CaseRunOutcome stopped = RestoreEarlierNames(Journal(), &control).at(0);
    EXPECT_TRUE(stopped.bStopped);
    EXPECT_EQ(stopped.nRenamed, 0u);
    EXPECT_EQ(stopped.unreached, Folder().entries);
    EXPECT_EQ(dir.Names(), (Names{L"alpha.txt", L"beta.txt"}));

    RunJournal gone = Journal();
    gone.folders[0].directory += L"-elsewhere";
    CaseRunOutcome unreachable = RestoreEarlierNames(gone).at(0);
    EXPECT_FALSE(unreachable.bListed);
    EXPECT_EQ(dir.Names(), (Names{L"alpha.txt", L"beta.txt"}));

    EXPECT_EQ(RestoreEarlierNames(Journal()).at(0).kept, Names{});
    EXPECT_EQ(dir.Names(), (Names{L"Alpha.TXT", L"Beta.TXT"}));
}

std::wstring WorkerPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring result(path);
    return result.substr(0, result.find_last_of(L"\\/") + 1) + L"staged_rename_worker.exe";
}

size_t CountLower(const Names& names) {
    return std::count_if(names.begin(), names.end(), [](const std::wstring& name) { return name[0] == L'f'; });
}

TEST_F(UndoTest, ARunKilledMidwayIsTakenBackUpToWhereItGot) {
    Names names;
    for (int i = 0; i < 10000; ++i) names.push_back(L"File_" + std::to_wstring(100000 + i) + L".DAT");
    dir.AddFilesOnLinux(names);
    // The staged route: slow enough to be ended in the middle, and files then wait between steps.
    std::wstring command = L"\"" + WorkerPath() + L"\" \"" + dir.Path() + L"\" \"" + JournalPath() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(
        CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    CKernelHandle worker(process.hProcess), workerThread(process.hThread);
    size_t renamed = 0;
    for (int waited = 0; renamed < 300 && waited < 60000; waited += 20) {
        Sleep(20);
        renamed = CountLower(dir.Names());
    }
    TerminateProcess(worker.Get(), 9);
    WaitForSingleObject(worker.Get(), 10000);
    ASSERT_GE(renamed, 300u) << "the worker renamed too little";
    renamed = CountLower(dir.Names());
    ASSERT_LT(renamed, names.size()) << "the run had ended before it was killed";

    RunJournal journal = Journal();
    ASSERT_EQ(journal.folders.size(), 1u);
    EXPECT_GE(journal.folders[0].entries.size(), renamed) << "a file was renamed before the journal named it";
    // Ended before its end: the journal may name more files than were renamed; the disk tells.
    EXPECT_FALSE(journal.bEnded);
    EXPECT_EQ(FilesStillRenamed(journal), CountLower(dir.Names()));
    CaseRunOutcome undo = RestoreEarlierNames(journal).at(0);
    EXPECT_EQ(undo.kept, Names{});
    // Every file once, under its own name, with its own contents.
    EXPECT_EQ(dir.Names(), names);
    for (size_t i = 0; i < names.size(); i += 97) EXPECT_EQ(dir.Contents(names[i]), Utf8(names[i]));
}

// A card, mounted as users mount it: the kernel's caches on, file IDs handed out while a file is
// cached (another after the cache is dropped or the card mounted again) and, on FAT32 through
// FUSE, a last-write time that each rename sets. The undo comes right after the run, after the
// cache was dropped, or after the card was taken out and put back; where the volume keeps a time
// that tells them apart, a file of the same size put under a new name is not given back.
enum class Between { Nothing, CacheDropped, Remounted, Impostor };

void UndoOnCard(FatDrive::Kind kind, Between between, const std::wstring& journalPath, uint32_t lastWritePart) {
    std::string why = FatDrive::Unavailable(kind);
    if (!why.empty()) GTEST_SKIP() << "skipped: " << why;
    FatDrive card(kind, FatDrive::Caches::Default);
    ASSERT_EQ(card.OnLinux("printf a > DSC00001.JPG && printf bb > 'Urlaub am See.Jpg' && printf c > noext && "
                           "mkdir DCIM && printf d > DCIM/Inner.TXT && touch -d '2025-07-14 10:31:02' *"),
              "");
    {
        CRunJournalWriter writer(journalPath);
        ASSERT_FALSE(writer.Start());
        ASSERT_EQ(ChangeCaseOnDisk(CaseDirection::Upper, AfxExtendedPath(card.Root()), nullptr, &writer).kept, Names{});
        writer.Finish();
    }
    ASSERT_EQ(card.Ls(), (std::vector<std::string>{"DCIM", "DSC00001.JPG", "NOEXT", "URLAUB AM SEE.JPG"}));
    JournalReading reading = ReadRunJournal(journalPath);
    ASSERT_EQ(reading.state, JournalState::Trusted);
    ASSERT_EQ(reading.journal.folders.size(), 1u);
    // Such a volume's file IDs are never required.
    EXPECT_EQ(reading.journal.folders[0].survivingParts, lastWritePart);
    std::optional<FileIdentity> before = IdentityOf(card.Root() + L"NOEXT");
    if (between == Between::CacheDropped) card.DropCaches();
    if (between == Between::Remounted) card.Remount();
    std::optional<FileIdentity> after = IdentityOf(card.Root() + L"NOEXT");
    ASSERT_TRUE(before && after);
    // Why the file ID cannot be required there: the volume hands out another one.
    if (between == Between::CacheDropped || between == Between::Remounted) {
        EXPECT_NE(before->fileId, after->fileId);
    }
    // Another file of the same size, written later, under a name the run gave.
    if (between == Between::Impostor) card.OnLinux("rm 'URLAUB AM SEE.JPG' && printf XX > 'URLAUB AM SEE.JPG'");
    CaseRunOutcome undo = RestoreEarlierNames(reading.journal).at(0);
    bool bImpostor = between == Between::Impostor;
    EXPECT_EQ(undo.kept, bImpostor ? Names{L"URLAUB AM SEE.JPG"} : Names{});
    EXPECT_EQ(undo.nRenamed, bImpostor ? 1u : 2u);
    EXPECT_EQ(card.Ls(), (std::vector<std::string>{"DCIM", "DSC00001.JPG",
                                                   bImpostor ? "URLAUB AM SEE.JPG" : "Urlaub am See.Jpg", "noext"}));
    EXPECT_EQ(card.Cat(bImpostor ? "URLAUB AM SEE.JPG" : "Urlaub am See.Jpg"), bImpostor ? "XX" : "bb");
    EXPECT_EQ(card.Cat("noext"), "c");
    EXPECT_EQ(card.Ls("DCIM"), std::vector<std::string>{"Inner.TXT"});
}

// fusefat sets the last-write time on each rename, exfat-fuse keeps it.
TEST_F(UndoTest, AnUpperRunOnAFat32CardIsTakenBackAfterTheCacheWentAndAfterARemount) {
    for (Between between : {Between::Nothing, Between::CacheDropped, Between::Remounted}) {
        SCOPED_TRACE(static_cast<int>(between));
        DeleteFileW(JournalPath().c_str());
        UndoOnCard(FatDrive::Kind::Fat32, between, JournalPath(), 0);
    }
}

TEST_F(UndoTest, AnUpperRunOnAnExFatCardIsTakenBackAfterTheCacheWentAndAfterARemountButNotAnImpostor) {
    for (Between between : {Between::Nothing, Between::CacheDropped, Between::Remounted, Between::Impostor}) {
        SCOPED_TRACE(static_cast<int>(between));
        DeleteFileW(JournalPath().c_str());
        UndoOnCard(FatDrive::Kind::ExFat, between, JournalPath(), kIdentityLastWrite);
    }
}

// What a box would call complete: the journal tells all and every folder was taken back whole.
bool ReportedComplete(const RunJournal& journal, const std::vector<CaseRunOutcome>& outcomes) {
    bool bComplete = journal.bEnded;
    for (const CaseRunOutcome& outcome : outcomes)
        bComplete = bComplete && outcome.bListed && outcome.listingError == ERROR_SUCCESS && !outcome.bStopped &&
                    outcome.kept.empty() && outcome.inUse.empty();
    return bComplete;
}

// The journal of a small run over two folders (two batches and an end mark), every byte of it
// flipped in turn, and cut at every length: no damage is ever taken for a tear, no file the run
// did not rename is ever renamed, and an undo that left a file renamed never looks complete.
TEST_F(UndoTest, NoFlippedByteOrCutEverRenamesAFileTheRunDidNotOrLooksComplete) {
    TempDirectory other;
    dir.AddFilesOnLinux({L"Alpha.TXT", L"Beta.Doc", L"schon klein.txt"});
    other.AddFilesOnLinux({L"Gamma.JPG", L"Delta.Png"});
    {
        CRunJournalWriter writer(JournalPath());
        ASSERT_FALSE(writer.Start());
        ASSERT_EQ(ChangeCaseOnDisk(CaseDirection::Lower, dir.ExactPath(), nullptr, &writer).nRenamed, 2u);
        ASSERT_EQ(ChangeCaseOnDisk(CaseDirection::Lower, other.ExactPath(), nullptr, &writer).nRenamed, 2u);
        writer.Finish();
    }
    const struct {
        const TempDirectory& folder;
        std::wstring earlier, renamed;
    } files[] = {{dir, L"Alpha.TXT", L"alpha.txt"},
                 {dir, L"Beta.Doc", L"beta.doc"},
                 {other, L"Gamma.JPG", L"gamma.jpg"},
                 {other, L"Delta.Png", L"delta.png"}};
    const Names renamedHere{L"alpha.txt", L"beta.doc", L"schon klein.txt"}, renamedThere{L"delta.png", L"gamma.jpg"};
    ASSERT_EQ(dir.Names(), renamedHere);
    std::string whole = ReadFileBytes(JournalPath());
    size_t nTrusted = 0, nComplete = 0;
    for (size_t i = 0; i <= 2 * whole.size(); ++i) {
        bool bFlip = i < whole.size();
        std::string bytes = bFlip ? whole : whole.substr(0, i - whole.size());
        if (bFlip) bytes[i] = static_cast<char>(bytes[i] ^ 0xFF);
        SCOPED_TRACE((bFlip ? "byte flipped at " : "cut at ") + std::to_string(bFlip ? i : bytes.size()));
        WriteFileBytes(JournalPath(), bytes);
        JournalReading reading = ReadRunJournal(JournalPath());
        if (bFlip) {
            EXPECT_EQ(reading.state, JournalState::Damaged);
        }
        if (reading.state != JournalState::Trusted) continue;
        ++nTrusted;
        std::vector<CaseRunOutcome> outcomes = RestoreEarlierNames(reading.journal);
        size_t nBack = 0;
        for (const auto& file : files) {
            Names names = file.folder.Names();
            bool bBack = std::count(names.begin(), names.end(), file.earlier) == 1;
            nBack += bBack;
            // Back, or as the run left it, and nothing else.
            EXPECT_TRUE(bBack || std::count(names.begin(), names.end(), file.renamed) == 1) << Utf8(file.renamed);
            if (bBack) {
                ASSERT_TRUE(MoveFileExW(AfxJoinPath(file.folder.ExactPath(), file.earlier).c_str(),
                                        AfxJoinPath(file.folder.ExactPath(), file.renamed).c_str(), 0));
            }
        }
        if (ReportedComplete(reading.journal, outcomes)) {
            ++nComplete;
            EXPECT_EQ(nBack, std::size(files)) << "a partial undo looked complete";
        }
        EXPECT_EQ(dir.Names(), renamedHere);
        EXPECT_EQ(other.Names(), renamedThere);
    }
    // Only the whole journal is complete; the cuts inside it are runs ended midway.
    EXPECT_EQ(nComplete, 1u);
    EXPECT_GT(nTrusted, whole.size() / 2);
}

}  // namespace

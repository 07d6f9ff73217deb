// The journal of a run as it lies on the disk: what goes in comes out exactly, it takes the last
// journal's place only when the run is about to rename, and what a killed program, a damaged
// disk, another program or a second copy leaves is never trusted beyond what checks out.
#include "filesystem/CUniqueHandle.h"
#include "renaming/ChangeCaseOnDisk.h"
#include "renaming/RunJournal.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempDirectory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Names = std::vector<std::wstring>;

JournalEntry Entry(const std::wstring& earlier, const std::wstring& renamed, uint64_t id) {
    return JournalEntry{earlier, renamed, FileIdentity{id, 0x5A000000u, 1000 + id, 0x01DD87B61258ECC5ull + id}};
}

// Names of any script and length, and what only Linux allows in a name.
std::vector<JournalEntry> HardNames() {
    std::wstring longName(250, L'\x00C4');
    std::wstring lowerLong(250, L'\x00E4');
    return {Entry(L"Rechnung M\x00E4rz 2026.PDF", L"rechnung m\x00E4rz 2026.pdf", 1),
            Entry(L"\x0391\x039B\x03A6\x0391.TXT", L"\x03B1\x03BB\x03C6\x03B1.txt", 2),
            Entry(L"\xD801\xDC00 Deseret.TXT", L"\xD801\xDC28 deseret.txt", 3),  // a pair of surrogates
            Entry(L"Music.", L"music.", 4),
            Entry(L"A:B*C?.TXT", L"a:b*c?.txt", 5),
            Entry(longName + L".TXT", lowerLong + L".txt", 6)};
}

class RunJournalTest : public ::testing::Test {
protected:
    std::wstring Path() const { return folder.ExactPath() + L"\\run.journal"; }
    std::wstring Deep() const { return L"\\\\?\\unix" + std::wstring(300, L'x'); }

    // Two folders, the first in two batches with its surviving parts between them, as a run
    // over two folders writes them, left as an ended run leaves it.
    void WriteTwoFolders() {
        CRunJournalWriter writer(Path());
        ASSERT_FALSE(writer.Start());
        writer.BeginFolder(deepPath, Deep(), CaseChange(CaseDirection::Upper, NamePart::Stem),
                           VolumeKeeps{kIdentityAll, 1});
        ASSERT_TRUE(writer.WriteBatch({first}));
        writer.WriteSurvivingParts(kIdentityLastWrite);
        ASSERT_TRUE(writer.WriteBatch(second));
        writer.EndFolder(AllOfFirstFolder(), 1 + second.size());
        writer.BeginFolder(L"D:\\Karte", L"\\\\?\\D:\\Karte", CaseDirection::Lower, VolumeKeeps{});
        ASSERT_TRUE(writer.WriteBatch({third}));
        writer.EndFolder({third}, 1);
        writer.Finish();
    }
    std::vector<JournalEntry> AllOfFirstFolder() const {
        std::vector<JournalEntry> all{first};
        all.insert(all.end(), second.begin(), second.end());
        return all;
    }

    TempDirectory folder;
    std::wstring deepPath = L"C:\\" + std::wstring(270, L'\x00D6');
    JournalEntry first = Entry(L"Brief.DOC", L"BRIEF.DOC", 7);
    std::vector<JournalEntry> second = HardNames();
    JournalEntry third = Entry(L"DSC00001.JPG", L"dsc00001.jpg", 8);
};

TEST_F(RunJournalTest, WhatGoesInComesOutExactlyFolderByFolder) {
    WriteTwoFolders();
    JournalReading reading = ReadRunJournal(Path());
    ASSERT_EQ(reading.state, JournalState::Trusted);
    const RunJournal& journal = reading.journal;
    EXPECT_TRUE(journal.bEnded);
    EXPECT_NE(journal.runId, 0u);
    ASSERT_EQ(journal.folders.size(), 2u);
    EXPECT_EQ(journal.folders[0].shownDirectory, deepPath);
    EXPECT_EQ(journal.folders[0].directory, Deep());
    EXPECT_EQ(journal.folders[0].direction, CaseDirection::Upper);
    EXPECT_EQ(journal.folders[0].part, NamePart::Stem);
    EXPECT_EQ(journal.folders[1].part, NamePart::Whole);
    EXPECT_EQ(journal.folders[0].survivingParts, uint32_t(kIdentityLastWrite));
    EXPECT_EQ(journal.folders[0].timeTicks, 1u);
    EXPECT_EQ(journal.folders[0].entries, AllOfFirstFolder());
    // What a volume not known better keeps: no file ID, times to FAT's 2 s.
    EXPECT_EQ(journal.folders[1].survivingParts, uint32_t(kIdentityLastWrite));
    EXPECT_EQ(journal.folders[1].timeTicks, 20000000u);
    EXPECT_EQ(journal.folders[1].entries, std::vector<JournalEntry>{third});
    EXPECT_TRUE(JournalOfRun(Path(), journal.runId));
    EXPECT_FALSE(JournalOfRun(Path(), journal.runId + 1));

    // Replaced whole, and removed when nothing is left to give back.
    RunJournal kept = journal;
    kept.folders[0].entries = {second[2]};
    kept.folders[1].entries.clear();
    ASSERT_TRUE(ReplaceRunJournal(Path(), kept));
    JournalReading again = ReadRunJournal(Path());
    ASSERT_EQ(again.journal.folders.size(), 1u);
    EXPECT_EQ(again.journal.folders[0], kept.folders[0]);
    EXPECT_EQ(again.journal.runId, journal.runId);
    kept.folders[0].entries.clear();
    ASSERT_TRUE(ReplaceRunJournal(Path(), kept));
    EXPECT_EQ(ReadRunJournal(Path()).state, JournalState::Missing);
    EXPECT_EQ(folder.Names(), Names{}) << "a file of the writer was left behind";
}

TEST_F(RunJournalTest, TheLastJournalIsReplacedOnlyWhenTheRunIsAboutToRename) {
    WriteTwoFolders();
    std::string last = ReadFileBytes(Path());
    uint64_t lastRun = ReadRunJournal(Path()).journal.runId;
    {
        // Started, a folder begun, nothing written: a run that renames nothing.
        CRunJournalWriter writer(Path());
        ASSERT_FALSE(writer.Start());
        EXPECT_EQ(PeekRunJournal(Path()), JournalPeek::Offered);
        writer.BeginFolder(L"C:\\x", L"C:\\x", CaseDirection::Lower, VolumeKeeps{});
        writer.EndFolder({}, 0);
        writer.Finish();
    }
    EXPECT_EQ(ReadFileBytes(Path()), last);
    EXPECT_EQ(folder.Names(), Names{L"run.journal"});
    // The first batch takes the place before its file is renamed: the last run is no longer offered.
    CRunJournalWriter writer(Path());
    ASSERT_FALSE(writer.Start());
    writer.BeginFolder(L"C:\\x", L"C:\\x", CaseDirection::Lower, VolumeKeeps{});
    ASSERT_TRUE(writer.WriteBatch({first}));
    EXPECT_FALSE(JournalOfRun(Path(), lastRun));
    EXPECT_TRUE(JournalOfRun(Path(), writer.RunId()));
    JournalReading running = ReadRunJournal(Path());
    ASSERT_EQ(running.state, JournalState::Trusted);
    EXPECT_FALSE(running.journal.bEnded);
    EXPECT_EQ(running.journal.EntryCount(), 1u);
}

TEST_F(RunJournalTest, ATailNotWrittenYetIsATearAnythingAfterTheEndMarkIsDamage) {
    WriteTwoFolders();
    std::string whole = ReadFileBytes(Path());
    // The file system made room for the next record but had not written it when the power went.
    WriteFileBytes(Path(), whole.substr(0, whole.size() - 16) + std::string(4096, '\0'));
    JournalReading torn = ReadRunJournal(Path());
    ASSERT_EQ(torn.state, JournalState::Trusted);
    EXPECT_FALSE(torn.journal.bEnded);
    EXPECT_EQ(torn.journal.EntryCount(), 1 + second.size() + 1);
    for (const std::string& tail : {std::string(3, '\0'), std::string(40, '\0'), std::string("x")}) {
        WriteFileBytes(Path(), whole + tail);
        EXPECT_EQ(ReadRunJournal(Path()).state, JournalState::Damaged) << tail.size();
    }
}

TEST_F(RunJournalTest, AnotherProgramsFileOrANewerVersionIsNeverTrusted) {
    WriteTwoFolders();
    std::string whole = ReadFileBytes(Path());
    std::string otherMagic = whole, newer = whole;
    otherMagic[0] = 'X';
    newer[8] = static_cast<char>(newer[8] + 1);  // the version after this one
    const struct {
        const char* what;
        std::string bytes;
        JournalPeek peek;
    } cases[] = {
        {"magic", otherMagic, JournalPeek::Damaged},
        {"version", newer, JournalPeek::Damaged},
        {"empty", std::string(), JournalPeek::Damaged},
        {"cut in the start", whole.substr(0, 20), JournalPeek::Damaged},
        {"text file", "directory=C:\\x\nBrief.DOC=brief.doc\n", JournalPeek::Damaged},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFileBytes(Path(), c.bytes);
        JournalReading reading = ReadRunJournal(Path());
        EXPECT_EQ(reading.state, JournalState::Damaged);
        EXPECT_EQ(reading.journal.EntryCount(), 0u);
        EXPECT_EQ(PeekRunJournal(Path()), c.peek);
    }
    DeleteFileW(Path().c_str());
    EXPECT_EQ(ReadRunJournal(Path()).state, JournalState::Missing);
    EXPECT_EQ(PeekRunJournal(Path()), JournalPeek::Missing);
}

TEST_F(RunJournalTest, AJournalThatLeadsOutOfItsDirectoryIsNotTrusted) {
    // Well-formed and checked, but no run of ours writes such names.
    const std::vector<JournalEntry> planted[] = {
        {Entry(L"..\\Outside.TXT", L"..\\outside.txt", 1)},
        {Entry(L"Sub/File.TXT", L"sub/file.txt", 2)},
        {Entry(L"..", L"..", 3)},
        {Entry(L"Other.TXT", L"another.txt", 4)},  // more than a change of case
    };
    for (const std::vector<JournalEntry>& batch : planted) {
        SCOPED_TRACE(Utf8(batch[0].earlierName));
        DeleteFileW(Path().c_str());
        {
            CRunJournalWriter writer(Path());
            ASSERT_FALSE(writer.Start());
            writer.BeginFolder(L"C:\\x", L"C:\\x", CaseDirection::Lower, VolumeKeeps{});
            ASSERT_TRUE(writer.WriteBatch(batch));
        }
        EXPECT_EQ(ReadRunJournal(Path()).state, JournalState::Damaged);
    }
}

TEST_F(RunJournalTest, FilesOfKilledRunsBesideItNeverBlockALaterRun) {
    // What killed runs left: new files under the names a writer gives, one of them still held by
    // a running copy; and a file of the user's that only looks alike.
    const std::wstring left[] = {Path() + L".0000000000000001.new", Path() + L".8c3f00aa12b4e001.new"};
    for (const std::wstring& path : left) WriteFileBytes(path, "UMBRIXJN");
    std::wstring held = Path() + L".ffffffffffffffff.new";
    CFileHandle holder(CreateFileW(held.c_str(), GENERIC_WRITE | GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                   nullptr, CREATE_NEW, 0, nullptr));
    ASSERT_TRUE(holder);
    WriteFileBytes(Path() + L".notes.new", "mine");
    for (int run = 0; run < 3; ++run) {
        CRunJournalWriter writer(Path());
        ASSERT_FALSE(writer.Start()) << run;
        writer.BeginFolder(L"C:\\x", L"C:\\x", CaseDirection::Lower, VolumeKeeps{});
        ASSERT_TRUE(writer.WriteBatch({first})) << run;
        writer.EndFolder({first}, 1);
        writer.Finish();
    }
    EXPECT_EQ(folder.Names(), (Names{L"run.journal", L"run.journal.ffffffffffffffff.new", L"run.journal.notes.new"}));
    EXPECT_EQ(ReadRunJournal(Path()).journal.EntryCount(), 1u);
}

TEST_F(RunJournalTest, TwoCopiesAtOnceNeverMixTheirJournals) {
    CRunJournalWriter one(Path());
    CRunJournalWriter two(Path());
    ASSERT_FALSE(one.Start());
    ASSERT_FALSE(two.Start());
    one.BeginFolder(L"C:\\one", L"C:\\one", CaseDirection::Lower, VolumeKeeps{});
    two.BeginFolder(L"C:\\two", L"C:\\two", CaseDirection::Upper, VolumeKeeps{});
    ASSERT_TRUE(one.WriteBatch({Entry(L"One.TXT", L"one.txt", 1)}));
    bool bTwoPlaced = two.WriteBatch({Entry(L"two.txt", L"TWO.TXT", 2)});
    one.WriteBatch({Entry(L"Three.TXT", L"three.txt", 3)});
    one.EndFolder({Entry(L"One.TXT", L"one.txt", 1)}, 2);
    one.Finish();
    JournalReading reading = ReadRunJournal(Path());
    ASSERT_EQ(reading.state, JournalState::Trusted);
    ASSERT_EQ(reading.journal.folders.size(), 1u);
    if (bTwoPlaced) {
        // The last to begin wins whole; the first one's later batch and end went to its own file.
        EXPECT_EQ(reading.journal.folders[0].shownDirectory, L"C:\\two");
        EXPECT_EQ(reading.journal.folders[0].entries, std::vector<JournalEntry>{Entry(L"two.txt", L"TWO.TXT", 2)});
    } else {
        // The platform refused to replace a journal held open: the second one says why and
        // writes nothing more, the first one keeps it whole.
        EXPECT_TRUE(two.Failed());
        EXPECT_EQ(reading.journal.folders[0].shownDirectory, L"C:\\one");
        EXPECT_EQ(reading.journal.folders[0].entries, std::vector<JournalEntry>{Entry(L"One.TXT", L"one.txt", 1)});
    }
}

}  // namespace

// The journal of a run as it lies on the disk: what goes in comes out exactly, and what a
// killed program, a damaged disk, another program or a second copy leaves is never trusted
// beyond what checks out.
#include "filesystem/CUniqueHandle.h"
#include "renaming/RunJournal.h"
#include "tests/support/TempDirectory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string ReadBytes(const std::wstring& path) {
    CFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (file && ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    return bytes;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    CFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(file && WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

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
    // A journal of two batches and the parts, as a run writes it, left as an ended run leaves it.
    void WriteTwoBatches() {
        CRunJournalWriter writer(Path(), deepPath);
        writer.Begin(L"\\\\?\\unix" + std::wstring(300, L'x'), CaseDirection::Upper);
        ASSERT_TRUE(writer.WriteBatch({first}));
        ASSERT_TRUE(writer.WriteSurvivingParts(kIdentityLastWrite));
        ASSERT_TRUE(writer.WriteBatch(second));
    }

    TempDirectory folder;
    std::wstring deepPath = L"C:\\" + std::wstring(270, L'\x00D6');
    JournalEntry first = Entry(L"Brief.DOC", L"BRIEF.DOC", 7);
    std::vector<JournalEntry> second = HardNames();
};

TEST_F(RunJournalTest, WhatGoesInComesOutExactly) {
    WriteTwoBatches();
    JournalReading reading = ReadRunJournal(Path());
    ASSERT_EQ(reading.state, JournalState::Trusted);
    EXPECT_EQ(reading.journal.shownDirectory, deepPath);
    EXPECT_EQ(reading.journal.directory, L"\\\\?\\unix" + std::wstring(300, L'x'));
    EXPECT_EQ(reading.journal.direction, CaseDirection::Upper);
    EXPECT_EQ(reading.journal.survivingParts, uint32_t(kIdentityLastWrite));
    std::vector<JournalEntry> all{first};
    all.insert(all.end(), second.begin(), second.end());
    EXPECT_EQ(reading.journal.entries, all);

    // Replaced whole, and removed when nothing is left to give back.
    RunJournal kept = reading.journal;
    kept.entries = {second[2]};
    ASSERT_TRUE(ReplaceRunJournal(Path(), kept));
    EXPECT_EQ(ReadRunJournal(Path()).journal.entries, kept.entries);
    EXPECT_EQ(ReadRunJournal(Path()).journal.survivingParts, uint32_t(kIdentityLastWrite));
    kept.entries.clear();
    ASSERT_TRUE(ReplaceRunJournal(Path(), kept));
    EXPECT_EQ(ReadRunJournal(Path()).state, JournalState::Missing);
    EXPECT_EQ(folder.Names(), std::vector<std::wstring>{}) << "a file of the writer was left behind";
}

TEST_F(RunJournalTest, ATornLastBatchIsDroppedAndTheRestTrusted) {
    // The same journal without its last batch: where that batch begins.
    std::wstring shorter = folder.ExactPath() + L"\\shorter.journal";
    {
        CRunJournalWriter writer(shorter, deepPath);
        writer.Begin(L"\\\\?\\unix" + std::wstring(300, L'x'), CaseDirection::Upper);
        ASSERT_TRUE(writer.WriteBatch({first}));
        ASSERT_TRUE(writer.WriteSurvivingParts(kIdentityLastWrite));
    }
    size_t lastBatchAt = ReadBytes(shorter).size();
    WriteTwoBatches();
    std::string whole = ReadBytes(Path());
    ASSERT_GT(whole.size(), lastBatchAt + 200);
    // Ended anywhere while writing it: its frame, its names, its checksum.
    for (size_t kept : {size_t(1), size_t(5), size_t(11), size_t(100), whole.size() - lastBatchAt - 1}) {
        SCOPED_TRACE(kept);
        WriteBytes(Path(), whole.substr(0, lastBatchAt + kept));
        JournalReading reading = ReadRunJournal(Path());
        ASSERT_EQ(reading.state, JournalState::Trusted);
        EXPECT_EQ(reading.journal.entries, std::vector<JournalEntry>{first});
        EXPECT_EQ(reading.journal.survivingParts, uint32_t(kIdentityLastWrite));
    }
}

TEST_F(RunJournalTest, DamageAnotherProgramsFileOrANewerVersionIsNeverTrusted) {
    WriteTwoBatches();
    std::string whole = ReadBytes(Path());
    std::string headerFlipped = whole, batchFlipped = whole, otherMagic = whole, newer = whole;
    headerFlipped[30] ^= 0x20;
    batchFlipped[whole.size() / 2] ^= 0x01;  // inside a complete batch
    otherMagic[0] = 'X';
    newer[8] = 2;
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"header", headerFlipped},      {"complete batch", batchFlipped}, {"magic", otherMagic},
        {"version", newer},             {"empty", std::string()},         {"cut in the header", whole.substr(0, 20)},
        {"text file", "directory=C:\\x\nBrief.DOC=brief.doc\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(Path(), c.bytes);
        JournalReading reading = ReadRunJournal(Path());
        EXPECT_EQ(reading.state, JournalState::Untrusted);
        EXPECT_TRUE(reading.journal.entries.empty());
    }
    DeleteFileW(Path().c_str());
    EXPECT_EQ(ReadRunJournal(Path()).state, JournalState::Missing);
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
            CRunJournalWriter writer(Path(), L"C:\\x");
            writer.Begin(L"C:\\x", CaseDirection::Lower);
            ASSERT_TRUE(writer.WriteBatch(batch));
        }
        EXPECT_EQ(ReadRunJournal(Path()).state, JournalState::Untrusted);
    }
}

TEST_F(RunJournalTest, TwoCopiesAtOnceNeverMixTheirJournals) {
    CRunJournalWriter one(Path(), L"C:\\one");
    CRunJournalWriter two(Path(), L"C:\\two");
    one.Begin(L"C:\\one", CaseDirection::Lower);
    two.Begin(L"C:\\two", CaseDirection::Upper);
    ASSERT_TRUE(one.WriteBatch({Entry(L"One.TXT", L"one.txt", 1)}));
    bool bTwoPlaced = two.WriteBatch({Entry(L"two.txt", L"TWO.TXT", 2)});
    one.WriteBatch({Entry(L"Three.TXT", L"three.txt", 3)});
    one.Finish({Entry(L"One.TXT", L"one.txt", 1)}, 2);
    JournalReading reading = ReadRunJournal(Path());
    ASSERT_EQ(reading.state, JournalState::Trusted);
    if (bTwoPlaced) {
        // The last to begin wins whole; the first one's later batch and end went to its own file.
        EXPECT_EQ(reading.journal.shownDirectory, L"C:\\two");
        EXPECT_EQ(reading.journal.entries, std::vector<JournalEntry>{Entry(L"two.txt", L"TWO.TXT", 2)});
    } else {
        // The platform refused to replace a journal held open: the first one keeps it whole.
        EXPECT_EQ(reading.journal.shownDirectory, L"C:\\one");
        EXPECT_EQ(reading.journal.entries, std::vector<JournalEntry>{Entry(L"One.TXT", L"one.txt", 1)});
    }
}

}  // namespace

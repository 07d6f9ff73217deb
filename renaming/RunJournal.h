#pragma once
// The record of the last rename run, kept so that the run can be taken back: for each folder
// the run went through, the directory, the direction, and for each file it renamed its earlier
// name, its new name and its identity. It is written ahead of the renames, in batches, each on
// the disk before any of its renames begins, so that a run ended at any moment can be taken
// back up to where it got.
//
// A file of our own that an earlier run left is trusted only as far as it checks out. Every
// part of a record that decides how the rest is read (its kind and length) has a checksum of
// its own, and so has the record as a whole. Only a file that ends inside its last record (the
// program was ended while writing it) is a torn run: that record is dropped, as none of its
// renames had begun. Any other failed check makes the whole journal damaged. Where the journal
// lives is the caller's choice.
#include "filesystem/CUniqueHandle.h"
#include "filesystem/DirectoryListing.h"
#include "renaming/CaseChange.h"
#include "renaming/FileIdentity.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct JournalEntry {
    std::wstring earlierName;
    std::wstring newName;
    FileIdentity identity;  // as read before the rename

    bool operator==(const JournalEntry&) const = default;
};

// One folder's part of a run.
struct JournalFolder {
    std::wstring shownDirectory;  // as the user chose it, for messages
    std::wstring directory;       // the exact path the run worked on
    CaseDirection direction = CaseDirection::Lower;
    NamePart part = NamePart::Whole;  // of each name, the part whose case the run changed
    // What the volume keeps whatever its driver caches, narrowed by what survived the run's
    // first rename there.
    uint32_t survivingParts = kIdentityLastWrite;
    uint64_t timeTicks = VolumeKeeps().timeTicks;
    std::vector<JournalEntry> entries;

    bool operator==(const JournalFolder&) const = default;
};

struct RunJournal {
    uint64_t runId = 0;  // tells this run's journal from any other
    std::vector<JournalFolder> folders;
    // The run that wrote it came to its end: then the entries are exactly the files renamed;
    // otherwise (the program was ended) they may name files the run never reached, and files the
    // run renamed after its last record may be missing: the journal does not tell all.
    bool bEnded = false;

    size_t EntryCount() const;
};

enum class JournalState {
    Missing,     // no journal: there is nothing to take back
    Unreadable,  // there, but it could not be read (error says why): nothing may be taken back now
    Damaged,     // failed a check, or is not of this version: nothing may be taken back by it
    Trusted,
};

struct JournalReading {
    JournalState state = JournalState::Missing;
    RunJournal journal;           // when trusted
    DWORD error = ERROR_SUCCESS;  // when unreadable
};

JournalReading ReadRunJournal(const std::wstring& path);

// What the start of a journal alone tells, without reading its batches: whether there is a
// journal of ours that names files (Offered), one that holds no file yet (Empty: a run that
// has not renamed anything), or one that fails its first check (Damaged).
enum class JournalPeek { Missing, Unreadable, Damaged, Empty, Offered };
JournalPeek PeekRunJournal(const std::wstring& path);

// Whether the journal at path is still the one of that run: the one place that answers it.
bool JournalOfRun(const std::wstring& path, uint64_t runId);

// Of the entries of a folder, those whose new name the directory (as listed) holds exactly: all
// of them where the listing failed, as none can be told apart then.
std::vector<JournalEntry> EntriesWithNewNames(std::vector<JournalEntry> entries, const DirectoryListing& listing);

// How many files of the journal still carry their new names: its entries when its run ended,
// else those that EntriesWithNewNames finds in each folder.
size_t FilesStillRenamed(const RunJournal& journal);

// Why the journal could not be written or withdrawn: the platform's error and the journal's path.
struct JournalFault {
    DWORD error = ERROR_SUCCESS;
    std::wstring path;

    explicit operator bool() const { return error != ERROR_SUCCESS; }
    // "<the platform's reason>: <path>", for the boxes.
    std::wstring Reason() const;
};

// Replaces the journal at path as a whole with this one (through a new file in the same
// folder, so that a reader sees the old journal or the new one, never a mix); a journal with no
// entries removes it. False when that failed.
bool ReplaceRunJournal(const std::wstring& path, const RunJournal& journal);
// Takes the journal at path out of offer for good: removes it; a fault where it cannot be
// removed (then it is as it was).
JournalFault WithdrawRunJournal(const std::wstring& path);

// The journal of one run, over one folder or several, as the run goes. Started before the run,
// it is a new file beside the journal, out of sight; the first batch of the run goes into it
// and then it takes the last journal's place, before the run renames its first file. A run that
// renames nothing leaves the last journal as it was.
class CRunJournalWriter {
public:
    explicit CRunJournalWriter(std::wstring path);
    ~CRunJournalWriter();  // a file never placed goes
    CRunJournalWriter(const CRunJournalWriter&) = delete;
    CRunJournalWriter& operator=(const CRunJournalWriter&) = delete;

    // Before the run: the new file is made and on the disk. A fault when it cannot be (then
    // nothing is recorded and the last journal is as it was). Files that killed runs left
    // beside the journal, and that no running copy holds, go.
    JournalFault Start();

    // Called by the run for each folder before its first batch.
    void BeginFolder(const std::wstring& shownDirectory, const std::wstring& directory, const CaseChange& change,
                     const VolumeKeeps& keeps);
    // On the disk (and the journal in its place) before the call returns; false, with the fault,
    // once writing failed: then nothing more is written and the journal holds what it held.
    bool WriteBatch(const std::vector<JournalEntry>& batch);
    // Written, not flushed: lost, it only makes the undo compare more.
    void WriteSurvivingParts(uint32_t parts);
    // The folder's run has ended: of the nWritten files its batches named, these carry their
    // new names.
    void EndFolder(std::vector<JournalEntry> stillRenamed, size_t nWritten);
    // The whole run has ended: the journal gets its end mark, or is written anew to hold exactly
    // the files that carry their new names, unless another run's journal has taken its place.
    void Finish();

    bool Failed() const { return static_cast<bool>(m_fault); }
    const JournalFault& Fault() const { return m_fault; }
    const std::wstring& Path() const { return m_strPath; }
    uint64_t RunId() const { return m_journal.runId; }

private:
    bool Append(const std::vector<BYTE>& bytes, bool bFlush);
    bool Place();
    void Fail(DWORD dwError);

    std::wstring m_strPath;
    std::wstring m_strTempPath;
    RunJournal m_journal;           // folders as ended, with their files that carry new names
    std::vector<size_t> m_written;  // per folder: how many files its batches named
    bool m_bFolderPending = false;  // the current folder's record goes with its first batch
    bool m_bPlaced = false;
    CFileHandle m_file;    // the new journal, from Start on
    uint64_t m_nGood = 0;  // bytes of m_file that hold whole records
    JournalFault m_fault;
};

#pragma once
// The record of the last rename run, kept so that the run can be taken back: the directory,
// the direction, and for each file the run renames its earlier name, its new name and its
// identity. It is written ahead of the renames, in batches, each checked (length and checksum)
// and on the disk before any of its renames begins, so that a run ended at any moment can be
// taken back up to where it got.
//
// A file of our own that an earlier run left is trusted only as far as it checks out: a torn
// last batch (the program ended while writing it) is dropped, as none of its renames had begun;
// a bad header, a complete batch that fails its check, a newer version or another program's
// file is not trusted at all. Where the journal lives is the caller's choice.
#include "filesystem/CUniqueHandle.h"
#include "renaming/CaseDirection.h"
#include "renaming/FileIdentity.h"

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

struct JournalEntry {
    std::wstring earlierName;
    std::wstring newName;
    FileIdentity identity;  // as read before the rename

    bool operator==(const JournalEntry&) const = default;
};

struct RunJournal {
    std::wstring shownDirectory;  // as the user chose it, for messages
    std::wstring directory;       // the exact path the run worked on
    CaseDirection direction = CaseDirection::Lower;
    // The identity parts that survived the run's first rename on that volume; all until then.
    uint32_t survivingParts = kIdentityAll;
    std::vector<JournalEntry> entries;
    // The run that wrote it came to its end: then the entries are exactly the files renamed;
    // otherwise (the program was ended) they may name files the run never reached.
    bool bEnded = false;
};

enum class JournalState {
    Missing,    // no journal: there is nothing to take back
    Untrusted,  // damaged, newer or not ours: nothing may be taken back by it
    Trusted,
};

struct JournalReading {
    JournalState state = JournalState::Missing;
    RunJournal journal;  // when trusted
};

JournalReading ReadRunJournal(const std::wstring& path);

// How many files of the journal still carry their new names: its entries when its run ended or
// the directory cannot be read, else those whose new name the directory holds exactly.
size_t FilesStillRenamed(const RunJournal& journal);

// Replaces the journal at path as a whole with this one (through a new file in the same folder,
// so that a reader sees the old journal or the new one, never a mix); an empty journal removes
// it. False when that failed.
bool ReplaceRunJournal(const std::wstring& path, const RunJournal& journal);
bool RemoveRunJournal(const std::wstring& path);

// The journal of one run as the run goes. The first batch goes into a new file beside the
// journal that then takes the journal's place whole; each later batch is added to that file.
// Two programs at once each write a file of their own: the last one to begin wins whole.
class CRunJournalWriter {
public:
    CRunJournalWriter(std::wstring path, std::wstring shownDirectory);
    ~CRunJournalWriter();  // a file never placed goes
    CRunJournalWriter(const CRunJournalWriter&) = delete;
    CRunJournalWriter& operator=(const CRunJournalWriter&) = delete;

    // Called by the run before it begins: the exact directory and the direction.
    void Begin(const std::wstring& directory, CaseDirection direction);
    // On the disk before the call returns; false (and nothing more written) once writing failed.
    bool WriteBatch(const std::vector<JournalEntry>& batch);
    // Written, not flushed: lost, it only makes the undo compare more.
    bool WriteSurvivingParts(uint32_t parts);
    // The run has ended: the journal is made to hold exactly the files that now carry their new
    // names (nWritten: how many the batches named), unless another program's journal has taken
    // its place meanwhile.
    void Finish(std::vector<JournalEntry> renamed, size_t nWritten);

    bool Failed() const { return m_bFailed; }
    const std::wstring& Path() const { return m_strPath; }

private:
    bool Place(const std::vector<BYTE>& first);
    enum class Flush { No, Yes };
    bool Append(const std::vector<BYTE>& record, Flush flush);
    bool StillOurs() const;

    std::wstring m_strPath;
    std::wstring m_strTempPath;
    RunJournal m_journal;  // header and surviving parts; entries only at Finish
    CFileHandle m_file;  // the journal file of this run, once made
    bool m_bFailed = false;
};

#pragma once
// A run's journal kept ahead of its renames: before a file is tried, the batch that holds it is
// on the disk. Batches grow as the run goes, so that a long run pays for few flushes and a
// short one loses little when ended. A file that the journal could not record (it came into
// the directory after the run read it, or its identity cannot be read) is not renamed; where a
// batch cannot be written, the run stops before the first file it would have named.
#include "renaming/CaseRunContext.h"
#include "renaming/FileIdentity.h"
#include "renaming/RunJournal.h"

#include <string>
#include <unordered_map>
#include <vector>

class CRunJournalAhead {
public:
    // pWriter: none, and nothing is recorded; identities: of the files of the run's listing,
    // read with it; shownDirectory: the directory as the user chose it.
    CRunJournalAhead(const CaseRunContext& run, CRunJournalWriter* pWriter,
                     std::unordered_map<std::wstring, FileIdentity> identities = {},
                     const std::wstring& shownDirectory = {});

    enum class Cover { Rename, Skip, Stop };
    // Before the file order[k] of the listing is tried: whether it may be renamed, or the run must
    // stop because its record cannot be written.
    Cover Before(const std::vector<size_t>& order, size_t k);
    // After a file was renamed: the first rename tells which parts of an identity this volume
    // keeps across a rename.
    void Renamed(size_t index);
    // The folder's run has ended: the journal holds the files that now carry their new names.
    void Finish(const DirectoryListing& after);

private:
    void WriteBatch(const std::vector<size_t>& order, size_t k);
    void MeasureParts(const JournalEntry& entry);
    bool Active() const { return m_pWriter && !m_pWriter->Failed(); }

    const CaseRunContext& m_run;
    CRunJournalWriter* m_pWriter;
    std::unordered_map<std::wstring, FileIdentity> m_identities;  // until the last batch is written
    VolumeKeeps m_keeps;
    std::vector<size_t> m_entryOf;  // by listing index: 1 + its entry of m_entries; 0: not recorded
    std::vector<JournalEntry> m_entries;
    size_t m_nCovered = 0;  // positions of the order that the written batches hold
    size_t m_nBatch;
    bool m_bPartsKnown = false;
};

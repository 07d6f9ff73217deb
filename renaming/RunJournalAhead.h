#pragma once
// A run's journal kept ahead of its renames: before a file is tried, the batch that holds it is
// on the disk. Batches grow as the run goes, so that a long run pays for few flushes and a
// short one loses little when ended. A file that the journal could not record (it came into
// the directory after the run read it) is not renamed; where no journal can be written at all,
// the run goes on without one.
#include "renaming/CaseRenamer.h"
#include "renaming/CaseRunContext.h"
#include "renaming/FileIdentity.h"
#include "renaming/RunJournal.h"

#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

// The name a file of the run's listing is to take, where it is to be renamed at all.
using TargetOfEntry = std::function<std::optional<std::wstring>(const ListingEntry&)>;

class CRunJournalAhead {
public:
    // pWriter: none, and nothing is recorded; identities: of the files of the run's listing,
    // read with it.
    CRunJournalAhead(const CaseRunContext& run, CRunJournalWriter* pWriter,
                     std::unordered_map<std::wstring, FileIdentity> identities = {});

    // Before the file order[k] of the listing is tried; false when it may not be renamed.
    bool Cover(const std::vector<size_t>& order, size_t k, const TargetOfEntry& targetOf);
    // After a file was renamed: the first rename tells which parts of an identity this volume
    // keeps across a rename.
    void Renamed(size_t index);
    // The run has ended: the journal holds the files that now carry their new names.
    void Finish(const DirectoryListing& after);

private:
    void WriteBatch(const std::vector<size_t>& order, size_t k, const TargetOfEntry& targetOf);
    void MeasureParts(const JournalEntry& entry);
    bool Active() const { return m_pWriter && !m_pWriter->Failed(); }

    const CaseRunContext& m_run;
    CRunJournalWriter* m_pWriter;
    std::unordered_map<std::wstring, FileIdentity> m_identities;  // until the last batch is written
    std::vector<size_t> m_entryOf;  // by listing index: 1 + its entry of m_entries; 0: not recorded
    std::vector<JournalEntry> m_entries;
    size_t m_nCovered = 0;  // positions of the order that the written batches hold
    size_t m_nBatch;
    bool m_bPartsKnown = false;
};

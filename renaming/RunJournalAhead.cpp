#include "renaming/RunJournalAhead.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

// Each batch costs a flush, and once renames have begun a flush makes the file system commit
// all of them (over 100,000 files here: the run with four flushes took 1.14x the run without
// a journal, with two 0.99x, medians of two rounds each); a file
// that a batch names but the run never reaches still has its name and costs nothing. So a
// small first batch lets the renames begin soon, and the second holds the rest of any
// directory people keep: two flushes up to 266,240 files.
const size_t kFirstBatch = 4096;
const size_t kBatchGrowth = 64;
const size_t kLargestBatch = 262144;

// A last-write time that a volume sets on each rename (FAT32 through FUSE) looks unchanged when
// the rename falls within the same tick of the volume's coarse clock (FAT keeps 2 s): a file
// written whole seconds ago, just now, tells nothing about the volume.
bool TellsAboutLastWrite(const FileIdentity& before, const FileIdentity& after) {
    const uint64_t kSecond = 10000000;  // in FILETIME's 100 ns
    if (before.lastWrite != after.lastWrite || before.lastWrite % kSecond != 0) return true;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    uint64_t nNow = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return before.lastWrite + 4 * kSecond < nNow;
}

// Files that the end of a run looks at to learn about the volume, when none did so before.
const size_t kFilesToMeasureAtEnd = 64;

}  // namespace

CRunJournalAhead::CRunJournalAhead(const CaseRunContext& run, CRunJournalWriter* pWriter,
                                   std::unordered_map<std::wstring, FileIdentity> identities,
                                   const std::wstring& shownDirectory)
    : m_run(run), m_pWriter(pWriter), m_identities(std::move(identities)), m_nBatch(kFirstBatch) {
    if (!m_pWriter) return;
    m_keeps = WhatTheVolumeKeeps(run.directory);
    m_pWriter->BeginFolder(shownDirectory, run.directory, CaseChange(run.direction, run.part), m_keeps);
    m_entryOf.assign(run.listing.entries.size(), 0);
}

CRunJournalAhead::Cover CRunJournalAhead::Before(const std::vector<size_t>& order, size_t k) {
    if (!m_pWriter) return Cover::Rename;
    if (!m_pWriter->Failed() && k >= m_nCovered) WriteBatch(order, k);
    if (m_pWriter->Failed()) return Cover::Stop;
    return m_entryOf[order[k]] != 0 ? Cover::Rename : Cover::Skip;
}

// A run holds its entries until its end and each batch only until it is written: the entries
// are moved, never copied, and room for every file the run tries is taken once.
void CRunJournalAhead::WriteBatch(const std::vector<size_t>& order, size_t k) {
    if (m_entries.empty()) m_entries.reserve(order.size());
    std::vector<JournalEntry> batch;
    std::vector<size_t> indexes;
    size_t end = std::min(order.size(), k + m_nBatch);
    batch.reserve(end - k);
    indexes.reserve(end - k);
    for (size_t i = k; i < end; ++i) {
        const ListingEntry& entry = m_run.listing.entries[order[i]];
        std::optional<std::wstring> target = m_run.TargetFor(entry);
        if (!target) continue;
        // A volume that told no identities in its listing is asked file by file.
        auto known = m_identities.find(entry.name);
        std::optional<FileIdentity> identity = known != m_identities.end() ? std::optional<FileIdentity>(known->second)
                                                                           : IdentityOf(m_run.PathOf(entry.name));
        if (!identity) continue;
        batch.push_back(JournalEntry{entry.name, std::move(*target), *identity});
        indexes.push_back(order[i]);
    }
    m_nCovered = end;
    m_nBatch = std::min(m_nBatch * kBatchGrowth, kLargestBatch);
    // Every later batch would be empty: the identities are no longer needed.
    if (end == order.size()) std::unordered_map<std::wstring, FileIdentity>().swap(m_identities);
    if (batch.empty() || !m_pWriter->WriteBatch(batch)) return;
    for (size_t i = 0; i < indexes.size(); ++i) m_entryOf[indexes[i]] = m_entries.size() + i + 1;
    m_entries.insert(m_entries.end(), std::make_move_iterator(batch.begin()), std::make_move_iterator(batch.end()));
}

void CRunJournalAhead::Renamed(size_t index) {
    if (!Active() || m_bPartsKnown || m_entryOf[index] == 0) return;
    MeasureParts(m_entries[m_entryOf[index] - 1]);
}

void CRunJournalAhead::MeasureParts(const JournalEntry& entry) {
    std::optional<FileIdentity> now = IdentityOf(m_run.PathOf(entry.newName));
    if (!now || !TellsAboutLastWrite(entry.identity, *now)) return;
    m_bPartsKnown = true;
    m_pWriter->WriteSurvivingParts(PartsThatSurvived(entry.identity, *now) & m_keeps.parts);
}

void CRunJournalAhead::Finish(const DirectoryListing& after) {
    if (!m_pWriter) return;
    size_t nWritten = m_entries.size();
    std::vector<JournalEntry> renamed = EntriesWithNewNames(std::move(m_entries), after);
    // Until a file tells otherwise, every part is compared: a file is rather left as it is.
    for (size_t i = 0; i < renamed.size() && i < kFilesToMeasureAtEnd && !m_bPartsKnown && Active(); ++i)
        MeasureParts(renamed[i]);
    m_pWriter->EndFolder(std::move(renamed), nWritten);
}

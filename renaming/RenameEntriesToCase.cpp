#include "renaming/RenameEntriesToCase.h"

#include "platform/ExtendedPath.h"
#include "renaming/CaseConversion.h"
#include "renaming/CaseRenamer.h"
#include "renaming/NameCensus.h"
#include "renaming/StagingFolder.h"

#include <algorithm>
#include <optional>
#include <unordered_set>

namespace {

// Names that no path can spell: a separator, or the stand-in for bytes that are not UTF-8 on
// a Linux disk (that path would name another file or none).
bool Addressable(const std::wstring& name) {
    return !name.empty() && name.find_first_of(L"\\/\uFFFD") == std::wstring::npos;
}

bool HasRequestedCase(CaseDirection direction, const std::wstring& name) {
    std::optional<std::wstring> converted = ConvertedName(direction, name);
    return converted && *converted == name;
}

// A file of an earlier run that was ended between two steps goes back into the directory:
// in the requested case where no entry answers to that name, else under its own name.
bool ReturnWaitingFile(const std::wstring& waitingPath, const std::wstring& name, CaseDirection direction,
                       const std::wstring& directory, CNameCensus& census) {
    std::optional<std::wstring> converted = ConvertedName(direction, name);
    for (const std::wstring& target : {converted.value_or(name), name}) {
        if (census.IsTaken(target)) continue;
        if (!MoveWithoutReplacing(waitingPath, AfxJoinPath(directory, target))) continue;
        census.Add(target);
        return true;
    }
    return false;
}

struct EarlierRuns {
    std::vector<std::wstring> stranded;              // files that still wait, relative to the directory
    std::unordered_set<std::wstring> waitingBeside;  // names of the directory that are waiting files
};

// The files of one staging folder, in it and beside the others; the folder goes once none waits.
void ReturnFilesOf(const CStagingFolder& staging, CaseDirection direction, const std::wstring& directory,
                   const DirectoryListing& listing, CNameCensus& census, EarlierRuns& earlier) {
    for (const ListingEntry& waiting : staging.WaitingFiles())
        if (waiting.IsDirectory() ||
            !ReturnWaitingFile(staging.PathOf(waiting.name), waiting.name, direction, directory, census))
            earlier.stranded.push_back(staging.RelativePathOf(waiting.name));
    bool bBesideStays = false;
    for (const ListingEntry& entry : listing.entries) {
        std::wstring own = entry.IsDirectory() ? std::wstring() : staging.OwnNameOf(entry.name);
        if (own.empty()) continue;
        earlier.waitingBeside.insert(entry.name);
        if (ReturnWaitingFile(AfxJoinPath(directory, entry.name), own, direction, directory, census)) continue;
        earlier.stranded.push_back(entry.name);
        bBesideStays = true;
    }
    if (!bBesideStays) staging.RemoveIfEmpty();
}

EarlierRuns ReturnEarlierRunsFiles(CaseDirection direction, const std::wstring& directory,
                                   const DirectoryListing& listing, CNameCensus& census) {
    EarlierRuns earlier;
    for (const ListingEntry& entry : listing.entries)
        if (std::optional<CStagingFolder> staging = CStagingFolder::Open(directory, entry))
            ReturnFilesOf(*staging, direction, directory, listing, census, earlier);
    return earlier;
}

// The entries the loop below takes: files, other than those of an earlier run.
bool IsFileToTry(const ListingEntry& entry, const EarlierRuns& earlier) {
    return !entry.IsDirectory() && !earlier.waitingBeside.count(entry.name);
}

size_t CountFilesToTry(const DirectoryListing& listing, const EarlierRuns& earlier) {
    return std::count_if(listing.entries.begin(), listing.entries.end(),
                         [&earlier](const ListingEntry& entry) { return IsFileToTry(entry, earlier); });
}

// A rename that is refused or fails leaves the file as it was; the disk tells afterwards.
void RenameFile(CaseDirection direction, const ListingEntry& entry, const CNameCensus& census,
                CCaseRenamer& renamer, EarlierRuns& earlier, CaseRunOutcome& outcome) {
    if (!Addressable(entry.name)) return;
    std::optional<std::wstring> target = ConvertedName(direction, entry.name);
    if (!target || *target == entry.name || census.TakenByOther(entry, *target)) return;
    switch (renamer.Rename(entry.name, *target)) {
    case CCaseRenamer::Result::Renamed:
        ++outcome.nRenamed;
        break;
    case CCaseRenamer::Result::Stranded:
        earlier.stranded.push_back(renamer.StrandedPathOf(entry.name));
        break;
    case CCaseRenamer::Result::Kept:
        break;
    }
}

// Files of an earlier run are left to that run's folder, under their waiting names. A stop is
// taken between two files only, so that no file stays between its two steps.
void RenameFiles(CaseDirection direction, const std::wstring& directory, const DirectoryListing& listing,
                 const CNameCensus& census, EarlierRuns& earlier, CaseRunControl& control, CaseRunOutcome& outcome) {
    CCaseRenamer renamer(directory, census);
    for (const ListingEntry& entry : listing.entries) {
        if (!IsFileToTry(entry, earlier)) continue;
        if (control.bStopRequested.load(std::memory_order_relaxed)) {
            outcome.bStopped = true;
            return;
        }
        RenameFile(direction, entry, census, renamer, earlier, outcome);
        control.nDone.fetch_add(1, std::memory_order_relaxed);
    }
}

// The files of the directory, as the disk now holds them, that lack the requested case.
std::vector<std::wstring> FilesWithoutRequestedCase(CaseDirection direction, const std::wstring& directory,
                                                    const DirectoryListing& before) {
    DirectoryListing after = ReadDirectoryListing(directory);
    // Unreadable now: every file that needed a change may have kept its name.
    const DirectoryListing& listing = after.started ? after : before;
    std::vector<std::wstring> kept;
    for (const ListingEntry& entry : listing.entries)
        if (!entry.IsDirectory() && !HasRequestedCase(direction, entry.name)) kept.push_back(entry.name);
    return kept;
}

}  // namespace

CaseRunOutcome RenameEntriesToCase(CaseDirection direction, const std::wstring& directory,
                                   CaseRunControl* pControl) {
    CaseRunControl unwatched;
    CaseRunControl& control = pControl ? *pControl : unwatched;
    CaseRunOutcome outcome;
    DirectoryListing listing = ReadDirectoryListing(directory);
    outcome.bListed = listing.started;
    outcome.nEntries = listing.entries.size();
    if (!listing.started) return outcome;
    CNameCensus census(listing.entries);
    EarlierRuns earlier = ReturnEarlierRunsFiles(direction, directory, listing, census);
    control.nTotal.store(CountFilesToTry(listing, earlier));
    RenameFiles(direction, directory, listing, census, earlier, control, outcome);
    outcome.kept = FilesWithoutRequestedCase(direction, directory, listing);
    // A file still waiting beside the others is also on the disk's list.
    outcome.kept.insert(outcome.kept.end(), earlier.stranded.begin(), earlier.stranded.end());
    std::sort(outcome.kept.begin(), outcome.kept.end());
    outcome.kept.erase(std::unique(outcome.kept.begin(), outcome.kept.end()), outcome.kept.end());
    return outcome;
}

#include "renaming/RenameEntriesToCase.h"

#include "platform/ExtendedPath.h"
#include "renaming/CaseConversion.h"
#include "renaming/CaseRenamer.h"
#include "renaming/NameCensus.h"
#include "renaming/StagingFolder.h"

#include <optional>

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
bool ReturnWaitingFile(const CStagingFolder& staging, const std::wstring& name, CaseDirection direction,
                       const std::wstring& directory, CNameCensus& census) {
    std::optional<std::wstring> converted = ConvertedName(direction, name);
    for (const std::wstring& target : {converted.value_or(name), name}) {
        if (census.IsTaken(target)) continue;
        if (!MoveWithoutReplacing(staging.PathOf(name), AfxJoinPath(directory, target))) continue;
        census.Add(target);
        return true;
    }
    return false;
}

// Returns the files that stay in a staging folder.
std::vector<std::wstring> ReturnEarlierRunsFiles(CaseDirection direction, const std::wstring& directory,
                                                 const DirectoryListing& listing, CNameCensus& census) {
    std::vector<std::wstring> stranded;
    for (const ListingEntry& entry : listing.entries) {
        if (!CStagingFolder::IsStagingFolder(directory, entry)) continue;
        CStagingFolder staging(directory, entry.name);
        for (const ListingEntry& waiting : staging.WaitingFiles())
            if (waiting.IsDirectory() || !ReturnWaitingFile(staging, waiting.name, direction, directory, census))
                stranded.push_back(staging.RelativePathOf(waiting.name));
        staging.RemoveIfEmpty();
    }
    return stranded;
}

// A rename that is refused or fails leaves the file as it was; the disk tells afterwards.
void RenameFiles(CaseDirection direction, const std::wstring& directory, const DirectoryListing& listing,
                 const CNameCensus& census, std::vector<std::wstring>& stranded) {
    CCaseRenamer renamer(directory, census);
    for (const ListingEntry& entry : listing.entries) {
        if (entry.IsDirectory() || !Addressable(entry.name)) continue;
        std::optional<std::wstring> target = ConvertedName(direction, entry.name);
        if (!target || *target == entry.name || census.TakenByOther(entry, *target)) continue;
        if (renamer.Rename(entry.name, *target) == CCaseRenamer::Result::Stranded)
            stranded.push_back(renamer.StrandedPathOf(entry.name));
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

CaseRunOutcome RenameEntriesToCase(CaseDirection direction, const std::wstring& directory) {
    CaseRunOutcome outcome;
    DirectoryListing listing = ReadDirectoryListing(directory);
    outcome.bListed = listing.started;
    outcome.nEntries = listing.entries.size();
    if (!listing.started) return outcome;
    CNameCensus census(listing.entries);
    std::vector<std::wstring> stranded = ReturnEarlierRunsFiles(direction, directory, listing, census);
    RenameFiles(direction, directory, listing, census, stranded);
    outcome.kept = FilesWithoutRequestedCase(direction, directory, listing);
    outcome.kept.insert(outcome.kept.end(), stranded.begin(), stranded.end());
    return outcome;
}

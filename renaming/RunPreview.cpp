#include "renaming/RunPreview.h"

#include "filesystem/DirectoryListing.h"
#include "renaming/AddressableName.h"
#include "renaming/CaseConversion.h"
#include "renaming/NameCensus.h"
#include "renaming/StagingFolder.h"

#include <optional>
#include <unordered_set>

namespace {

// The entries that are files waiting beside the others for a staging folder: a run leaves them
// to that folder, whether it takes them back or another run holds them.
std::unordered_set<std::wstring> WaitingNames(const std::wstring& directory, const DirectoryListing& listing) {
    std::unordered_set<std::wstring> waiting;
    for (const ListingEntry& folder : listing.entries) {
        std::optional<CStagingFolder> staging = CStagingFolder::Peek(directory, folder);
        if (!staging) continue;
        for (const ListingEntry& entry : listing.entries)
            if (!entry.IsDirectory() && !staging->OwnNameOf(entry.name).empty()) waiting.insert(entry.name);
    }
    return waiting;
}

void CountFile(CaseDirection direction, const CNameCensus& census, const ListingEntry& entry, RunPreview& preview) {
    ++preview.nFiles;
    std::optional<std::wstring> target = ConvertedName(direction, entry.name);
    if (target && *target == entry.name) return;  // already in the requested case
    if (target && Addressable(entry.name) && !census.TakenByOther(entry, *target))
        ++preview.nToRename;
    else
        ++preview.nKeepingName;
}

}  // namespace

RunPreview PreviewRun(CaseDirection direction, const std::wstring& directory, const std::atomic<bool>& bStop) {
    RunPreview preview;
    DirectoryListing listing = ReadDirectoryListing(directory, ListingDetail::ShortNames, &bStop);
    preview.bStopped = bStop.load();
    // A listing that broke off is no count of the directory.
    preview.bListed = listing.started && !listing.Failed();
    if (listing.Failed() && !preview.bStopped) preview.listingError = listing.error;
    if (!preview.bListed) return preview;
    std::unordered_set<std::wstring> waiting = WaitingNames(directory, listing);
    CNameCensus census(listing.entries, &bStop);
    for (const ListingEntry& entry : listing.entries) {
        if (bStop.load(std::memory_order_relaxed)) break;
        if (entry.IsDirectory() || waiting.count(entry.name)) continue;
        CountFile(direction, census, entry, preview);
    }
    preview.bStopped = bStop.load();
    return preview;
}

#include "renaming/ChangeCaseOnDisk.h"

#include "filesystem/ExtendedPath.h"
#include "filesystem/MoveWithoutReplacing.h"
#include "renaming/AddressableName.h"
#include "renaming/CaseConversion.h"
#include "renaming/CaseRenamer.h"
#include "renaming/CaseRunContext.h"
#include "renaming/NameCensus.h"
#include "renaming/StagingFolder.h"

#include <algorithm>
#include <optional>

namespace {

bool HasRequestedCase(CaseDirection direction, const std::wstring& name) {
    std::optional<std::wstring> converted = ConvertedName(direction, name);
    return converted && *converted == name;
}

// A file of an earlier run that was ended between two steps goes back into the directory:
// in the requested case where no entry answers to that name, else under its own name.
bool ReturnWaitingFile(CaseRunContext& run, const std::wstring& waitingPath, const std::wstring& name) {
    std::optional<std::wstring> converted = ConvertedName(run.direction, name);
    for (const std::wstring& target : {converted.value_or(name), name}) {
        if (run.census.IsTaken(target)) continue;
        if (MoveWithoutReplacing(waitingPath, run.PathOf(target)) != ERROR_SUCCESS) continue;
        run.census.Add(target);
        return true;
    }
    return false;
}

// The files waiting in one staging folder of an earlier run.
void ReturnFilesInFolder(CaseRunContext& run, const CStagingFolder& staging) {
    for (const ListingEntry& waiting : staging.WaitingFiles()) {
        bool bMay = !waiting.IsDirectory() && !(waiting.attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
                    staging.MayMoveFromFolder(waiting.name);
        if (!bMay || !ReturnWaitingFile(run, staging.PathOf(waiting.name), waiting.name))
            run.stranded.push_back(staging.RelativePathOf(waiting.name));
    }
}

// The files of one staging folder waiting beside the others; false when one of them stays.
bool ReturnFilesBeside(CaseRunContext& run, const CStagingFolder& staging) {
    bool bAllBack = true;
    for (const ListingEntry& entry : run.listing.entries) {
        std::wstring own = entry.IsDirectory() ? std::wstring() : staging.OwnNameOf(entry.name);
        if (own.empty()) continue;
        run.waitingNames.insert(entry.name);
        if (staging.MayMoveFromDirectory(entry.name) && ReturnWaitingFile(run, run.PathOf(entry.name), own)) continue;
        run.stranded.push_back(entry.name);
        bAllBack = false;
    }
    return bAllBack;
}

// A folder that another run is working with, and the files waiting for it, stay as they are;
// they lack the requested case as long as that run lasts.
void LeaveToItsRun(CaseRunContext& run, const CStagingFolder& staging) {
    for (const ListingEntry& waiting : staging.WaitingFiles())
        run.stranded.push_back(staging.RelativePathOf(waiting.name));
    for (const ListingEntry& entry : run.listing.entries) {
        if (entry.IsDirectory() || staging.OwnNameOf(entry.name).empty()) continue;
        run.waitingNames.insert(entry.name);
        run.stranded.push_back(entry.name);
    }
}

// Files of earlier runs come back; each folder goes once none of its files waits.
void ReturnEarlierRunsFiles(CaseRunContext& run) {
    for (const ListingEntry& entry : run.listing.entries) {
        std::optional<CStagingFolder> staging = CStagingFolder::Open(run.directory, entry);
        if (!staging) continue;
        if (staging->IsHeldElsewhere()) {
            LeaveToItsRun(run, *staging);
            continue;
        }
        ReturnFilesInFolder(run, *staging);
        if (ReturnFilesBeside(run, *staging)) staging->RemoveIfEmpty();
    }
}

// Files waiting for a staging folder are left to that folder, under their waiting names.
bool IsFileToTry(const CaseRunContext& run, const ListingEntry& entry) {
    return !entry.IsDirectory() && !run.waitingNames.count(entry.name);
}

size_t CountFilesToTry(const CaseRunContext& run) {
    return std::count_if(run.listing.entries.begin(), run.listing.entries.end(),
                         [&run](const ListingEntry& entry) { return IsFileToTry(run, entry); });
}

// A rename that is refused or fails leaves the file as it was; the disk tells afterwards.
void RenameFile(CaseRunContext& run, CCaseRenamer& renamer, const ListingEntry& entry) {
    if (!Addressable(entry.name)) return;
    std::optional<std::wstring> target = ConvertedName(run.direction, entry.name);
    if (!target || *target == entry.name || run.census.TakenByOther(entry, *target)) return;
    renamer.Rename(entry, *target);
}

// A stop is taken between two files only, so that no file stays between its two steps; the
// files deferred until then are still brought to their new names or back to their own.
void RenameFiles(CaseRunContext& run) {
    CCaseRenamer renamer(run);
    for (const ListingEntry& entry : run.listing.entries) {
        if (!IsFileToTry(run, entry)) continue;
        if (run.StopRequested()) {
            run.bStopped = true;
            break;
        }
        RenameFile(run, renamer, entry);
        run.control.nDone.fetch_add(1, std::memory_order_relaxed);
    }
    renamer.RetryDeferred();
}

// The files of the directory, as the disk now holds them, that lack the requested case.
std::vector<std::wstring> FilesWithoutRequestedCase(const CaseRunContext& run) {
    DirectoryListing after = ReadDirectoryListing(run.directory);
    // Unreadable now: every file that needed a change may have kept its name.
    const DirectoryListing& listing = after.started ? after : run.listing;
    std::vector<std::wstring> kept;
    for (const ListingEntry& entry : listing.entries)
        if (!entry.IsDirectory() && !HasRequestedCase(run.direction, entry.name)) kept.push_back(entry.name);
    return kept;
}

}  // namespace

CaseRunOutcome ChangeCaseOnDisk(CaseDirection direction, const std::wstring& directory,
                                   CaseRunControl* pControl) {
    CaseRunControl unwatched;
    CaseRunOutcome outcome;
    CaseRunContext run(direction, directory, ReadDirectoryListing(directory), pControl ? *pControl : unwatched);
    outcome.bListed = run.listing.started;
    outcome.nEntries = run.listing.entries.size();
    if (!run.listing.started) return outcome;
    ReturnEarlierRunsFiles(run);
    run.control.nTotal.store(CountFilesToTry(run));
    RenameFiles(run);
    outcome.bStopped = run.bStopped;
    outcome.nRenamed = run.nRenamed;
    outcome.kept = FilesWithoutRequestedCase(run);
    // A file still waiting in a staging folder is not in the directory's listing.
    outcome.kept.insert(outcome.kept.end(), run.stranded.begin(), run.stranded.end());
    std::sort(outcome.kept.begin(), outcome.kept.end());
    outcome.kept.erase(std::unique(outcome.kept.begin(), outcome.kept.end()), outcome.kept.end());
    return outcome;
}

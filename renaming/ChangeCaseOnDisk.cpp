#include "renaming/ChangeCaseOnDisk.h"

#include "filesystem/ExtendedPath.h"
#include "filesystem/MoveWithoutReplacing.h"
#include "renaming/CaseConversion.h"
#include "renaming/CaseRenamer.h"
#include "renaming/CaseRunContext.h"
#include "renaming/FilePlan.h"
#include "renaming/NameCensus.h"
#include "renaming/RunJournalAhead.h"
#include "renaming/StagingFolder.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace {

// A file of an earlier run that was ended between two steps goes back into the directory:
// in the requested case where no entry answers to that name, else under its own name.
bool ReturnWaitingFile(CaseRunContext& run, const std::wstring& waitingPath, const std::wstring& name) {
    for (const std::wstring& target : ReturnNames(run.targetRule(name), name, run.census)) {
        if (MoveWithoutReplacing(waitingPath, run.PathOf(target)) != ERROR_SUCCESS) continue;
        run.census.Add(target);
        ++run.nReturned;
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

// The positions in the listing of the files a forward run tries, in the listing's order.
std::vector<size_t> FilesToTry(const CaseRunContext& run) {
    std::vector<size_t> order;
    for (size_t i = 0; i < run.listing.entries.size(); ++i)
        if (IsFileToTry(run, run.listing.entries[i])) order.push_back(i);
    return order;
}

// A rename that is refused or fails leaves the file as it was; the disk tells afterwards.
void RenameFile(CaseRunContext& run, CCaseRenamer& renamer, CRunJournalAhead& journal, size_t index) {
    const ListingEntry& entry = run.listing.entries[index];
    std::optional<std::wstring> target = run.TargetFor(entry);
    if (target && renamer.Rename(entry, *target) == CCaseRenamer::Result::Renamed) journal.Renamed(index);
}

// A stop is taken between two files only, so that no file stays between its two steps; the
// files deferred until then are still brought to their new names or back to their own. A
// journal that cannot be written further stops the run the same way, and so does a look at the
// directory that failed. Returns how many of the files in order were tried.
size_t RenameFiles(CaseRunContext& run, const std::vector<size_t>& order, CRunJournalAhead& journal) {
    run.control.nTotal.store(order.size());
    CCaseRenamer renamer(run);
    size_t k = 0;
    for (; k < order.size() && run.listingError == ERROR_SUCCESS; ++k) {
        CRunJournalAhead::Cover cover = run.StopRequested() ? CRunJournalAhead::Cover::Stop : journal.Before(order, k);
        if (cover == CRunJournalAhead::Cover::Stop) {
            run.bStopped = true;
            break;
        }
        if (cover == CRunJournalAhead::Cover::Rename) RenameFile(run, renamer, journal, order[k]);
        run.control.nDone.fetch_add(1, std::memory_order_relaxed);
    }
    renamer.RetryDeferred();
    return k;
}

// The files of the directory, as the disk now holds them, that lack the requested case.
std::vector<std::wstring> FilesWithoutRequestedCase(const CaseRunContext& run, const DirectoryListing& after) {
    // Unreadable now: every file that needed a change may have kept its name.
    const DirectoryListing& listing = after.Failed() ? run.listing : after;
    std::vector<std::wstring> kept;
    for (const ListingEntry& entry : listing.entries)
        if (!entry.IsDirectory() && !HasRequestedCase(CaseChange(run.direction, run.part), entry.name))
            kept.push_back(entry.name);
    return kept;
}

// Taking a run back: what each file of the journal is found to be before anything is renamed.
struct RestorePlan {
    std::vector<size_t> order;           // listing positions of the files to give back
    std::vector<size_t> entryOf;         // for each of them, its entry of the journal
    std::vector<std::wstring> leftAsIs;  // by the names they have
};

bool IsSameFileAt(const std::unordered_map<std::wstring, FileIdentity>& identities, const std::wstring& name,
                  const JournalEntry& entry, const JournalFolder& folder) {
    auto found = identities.find(name);
    return found != identities.end() &&
           SameFile(entry.identity, found->second, folder.survivingParts, folder.timeTicks);
}

// A file is given back its name only where the file under the new name is the one the run
// renamed and no other entry answers to the earlier name. The same file still under its
// earlier name (the run never reached it, or an ended undo did) needs nothing.
RestorePlan PlanRestore(const CaseRunContext& run, const JournalFolder& folder,
                        const std::unordered_map<std::wstring, FileIdentity>& identities) {
    std::unordered_map<std::wstring, size_t> positions;
    for (size_t i = 0; i < run.listing.entries.size(); ++i)
        if (IsFileToTry(run, run.listing.entries[i])) positions.emplace(run.listing.entries[i].name, i);
    RestorePlan plan;
    for (size_t e = 0; e < folder.entries.size(); ++e) {
        const JournalEntry& entry = folder.entries[e];
        auto at = positions.find(entry.newName);
        if (at != positions.end() && IsSameFileAt(identities, entry.newName, entry, folder)) {
            if (run.census.TakenByOther(run.listing.entries[at->second], entry.earlierName)) {
                plan.leftAsIs.push_back(entry.newName);
                continue;
            }
            plan.order.push_back(at->second);
            plan.entryOf.push_back(e);
        } else if (!positions.count(entry.earlierName) || !IsSameFileAt(identities, entry.earlierName, entry, folder)) {
            plan.leftAsIs.push_back(entry.newName);
        }
    }
    return plan;
}

// The files tried: those that still carry their new names wait for another undo; those that
// carry neither name now are named as left as they are.
void SortOutTried(const JournalFolder& folder, const RestorePlan& plan, size_t nTried, const DirectoryListing& after,
                  CaseRunOutcome& outcome) {
    std::vector<JournalEntry> tried;
    for (size_t k = 0; k < nTried; ++k) tried.push_back(folder.entries[plan.entryOf[k]]);
    outcome.inUse = EntriesWithNewNames(tried, after);
    std::unordered_set<std::wstring> names;
    for (const ListingEntry& entry : after.entries) names.insert(entry.name);
    for (const JournalEntry& entry : tried)
        if (!after.Failed() && !names.count(entry.earlierName) && !names.count(entry.newName))
            outcome.kept.push_back(entry.newName);
}

void SortAndMerge(std::vector<std::wstring>& names) {
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
}

}  // namespace

CaseRunOutcome ChangeCaseOnDisk(const CaseChange& change, const std::wstring& directory, CaseRunControl* pControl,
                                CRunJournalWriter* pJournal, const std::wstring& shownDirectory) {
    CaseRunControl unwatched;
    CaseRunOutcome outcome;
    // A run that records itself reads its files' identities with its listing, in one pass.
    std::unordered_map<std::wstring, FileIdentity> identities;
    DirectoryListing listing = pJournal ? ReadListingWithIdentities(directory, identities)
                                        : ReadDirectoryListing(directory);
    CaseRunContext run(change, directory, std::move(listing), pControl ? *pControl : unwatched, CaseRule(change));
    outcome.bListed = run.listing.started;
    outcome.nEntries = run.listing.entries.size();
    if (run.listing.Failed()) outcome.listingError = run.listing.error;
    if (!run.listing.started || run.listing.Failed()) return outcome;
    ReturnEarlierRunsFiles(run);
    CRunJournalAhead journal(run, pJournal, std::move(identities), shownDirectory);
    RenameFiles(run, FilesToTry(run), journal);
    outcome.bStopped = run.bStopped;
    outcome.nRenamed = run.nRenamed;
    outcome.bRenamesNamed = run.RenamesNamed();
    if (outcome.bRenamesNamed) outcome.renames = std::move(run.renames);
    if (pJournal && pJournal->Failed()) outcome.journalFault = pJournal->Fault();
    DirectoryListing after = ReadDirectoryListing(run.directory);
    journal.Finish(after);
    outcome.listingError = run.listingError != ERROR_SUCCESS ? run.listingError : after.Failed() ? after.error : 0;
    outcome.kept = FilesWithoutRequestedCase(run, after);
    // A file still waiting in a staging folder is not in the directory's listing.
    outcome.kept.insert(outcome.kept.end(), run.stranded.begin(), run.stranded.end());
    SortAndMerge(outcome.kept);
    return outcome;
}

namespace {

// One folder of a journal taken back: the run's own route, with the journal's earlier names as
// the rule.
CaseRunOutcome RestoreFolder(const JournalFolder& folder, CaseRunControl& control) {
    CaseRunOutcome outcome;
    std::unordered_map<std::wstring, std::wstring> earlierNames;
    for (const JournalEntry& entry : folder.entries) earlierNames[entry.newName] = entry.earlierName;
    TargetRule rule = [&earlierNames](const std::wstring& name) -> std::optional<std::wstring> {
        auto found = earlierNames.find(name);
        return found == earlierNames.end() ? std::nullopt : std::optional<std::wstring>(found->second);
    };
    // The listing and the identities of its files in one pass.
    std::unordered_map<std::wstring, FileIdentity> identities;
    CaseRunContext run(CaseChange(folder.direction, folder.part), folder.directory,
                       ReadListingWithIdentities(folder.directory, identities), control, rule);
    outcome.bListed = run.listing.started;
    outcome.nEntries = run.listing.entries.size();
    if (!run.listing.started || run.listing.Failed()) {
        if (run.listing.Failed()) outcome.listingError = run.listing.error;
        return outcome;
    }
    ReturnEarlierRunsFiles(run);
    // Files that came back from where they waited are judged with the others.
    if (run.nReturned > 0) {
        run.listing = ReadListingWithIdentities(run.directory, identities);
        if (run.listing.Failed()) {
            outcome.listingError = run.listing.error;
            return outcome;
        }
        run.LookAgain();
    }
    RestorePlan plan = PlanRestore(run, folder, identities);
    CRunJournalAhead noJournal(run, nullptr);
    size_t nTried = RenameFiles(run, plan.order, noJournal);
    for (size_t k = nTried; k < plan.order.size(); ++k) outcome.unreached.push_back(folder.entries[plan.entryOf[k]]);
    outcome.bStopped = run.bStopped;
    outcome.nRenamed = run.nRenamed;
    outcome.bRenamesNamed = run.RenamesNamed();
    if (outcome.bRenamesNamed) outcome.renames = std::move(run.renames);
    DirectoryListing after = ReadDirectoryListing(run.directory);
    outcome.listingError = run.listingError != ERROR_SUCCESS ? run.listingError : after.Failed() ? after.error : 0;
    SortOutTried(folder, plan, nTried, after, outcome);
    outcome.kept.insert(outcome.kept.end(), plan.leftAsIs.begin(), plan.leftAsIs.end());
    outcome.kept.insert(outcome.kept.end(), run.stranded.begin(), run.stranded.end());
    SortAndMerge(outcome.kept);
    return outcome;
}

}  // namespace

std::vector<CaseRunOutcome> RestoreEarlierNames(const RunJournal& journal, CaseRunControl* pControl) {
    CaseRunControl unwatched;
    CaseRunControl& control = pControl ? *pControl : unwatched;
    std::vector<CaseRunOutcome> outcomes;
    for (const JournalFolder& folder : journal.folders) {
        if (!control.bStopRequested.load()) {
            outcomes.push_back(RestoreFolder(folder, control));
            continue;
        }
        // Stopped before this folder: all of it is still to be given back.
        CaseRunOutcome untouched;
        untouched.bListed = true;
        untouched.bStopped = true;
        untouched.unreached = folder.entries;
        outcomes.push_back(std::move(untouched));
    }
    return outcomes;
}

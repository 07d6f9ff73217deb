#pragma once
// What every step of one rename run works with: the direction, the directory, what it held at
// the start, what it holds as last seen, the rule that gives each file its target, and the files
// that the run cannot finish. A run that takes back an earlier one is the same run with another
// rule: each file the journal names gets its earlier name.
#include "filesystem/DirectoryListing.h"
#include "filesystem/ExtendedPath.h"
#include "renaming/CaseChange.h"
#include "renaming/CaseConversion.h"
#include "renaming/CaseRunControl.h"
#include "renaming/ChangeCaseOnDisk.h"
#include "renaming/FilePlan.h"
#include "renaming/NameCensus.h"

#include <functional>
#include <optional>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

// The name a file of this name is to take by the run's rule, before the directory is asked; none
// for a file the rule leaves alone.
using TargetRule = std::function<std::optional<std::wstring>(const std::wstring& name)>;

// A forward run's rule: the name with the part asked for in the requested case.
inline TargetRule CaseRule(const CaseChange& change) {
    return [change](const std::wstring& name) { return ConvertedName(change, name); };
}

struct CaseRunContext {
    CaseRunContext(const CaseChange& change, std::wstring strDirectory, DirectoryListing startListing,
                   CaseRunControl& runControl, TargetRule rule)
        : direction(change.direction),
          part(change.part),
          directory(std::move(strDirectory)),
          listing(std::move(startListing)),
          census(listing.entries),
          targetRule(std::move(rule)),
          control(runControl) {}

    std::wstring PathOf(const std::wstring& name) const { return AfxJoinPath(directory, name); }
    // A fresh look at the directory: the census then shows what it holds now, names that came
    // in since the start included. Its own listing stays as it was at the start. A look that
    // fails keeps the census as last seen and is the run's error.
    void LookAgain() {
        DirectoryListing now = ReadDirectoryListing(directory);
        if (now.Failed()) {
            listingError = now.error;
            return;
        }
        census = CNameCensus(now.entries);
    }
    // The name a file of the directory is to take now: the rule's, where the file's plan (the
    // same for a forward run, its preview and an undo) is a rename.
    std::optional<std::wstring> TargetFor(const ListingEntry& entry) const {
        FilePlan plan = PlanTarget(targetRule(entry.name), census, entry);
        if (plan.fate != FileFate::Renamed) return std::nullopt;
        return std::move(plan.target);
    }
    // A file now carries its target: counted, and named while the run names its renames.
    void Renamed(const std::wstring& from, const std::wstring& to) {
        if (++nRenamed <= kRenamesNamedAtMost)
            renames.push_back({from, to});
        else if (nRenamed == kRenamesNamedAtMost + 1)
            renames = {};  // no longer kept: a run of any size keeps only its count
    }
    // Whether renames is every change of a name the run made in the directory.
    bool RenamesNamed() const { return nRenamed <= kRenamesNamedAtMost && nReturned == 0 && stranded.empty(); }
    // Whoever watches the run has asked it to end after the file in hand.
    bool StopRequested() const { return control.bStopRequested.load(std::memory_order_relaxed); }

    CaseDirection direction;
    NamePart part;             // of each name, the part whose case a forward run changes
    std::wstring directory;    // exact path
    DirectoryListing listing;  // as read at the start: the files the run goes through
    CNameCensus census;        // the names the directory's entries answer to, as last seen
    TargetRule targetRule;
    // Files that wait where the run cannot bring them back, relative to the directory.
    std::vector<std::wstring> stranded;
    // Entries of the directory that are files waiting for a staging folder, not files to rename.
    std::unordered_set<std::wstring> waitingNames;
    size_t nReturned = 0;  // files of earlier runs brought back from where they waited
    CaseRunControl& control;
    bool bStopped = false;  // files were left untried because a stop was asked for
    size_t nRenamed = 0;    // files this run brought to the requested case
    std::vector<NameChange> renames;  // the first kRenamesNamedAtMost of them, none beyond
    // A look at the directory failed midway through the run: no file is tried after it.
    DWORD listingError = ERROR_SUCCESS;
};

#pragma once
// What every step of one rename run works with: the direction, the directory, what it held at
// the start, what it holds as last seen, and the files that the run cannot finish. A run that
// takes back an earlier one gives each file it names its earlier name instead.
#include "filesystem/DirectoryListing.h"
#include "filesystem/ExtendedPath.h"
#include "renaming/CaseConversion.h"
#include "renaming/CaseChange.h"
#include "renaming/CaseDirection.h"
#include "renaming/CaseRunControl.h"
#include "renaming/NameCensus.h"

#include <string>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

struct CaseRunContext {
    CaseRunContext(const CaseChange& change, std::wstring strDirectory, DirectoryListing startListing,
            CaseRunControl& runControl)
        : direction(change.direction),
          part(change.part),
          directory(std::move(strDirectory)),
          listing(std::move(startListing)),
          census(listing.entries),
          control(runControl) {}

    std::wstring PathOf(const std::wstring& name) const { return AfxJoinPath(directory, name); }
    // A fresh look at the directory: the census then shows what it holds now, names that came
    // in since the start included. Its own listing stays as it was at the start.
    void LookAgain() { census = CNameCensus(ReadDirectoryListing(directory).entries); }
    // The name a file of the directory is to take: its earlier name when the run takes back an
    // earlier one (none for a file that run did not rename), else its name in the requested case.
    std::optional<std::wstring> TargetOf(const std::wstring& name) const {
        if (!bRestoring) return ConvertedName(CaseChange(direction, part), name);
        auto found = earlierNames.find(name);
        return found == earlierNames.end() ? std::nullopt : std::optional<std::wstring>(found->second);
    }
    // Whoever watches the run has asked it to end after the file in hand.
    bool StopRequested() const { return control.bStopRequested.load(std::memory_order_relaxed); }

    CaseDirection direction;
    NamePart part;             // of each name, the part whose case the run changes
    std::wstring directory;    // exact path
    DirectoryListing listing;  // as read at the start: the files the run goes through
    CNameCensus census;        // the names the directory's entries answer to, as last seen
    // Files that wait where the run cannot bring them back, relative to the directory.
    std::vector<std::wstring> stranded;
    // Entries of the directory that are files waiting for a staging folder, not files to rename.
    std::unordered_set<std::wstring> waitingNames;
    bool bRestoring = false;  // the run takes back an earlier one
    std::unordered_map<std::wstring, std::wstring> earlierNames;  // when restoring: new name -> earlier name
    size_t nReturned = 0;  // files of earlier runs brought back from where they waited
    CaseRunControl& control;
    bool bStopped = false;  // files were left untried because a stop was asked for
    size_t nRenamed = 0;    // files this run brought to the requested case
};

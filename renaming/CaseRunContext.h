#pragma once
// What every step of one rename run works with: the direction, the directory, what it held at
// the start, what it holds as last seen, and the files that the run cannot finish.
#include "filesystem/DirectoryListing.h"
#include "filesystem/ExtendedPath.h"
#include "renaming/CaseDirection.h"
#include "renaming/CaseRunControl.h"
#include "renaming/NameCensus.h"

#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

struct CaseRunContext {
    CaseRunContext(CaseDirection caseDirection, std::wstring strDirectory, DirectoryListing startListing,
            CaseRunControl& runControl)
        : direction(caseDirection),
          directory(std::move(strDirectory)),
          listing(std::move(startListing)),
          census(listing.entries),
          control(runControl) {}

    std::wstring PathOf(const std::wstring& name) const { return AfxJoinPath(directory, name); }
    // A fresh look at the directory: the census then shows what it holds now, names that came
    // in since the start included. Its own listing stays as it was at the start.
    void LookAgain() { census = CNameCensus(ReadDirectoryListing(directory).entries); }
    // Whoever watches the run has asked it to end after the file in hand.
    bool StopRequested() const { return control.bStopRequested.load(std::memory_order_relaxed); }

    CaseDirection direction;
    std::wstring directory;    // exact path
    DirectoryListing listing;  // as read at the start: the files the run goes through
    CNameCensus census;        // the names the directory's entries answer to, as last seen
    // Files that wait where the run cannot bring them back, relative to the directory.
    std::vector<std::wstring> stranded;
    // Entries of the directory that are files waiting for a staging folder, not files to rename.
    std::unordered_set<std::wstring> waitingNames;
    CaseRunControl& control;
    bool bStopped = false;  // files were left untried because a stop was asked for
    size_t nRenamed = 0;    // files this run brought to the requested case
};

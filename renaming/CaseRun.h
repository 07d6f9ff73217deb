#pragma once
// What every step of one rename run works with: the direction, the directory, what it held at
// the start, what it holds as last seen, and the files that the run cannot finish.
#include "filesystem/DirectoryListing.h"
#include "filesystem/ExtendedPath.h"
#include "renaming/CaseDirection.h"
#include "renaming/NameCensus.h"

#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

struct CaseRun {
    CaseRun(CaseDirection caseDirection, std::wstring strDirectory, DirectoryListing startListing)
        : direction(caseDirection),
          directory(std::move(strDirectory)),
          listing(std::move(startListing)),
          census(listing.entries) {}

    std::wstring PathOf(const std::wstring& name) const { return AfxJoinPath(directory, name); }
    // A fresh look at the directory: the census then shows what it holds now, names that came
    // in since the start included. Its own listing stays as it was at the start.
    void LookAgain() { census = CNameCensus(ReadDirectoryListing(directory).entries); }

    CaseDirection direction;
    std::wstring directory;    // exact path
    DirectoryListing listing;  // as read at the start: the files the run goes through
    CNameCensus census;        // the names the directory's entries answer to, as last seen
    // Files that wait where the run cannot bring them back, relative to the directory.
    std::vector<std::wstring> stranded;
    // Entries of the directory that are files waiting for a staging folder, not files to rename.
    std::unordered_set<std::wstring> waitingNames;
};

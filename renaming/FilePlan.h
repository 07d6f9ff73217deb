#pragma once
// What a forward run does with one file of its listing, decided in this one place for the run
// itself, its count in the directory dialog, the list of every rename and the dry run: so
// that what they show is what the run then does.
#include "filesystem/DirectoryListing.h"
#include "renaming/CaseChange.h"
#include "renaming/NameCensus.h"

#include <optional>
#include <string>
#include <vector>

enum class FileFate {
    InCase,         // the part asked for has the requested case already: nothing to do
    Renamed,        // takes the name in target
    Twin,           // keeps its name: another entry answers to the new name
    Unaddressable,  // keeps its name: no path can spell it (a separator, bytes that are not UTF-8)
    NoCaseForm,     // keeps its name: the part in the requested case would be another name
    Waiting,        // never from PlanFile: a file that an ended run left waiting, and that stays so
};

struct FilePlan {
    FileFate fate = FileFate::InCase;
    std::wstring target;  // Renamed: the new name; Twin: the name another entry answers to
};

// entry: a file of the directory; census: the names its entries answer to, as the run last saw
// them.
FilePlan PlanFile(const CaseChange& change, const CNameCensus& census, const ListingEntry& entry);

// The same for a target that any rule gave (a forward run's conversion, an undo's earlier name;
// none: the rule leaves the file alone): one place decides for every run.
FilePlan PlanTarget(std::optional<std::wstring> target, const CNameCensus& census, const ListingEntry& entry);

// A file that an ended run left waiting between its two steps comes back under the first of
// these names that a move reaches: its name in the requested case (target, where it has one),
// else its own; a name that an entry answers to is left out. None: it waits on.
std::vector<std::wstring> ReturnNames(const std::optional<std::wstring>& target, const std::wstring& own,
                                      const CNameCensus& census);

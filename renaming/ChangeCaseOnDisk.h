#pragma once
// One run over a directory given by its exact path: files left in staging folders by an
// earlier run come back, every file takes the requested case where it can, and the disk is
// read again to tell which files did not. It renames and reports, and nothing more: no box,
// no window, no current directory (the user's command around it is app/RenameFilesToCase).
// The same run takes an earlier one back from its journal, with the journal's names as its rule.
#include "renaming/CaseChange.h"
#include "renaming/CaseRunControl.h"
#include "renaming/RunJournal.h"

#include <cstddef>
#include <string>
#include <vector>

// A file's name before and after a rename of the run, relative to the directory.
struct NameChange {
    std::wstring from;
    std::wstring to;
    bool operator==(const NameChange&) const = default;
};

// A run names its renames one by one up to this many; beyond, only their number is kept.
constexpr size_t kRenamesNamedAtMost = 100;

struct CaseRunOutcome {
    bool bListed = false;  // the listing could be started
    size_t nEntries = 0;   // entries found, other than "." and ".."
    // Files that do not have the requested case afterwards, relative to the directory; a file
    // that could not leave a staging folder is named with that folder.
    std::vector<std::wstring> kept;
    bool bStopped = false;  // a stop was asked for, or the journal failed, and files were left untried
    size_t nRenamed = 0;    // files that now carry the requested case because this run renamed them
    // Every name the run changed in the directory, where that is nothing but the renames counted
    // in nRenamed and they are no more than kRenamesNamedAtMost (bRenamesNamed). A file brought
    // back from a staging folder, or left in one, changes the directory too: then none is named.
    std::vector<NameChange> renames;
    bool bRenamesNamed = true;
    // A listing of the directory failed (ERROR_SUCCESS: none did): at the start, and the run
    // renamed nothing; later, and the run tried no file after it and cannot tell all it did.
    DWORD listingError = ERROR_SUCCESS;
    // The journal could not be written further: the run stopped before the first file it could
    // not have recorded (bStopped is set too).
    JournalFault journalFault;
    // Taking a run back: the journal's files still to be given back, those a stop left untried
    // and those tried that still carry their new names (in use, locked, refused for now).
    std::vector<JournalEntry> unreached;
    std::vector<JournalEntry> inUse;
};

// change: the case, and the part of each name it is asked for (a direction alone: whole names).
// directory: an extended ("\\?\X:\...") or Unix namespace ("\\?\unix\...") path.
// pControl: counts the files as they are handled and is asked before each file whether to stop;
// a stopped run still ends as any run does, with no file left waiting.
// pJournal: where the run records ahead of its renames what it renames, so that it can be
// taken back (started, see CRunJournalWriter::Start); none given, nothing is recorded. A run over
// several folders calls this once for each with the same journal, which then holds them all.
// shownDirectory: the directory as the user chose it, for the journal (empty: directory).
CaseRunOutcome ChangeCaseOnDisk(const CaseChange& change, const std::wstring& directory,
                                CaseRunControl* pControl = nullptr, CRunJournalWriter* pJournal = nullptr,
                                const std::wstring& shownDirectory = {});

// Takes back the run that the journal records, folder by folder, in the journal's order (one
// outcome each): each file it renamed gets its earlier name back where the file now under the
// new name is the same file (see FileIdentity) and no other entry answers to the earlier name.
// Every other file is left exactly as it is and named in kept by the name it has: gone, renamed
// again, replaced, or its earlier name held by another file. A file that still has its earlier
// name counts as given back. nRenamed: names given back; bListed false or listingError: the
// directory could not be read whole (nothing there was touched, or nothing more after it).
std::vector<CaseRunOutcome> RestoreEarlierNames(const RunJournal& journal, CaseRunControl* pControl = nullptr);

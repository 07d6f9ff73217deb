#pragma once
// One run over a directory given by its exact path: files left in staging folders by an
// earlier run come back, every file takes the requested case where it can, and the disk is
// read again to tell which files did not. It renames and reports, and nothing more: no box,
// no window, no current directory (the user's command around it is app/RenameFilesToCase).
#include "renaming/CaseDirection.h"
#include "renaming/CaseRunControl.h"

#include <cstddef>
#include <string>
#include <vector>

struct CaseRunOutcome {
    bool bListed = false;  // the listing could be started
    size_t nEntries = 0;   // entries found, other than "." and ".."
    // Files that do not have the requested case afterwards, relative to the directory; a file
    // that could not leave a staging folder is named with that folder.
    std::vector<std::wstring> kept;
    bool bStopped = false;  // a stop was asked for and files were left untried
    size_t nRenamed = 0;    // files that now carry the requested case because this run renamed them
};

// directory: an extended ("\\?\X:\...") or Unix namespace ("\\?\unix\...") path.
// pControl: counts the files as they are handled and is asked before each file whether to stop;
// a stopped run still ends as any run does, with no file left waiting.
CaseRunOutcome ChangeCaseOnDisk(CaseDirection direction, const std::wstring& directory,
                                   CaseRunControl* pControl = nullptr);

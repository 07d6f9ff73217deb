#pragma once
// One run over a directory given by its exact path: files left in staging folders by an
// earlier run come back, every file takes the requested case where it can, and the disk is
// read again to tell which files did not.
#include "renaming/CaseDirection.h"

#include <cstddef>
#include <string>
#include <vector>

struct CaseRunOutcome {
    bool bListed = false;  // the listing could be started
    size_t nEntries = 0;   // entries found, other than "." and ".."
    // Files that do not have the requested case afterwards, relative to the directory; a file
    // that could not leave a staging folder is named with that folder.
    std::vector<std::wstring> kept;
};

// directory: an extended ("\\?\X:\...") or Unix namespace ("\\?\unix\...") path.
CaseRunOutcome RenameEntriesToCase(CaseDirection direction, const std::wstring& directory);

#pragma once
// What a run in one direction would do to a directory as it stands now, by the run's own rules:
// the same files gone through (files waiting for a staging folder of an earlier run are not
// among them), the same conversion, the same names a file may not take. It only reads: no file,
// folder or marker is changed, held or taken back, so a run beside it goes on undisturbed.
#include "renaming/CaseDirection.h"

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <string>

struct RunPreview {
    bool bListed = false;  // the directory could be listed to its end
    // Why the listing failed, before it began or before the directory's end (ERROR_SUCCESS: it
    // did not; a directory without entries is no failure).
    DWORD listingError = ERROR_SUCCESS;
    bool bStopped = false;  // given up on request: the counts are not to be used
    size_t nFiles = 0;      // the files a run would go through
    size_t nToRename = 0;   // of those, the files it would bring to the requested case
    // Of those, the files that lack the requested case and would keep their names: another
    // entry answers to the converted name, or no path can spell the file's name.
    size_t nKeepingName = 0;
};

// directory: an extended ("\\?\X:\...") or Unix namespace ("\\?\unix\...") path, as a run gets it.
// bStop: when it turns true, the preview ends as soon as it can, with bStopped set.
RunPreview PreviewRun(CaseDirection direction, const std::wstring& directory, const std::atomic<bool>& bStop);

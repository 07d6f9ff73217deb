#pragma once
// What a run would do to a directory as it stands now, by the run's own rules: the same files
// gone through, each planned by the run's own PlanFile, and first the files that an ended run
// left waiting brought back as the run brings them back. It only reads: no file, folder or
// marker is changed, held or taken back, so a run beside it goes on undisturbed. (A staging
// folder that another run is working with at that moment would keep its files; the preview
// cannot tell without taking hold of it, and takes every folder for an ended run's.)
#include "renaming/CaseChange.h"
#include "renaming/FilePlan.h"

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

struct RunPreview {
    bool bListed = false;  // the directory could be listed to its end
    // Why the listing failed, before it began or before the directory's end (ERROR_SUCCESS: it
    // did not; a directory without entries is no failure).
    DWORD listingError = ERROR_SUCCESS;
    bool bStopped = false;  // given up on request: the counts are not to be used
    // The files a run would go through (files waiting for a staging folder of an earlier run
    // are not among them: the run brings them back first).
    size_t nFiles = 0;
    size_t nToRename = 0;  // of those, the files it would bring to the requested case
    // Of those, the files that lack the requested case and would keep their names: another
    // entry answers to the converted name, or no path can spell the file's name.
    size_t nKeepingName = 0;
};

// One file as the run would leave it.
struct PlannedFile {
    std::wstring name;      // as the directory holds it; one waiting in a staging folder: its path there
    FilePlan plan;          // Renamed: the new name in plan.target
    std::wstring twin;      // FileFate::Twin: an entry that answers to the new name
    bool bWaiting = false;  // left waiting by an ended run: Renamed, it comes back, else it waits on
};

// Every file the run would rename, then every file that would keep its name although it lacks
// the requested case; each group in the order of the names' UTF-16 units, as the end box names
// files. Files already in the requested case are not among them.
struct RunPlan {
    RunPreview counts;
    std::vector<PlannedFile> renamed;
    std::vector<PlannedFile> kept;
};

// directory: an extended ("\\?\X:\...") or Unix namespace ("\\?\unix\...") path, as a run gets it.
// bStop: when it turns true, the preview ends as soon as it can, with bStopped set.
RunPreview PreviewRun(const CaseChange& change, const std::wstring& directory, const std::atomic<bool>& bStop);
RunPlan PlanRun(const CaseChange& change, const std::wstring& directory, const std::atomic<bool>& bStop);

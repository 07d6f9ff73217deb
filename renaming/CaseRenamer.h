#pragma once
// Changes the case of names in one directory so that the change really happens.
//
// Some platforms (FAT volumes on Windows, Wine outside its Unix namespace) report success for
// a rename that changes only the case and leave the name as it was; others (FAT32 and exFAT
// under Wine) refuse it because they find the file itself under the new name. The first such
// rename of a run looks at the name on disk to find out which kind of platform this is; where
// the one-step rename does not work, each file from then on goes in two steps, waiting in
// between beside the others or in a staging folder. No step ever replaces an existing file.
//
// A volume may answer for a moment to a name it has just given up (exFAT, FAT32 through FUSE
// with its caches, network redirectors): a step refused as "taken" while the directory shows no
// other entry under that name is tried again, after the rest of the directory and after short
// pauses, before the file goes back to its own name. A refusal that another entry explains is
// final at once.
#include "renaming/CaseRunContext.h"
#include "renaming/StagingFolder.h"

#include <optional>
#include <string>
#include <vector>

class CCaseRenamer {
public:
    enum class Result {
        Renamed,
        Kept,      // still in place under its old name
        Stranded,  // could not be moved back from where it waited; in the run's stranded list
        Deferred,  // waits for RetryDeferred
    };

    explicit CCaseRenamer(CaseRunContext& run);
    ~CCaseRenamer();
    CCaseRenamer(const CCaseRenamer&) = delete;
    CCaseRenamer& operator=(const CCaseRenamer&) = delete;

    // entry: a file of the start listing; to: the same name in another case, which no other
    // entry answers to as last seen.
    Result Rename(const ListingEntry& entry, const std::wstring& to);
    // Brings every deferred file to its new name or back to its own, within a few seconds in
    // all however many files wait; what cannot come back is added to the run's stranded list.
    void RetryDeferred();

private:
    enum class Mode { Unknown, OneStep, Staged };
    // A file that waits between its two steps because the second was refused.
    struct Waiting {
        std::wstring strOwnName;
        std::wstring strTarget;
        std::wstring strPath;  // where it waits
        bool bBeside;          // under its waiting name in the directory, else in the folder
    };
    enum class Attempt { Done, Refused, Failed };

    Result RenameByMode(const ListingEntry& entry, const std::wstring& to);
    Result Probe(const ListingEntry& entry, const std::wstring& to);
    Result RefusedInOneStep(const ListingEntry& entry, const std::wstring& to);
    Result RenameStaged(const ListingEntry& entry, const std::wstring& to);
    Attempt TryAgain(const Waiting& waiting);
    Attempt TryOwnName(const Waiting& waiting);
    void Strand(const Waiting& waiting);
    std::wstring WaitingBesideAs(const std::wstring& name) const;
    bool EnsureStagingFolder();
    bool HoldsExactly(const std::wstring& name) const;

    CaseRunContext& m_run;
    Mode m_mode = Mode::Unknown;
    std::optional<CStagingFolder> m_staging;
    bool m_bStagingFailed = false;
    bool m_bStrandedBeside = false;  // then the staging folder's marker must stay
    bool m_bStrandedInFolder = false;
    std::vector<Waiting> m_deferred;
};

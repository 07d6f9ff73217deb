#pragma once
// Changes the case of names in one directory so that the change really happens.
//
// Some platforms (FAT volumes on Windows, Wine outside its Unix namespace) report success for
// a rename that changes only the case and leave the name as it was; others (FAT32 under Wine)
// refuse it because they find the file itself under the new name. The first such rename of a
// run looks at the name on disk to find out which kind of platform this is; where the one-step
// rename does not work, each file from then on goes in two steps, waiting in between beside
// the others or in a staging folder. No step ever replaces an existing file, and a failed
// second step moves the file back.
#include "renaming/NameCensus.h"
#include "renaming/StagingFolder.h"

#include <optional>
#include <string>

class CCaseRenamer {
public:
    enum class Result {
        Renamed,
        Kept,      // still in place under its old name
        Stranded,  // could not be moved back from where it waited
    };

    // directory: exact path; census: what the directory holds, for the staging folder's name.
    CCaseRenamer(std::wstring directory, const CNameCensus& census);
    ~CCaseRenamer();
    CCaseRenamer(const CCaseRenamer&) = delete;
    CCaseRenamer& operator=(const CCaseRenamer&) = delete;

    // from and to name the same file in different case; no other entry answers to "to".
    Result Rename(const std::wstring& from, const std::wstring& to);
    // Where a stranded file waits, relative to the directory.
    std::wstring StrandedPathOf(const std::wstring& name) const;

private:
    enum class Mode { Unknown, OneStep, Staged };

    Result Probe(const std::wstring& from, const std::wstring& to);
    static bool ReportedTaken(DWORD dwError);
    Result SwitchToStaged(const std::wstring& from, const std::wstring& to);
    Result RenameStaged(const std::wstring& from, const std::wstring& to);
    std::wstring WaitingBesideAs(const std::wstring& name) const;
    bool EnsureStagingFolder();
    bool HoldsExactly(const std::wstring& name) const;
    std::wstring PathOf(const std::wstring& name) const;

    std::wstring m_strDirectory;
    const CNameCensus& m_census;
    Mode m_mode = Mode::Unknown;
    std::optional<CStagingFolder> m_staging;
    bool m_bStagingFailed = false;
    bool m_bStrandedBeside = false;  // then the staging folder's marker must stay
};

// A rename that never replaces an existing file and never copies across volumes.
bool MoveWithoutReplacing(const std::wstring& from, const std::wstring& to);

#pragma once
// Changes the case of names in the current directory so that the change really happens.
//
// Some platforms (Wine on Linux disks, FAT volumes) report success for a rename that changes
// only the case and leave the name as it was. The first such rename of a run finds out which
// kind of platform this is; where the one-step rename does not work, each file goes through a
// staging folder: "Name" -> "<staging>\Name" -> "name". Every step refuses to replace an
// existing file, and a failed second step moves the file back.
#include "platform/CString.h"

#include <functional>
#include <string>

class CCaseRenamer {
public:
    // isTaken: whether an entry of the directory has this case-folded name, so that the
    // staging folder gets a name nothing else has.
    explicit CCaseRenamer(std::function<bool(const std::wstring&)> isTaken);
    ~CCaseRenamer();
    CCaseRenamer(const CCaseRenamer&) = delete;
    CCaseRenamer& operator=(const CCaseRenamer&) = delete;

    // from and to name the same file in different case; no other entry may be named to.
    bool Rename(const CString& from, const CString& to);

private:
    enum class Mode { Unknown, OneStep, Staged };

    bool Probe(const CString& from, const CString& to);
    bool RenameStaged(const CString& from, const CString& to);
    bool EnsureStagingFolder();
    CString UnusedName(const char* pszBase) const;

    std::function<bool(const std::wstring&)> m_isTaken;
    Mode m_mode = Mode::Unknown;
    CString m_strStaging;  // relative folder name; empty until created
    bool m_bStagingFailed = false;
};

// A rename that never replaces an existing file and never copies across volumes.
bool MoveWithoutReplacing(const CString& from, const CString& to);

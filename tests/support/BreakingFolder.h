#pragma once
// A folder whose listings can be made to break off midway, as a card pulled or a share gone
// while a program reads a directory: a FUSE layer (Python's fusepy) that serves a real folder
// of the Linux disk. Once armed, a directory that has been read once can no longer be entered:
// Wine reads a directory whole at the first request of a listing and enters it again for each
// later part, so a listing longer than one part fails there (error 21, ERROR_NOT_READY) after
// its first part has been handed over. Unmounted at the end; tests/support/unmount-fat-drives
// cleans up after a test program that was killed.
#include "tests/support/TempDirectory.h"

#include <string>
#include <vector>

class BreakingFolder {
public:
    // Why this machine cannot mount one (no /dev/fuse, no fusepy); empty when it can.
    static std::string Unavailable();

    BreakingFolder();
    ~BreakingFolder();
    BreakingFolder(const BreakingFolder&) = delete;
    BreakingFolder& operator=(const BreakingFolder&) = delete;

    // The folder as programs see it, through the layer.
    const std::wstring& Path() const { return m_path; }
    // Files made behind the layer, quickly, each holding its own name.
    void AddFiles(const std::vector<std::wstring>& names) const;
    // From now on every directory read breaks off at its next part; disarmed, all is whole again.
    void Arm(bool bArmed = true) const;

private:
    TempDirectory m_work;  // the layer's script, its control file, the folder behind it
    std::string m_strMountPoint;
    std::wstring m_path;
};

#pragma once
// A FAT32 volume for one test: an image in a temporary folder, mounted through FUSE (fusefat)
// and given a drive letter of the Wine prefix. Like a USB stick or camera card it ignores case
// and keeps it. The kernel's look-up caches are off: with them a name that Wine looked up
// stays cached after a rename elsewhere, which no real volume does. Unmounted again at the end,
// also when the test fails; tests/support/unmount-fat-drives cleans up after a test program
// that was killed.
#include "tests/support/TempDirectory.h"
#include "tests/support/TestDrive.h"

#include <string>
#include <vector>

class FatDrive {
public:
    // Why this machine cannot mount one (no /dev/fuse); empty when it can.
    static std::string Unavailable();

    FatDrive();
    ~FatDrive();
    FatDrive(const FatDrive&) = delete;
    FatDrive& operator=(const FatDrive&) = delete;

    std::wstring Root() const { return m_drive.Root(); }         // L"X:\\"
    std::string AnsiRoot() const { return m_drive.AnsiRoot(); }  // "X:\\"

    // Runs a shell script on the Linux side in the volume's root and returns what it printed
    // (standard output and errors).
    std::string OnLinux(const std::string& script) const;
    // The names in a folder of the volume (relative to its root), as `ls -A` shows them.
    std::vector<std::string> Ls(const std::string& folder = ".") const;
    // The file's contents, read on the Linux side.
    std::string Cat(const std::string& path) const;

private:
    TempDirectory m_work;  // the image, scripts' output
    TestDrive m_drive;     // the volume is mounted on the drive's own folder
    std::string m_strMountPoint;
};

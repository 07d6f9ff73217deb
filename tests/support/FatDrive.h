#pragma once
// A FAT32 or exFAT volume for one test: an image in a temporary folder, mounted through FUSE
// (fusefat; exfat-fuse on a loop device, as it wants a block device when run as root) and
// given a drive letter of the Wine prefix. Like a USB stick or camera card it ignores case and
// keeps it. Mounted as a user mounts it, the kernel caches name look-ups: a name that Wine
// looked up can stay cached for a moment after the file left it, as on network redirectors.
// Tests that want the plain behaviour turn the caches off (exfat-fuse lags by itself even
// then). Unmounted and detached again at the end, also when the test fails;
// tests/support/unmount-fat-drives cleans up after a test program that was killed.
#include "tests/support/TempDirectory.h"
#include "tests/support/TestDrive.h"

#include <string>
#include <vector>

class FatDrive {
public:
    enum class Kind { Fat32, ExFat };
    enum class Caches { Default, Off };

    // Why this machine cannot mount one (no /dev/fuse, no loop devices); empty when it can.
    static std::string Unavailable(Kind kind = Kind::Fat32);

    // imageSize: as truncate(1) takes it; empty: 300M for FAT32, 256M for exFAT (4M is the
    // smallest exFAT image mkfs.exfat makes, about 2 MB free).
    explicit FatDrive(Kind kind = Kind::Fat32, Caches caches = Caches::Off, const std::string& imageSize = {});
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

    // The kernel forgets what it cached of the volume, as it does after a while.
    void DropCaches() const;
    // Unmounted and mounted again, as a card taken out and put back; read-only where asked.
    enum class Access { ReadWrite, ReadOnly };
    void Remount(Access access = Access::ReadWrite);

private:
    void MountFat32(Access access);
    void MountExFat(Access access);
    void Unmount() const;

    TempDirectory m_work;  // the image, scripts' output
    TestDrive m_drive;     // the volume is mounted on the drive's own folder
    Kind m_kind;
    Caches m_caches;
    std::string m_strMountPoint;
    std::string m_strLoopDevice;  // exFAT only
};

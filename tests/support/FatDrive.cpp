#include "tests/support/FatDrive.h"

#include "tests/support/UnixShell.h"

#include <windows.h>

#include <sstream>
#include <stdexcept>

namespace {

const char kPath[] = "PATH=/usr/sbin:/usr/bin:/sbin:/bin; export PATH\n";
// fusefat takes seconds for a few dozen files in a growing folder, and several times as long on
// a busy machine: the limit only catches a script that hangs.
const unsigned long kScriptLimitMs = 60000;

std::string ReadWholeFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::string();
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
    CloseHandle(file);
    return text;
}

// What a script printed; the script runs in a fresh folder of its own. Its callers judge the
// output themselves, so a failed command neither stops the script nor throws.
std::string LinuxOutput(const std::string& script) {
    TempDirectory work;
    std::string out = UnixPath(work.Path()) + "/out";
    RunUnixShell(std::string(kPath) + "{\n" + script + "\n} > " + ShellQuote(out) + " 2>&1 || true", kScriptLimitMs);
    return ReadWholeFile(work.Path() + L"\\out");
}

// The drive's folder itself, not the prefix's link to it: mounts and /proc/mounts name that.
std::string ResolvedUnixPath(const std::wstring& path) {
    std::string resolved = LinuxOutput("readlink -f " + ShellQuote(UnixPath(path)));
    while (!resolved.empty() && resolved.back() == '\n') resolved.pop_back();
    if (resolved.empty()) throw std::runtime_error("no Linux folder behind " + Utf8(path));
    return resolved;
}

}  // namespace

std::string FatDrive::Unavailable(Kind kind) {
    std::string answer = LinuxOutput(
        "if [ ! -c /dev/fuse ]; then echo fuse; elif ! losetup -f >/dev/null 2>&1; then echo loop; else echo yes; fi");
    if (answer == "yes\n" || (answer == "loop\n" && kind == Kind::Fat32)) return std::string();
    const char* volume = kind == Kind::Fat32 ? "a FAT32" : "an exFAT";
    if (answer == "fuse\n")
        return std::string("no /dev/fuse on this machine: ") + volume + " volume cannot be mounted here";
    return "no free loop device on this machine: an exFAT volume cannot be mounted here";
}

namespace {

// The kernel's look-up caches off, for tests of the plain behaviour.
const char kNoCaches[] = "entry_timeout=0,negative_timeout=0,attr_timeout=0";

}  // namespace

FatDrive::FatDrive(Kind kind, Caches caches, const std::string& imageSize)
    : m_kind(kind), m_caches(caches), m_strMountPoint(ResolvedUnixPath(m_drive.Root())) {
    std::string size = !imageSize.empty() ? imageSize : kind == Kind::Fat32 ? "300M" : "256M";
    std::string image = ShellQuote(UnixPath(m_work.Path()) + (kind == Kind::Fat32 ? "/fat32.img" : "/exfat.img"));
    // 4 KiB clusters, as on real cards (32 KiB there): with 512-byte ones fusefat loses a file
    // whose long name has to grow a directory that holds deleted entries. The image is sparse.
    std::string make = kind == Kind::Fat32 ? "mkfs.vfat -F 32 -S 512 -s 8 " : "mkfs.exfat ";
    std::string result = LinuxOutput("truncate -s " + size + " " + image + " && " + make + image + " >/dev/null && echo made");
    if (result.find("made") == std::string::npos) throw std::runtime_error("cannot make the image: " + result);
    if (kind == Kind::Fat32)
        MountFat32(Access::ReadWrite);
    else
        MountExFat(Access::ReadWrite);
}

void FatDrive::MountFat32(Access access) {
    std::string image = ShellQuote(UnixPath(m_work.Path()) + "/fat32.img");
    std::string mount = ShellQuote(m_strMountPoint);
    // fusefat mounts read-only unless told rw+.
    std::string options = access == Access::ReadOnly ? "ro" : "rw+";
    if (m_caches == Caches::Off) options += std::string(",") + kNoCaches;
    std::string result = LinuxOutput("fusefat -o " + options + " " + image + " " + mount +
                                     " >/dev/null && mountpoint -q " + mount + " && echo mounted");
    if (result.find("mounted") == std::string::npos)
        throw std::runtime_error("cannot mount a FAT32 image with fusefat: " + result);
}

void FatDrive::MountExFat(Access access) {
    std::string image = ShellQuote(UnixPath(m_work.Path()) + "/exfat.img");
    std::string mount = ShellQuote(m_strMountPoint);
    std::string options;
    if (m_caches == Caches::Off) options = kNoCaches;
    if (access == Access::ReadOnly) options += options.empty() ? "ro" : ",ro";
    if (!options.empty()) options = " -o " + options;
    std::string result = LinuxOutput("losetup -f --show " + image);
    if (result.rfind("/dev/loop", 0) != 0) throw std::runtime_error("cannot attach an exFAT image: " + result);
    m_strLoopDevice = result.substr(0, result.find('\n'));
    result = LinuxOutput("mount.exfat-fuse" + options + " " + ShellQuote(m_strLoopDevice) + " " + mount +
                         " >/dev/null && mountpoint -q " + mount + " && echo mounted");
    if (result.find("mounted") == std::string::npos) {
        LinuxOutput("losetup -d " + ShellQuote(m_strLoopDevice));
        throw std::runtime_error("cannot mount an exFAT image with exfat-fuse: " + result);
    }
}

FatDrive::~FatDrive() { Unmount(); }

void FatDrive::DropCaches() const { LinuxOutput("sync; echo 2 > /proc/sys/vm/drop_caches"); }

void FatDrive::Remount(Access access) {
    Unmount();
    m_strLoopDevice.clear();
    if (m_kind == Kind::Fat32)
        MountFat32(access);
    else
        MountExFat(access);
}

void FatDrive::Unmount() const {
    // Wine keeps the current directory open, which would keep the volume busy.
    SetCurrentDirectoryW(L"C:\\");
    std::string mount = ShellQuote(m_strMountPoint);
    std::string detach = m_strLoopDevice.empty() ? "" : "; losetup -d " + ShellQuote(m_strLoopDevice);
    LinuxOutput("fusermount -u " + mount + " || { sleep 1; fusermount -u " + mount + "; } || fusermount -u -z " +
                mount + detach);
}

std::string FatDrive::OnLinux(const std::string& script) const {
    return LinuxOutput("cd " + ShellQuote(m_strMountPoint) + " || exit 1\n" + script);
}

std::vector<std::string> FatDrive::Ls(const std::string& folder) const {
    std::istringstream lines(OnLinux("LC_ALL=C ls -A1 " + ShellQuote(folder)));
    std::vector<std::string> names;
    for (std::string line; std::getline(lines, line);) names.push_back(line);
    return names;
}

std::string FatDrive::Cat(const std::string& path) const { return OnLinux("cat " + ShellQuote(path)); }

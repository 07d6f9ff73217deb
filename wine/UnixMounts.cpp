#include "wine/UnixMounts.h"

#include "filesystem/CUniqueHandle.h"
#include "wine/WineHost.h"

#include <windows.h>

#include <set>
#include <sstream>
#include <vector>

namespace {

struct Mount {
    std::string point;  // as Linux spells it
    std::string type;
};

// The mount table's fields escape blanks, tabs, line breaks and backslashes as octal.
std::string Unescaped(const std::string& field) {
    std::string text;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            text += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
        } else {
            text += field[i];
        }
    }
    return text;
}

std::string ReadMountTable() {
    CFileHandle file(CreateFileW(L"\\\\?\\unix\\proc\\self\\mounts", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr));
    std::string text;
    char buffer[16384];
    DWORD dwRead = 0;
    while (file && ReadFile(file.Get(), buffer, sizeof buffer, &dwRead, nullptr) && dwRead > 0)
        text.append(buffer, dwRead);
    return text;
}

// Kernel views of its own state: no user's file is ever on them, and some are slow to open.
bool Virtual(const std::string& type) {
    static const std::set<std::string> kVirtual = {
        "proc",   "sysfs", "cgroup",   "cgroup2", "devpts",      "mqueue", "debugfs",   "tracefs",    "securityfs",
        "pstore", "bpf",   "configfs", "fusectl", "binfmt_misc", "autofs", "hugetlbfs", "rpc_pipefs", "nsfs"};
    return kVirtual.count(type) > 0;
}

std::vector<Mount> Mounts() {
    std::vector<Mount> mounts;
    std::istringstream lines(ReadMountTable());
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string device, point, type;
        if (fields >> device >> point >> type && !Virtual(type)) mounts.push_back(Mount{Unescaped(point), type});
    }
    return mounts;
}

std::wstring Wide(const std::string& utf8) {
    int count = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    if (count <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(count), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), count);
    wide.pop_back();
    return wide;
}

// Where Wine finds a file when every link on the way is followed: both sides of a comparison
// are spelt by the same rule, whatever drive letters and links lead there.
std::wstring FinalPath(const std::wstring& path) {
    CFileHandle handle(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    wchar_t final[32768];
    DWORD length = handle ? GetFinalPathNameByHandleW(handle.Get(), final, 32768, VOLUME_NAME_DOS) : 0;
    std::wstring text = length > 0 && length < 32768 ? std::wstring(final, length) : std::wstring();
    while (text.size() > 1 && text.back() == L'\\') text.pop_back();
    return text;
}

std::wstring NamespacePath(const std::string& unixPath) {
    std::wstring wide = Wide(unixPath);
    for (wchar_t& ch : wide)
        if (ch == L'/') ch = L'\\';
    return L"\\\\?\\unix" + wide;
}

// Whether the folder holds the path: the same, or one of its parents (either separator).
template <class Text>
bool Holds(const Text& folder, const Text& path) {
    if (folder.empty() || path.compare(0, folder.size(), folder) != 0) return false;
    auto last = folder.back();
    return path.size() == folder.size() || path[folder.size()] == '\\' || path[folder.size()] == '/' || last == '\\' ||
           last == '/';
}

}  // namespace

namespace wine {

// Wine spells a mount point, as any path, by the drive whose folder holds it most closely, so a
// mount reached through a drive letter is found by comparing final paths. A path that only the
// root file system holds ("C:\users" lies in the prefix, "/" is Wine's "Z:") is found by its
// Linux path, links on the way unresolved.
std::string UnixFileSystemType(const std::wstring& path) {
    if (!IsHost()) return std::string();
    std::wstring target = FinalPath(path);
    if (target.empty()) return std::string();
    std::vector<Mount> mounts = Mounts();
    std::string type;
    size_t nLongest = 0;
    for (const Mount& mount : mounts) {
        std::wstring point = FinalPath(NamespacePath(mount.point));
        // A later mount on the same point hides an earlier one: the last of the longest wins.
        if (Holds(point, target) && point.size() >= nLongest) {
            nLongest = point.size();
            type = mount.type;
        }
    }
    if (!type.empty()) return type;
    std::string unixPath = UnixFileName(target);
    for (const Mount& mount : mounts) {
        if (!Holds(mount.point, unixPath) || mount.point.size() < nLongest) continue;
        nLongest = mount.point.size();
        type = mount.type;
    }
    return type;
}

}  // namespace wine

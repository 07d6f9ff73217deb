#include "filesystem/CurrentDirectory.h"

#include "filesystem/ExtendedPath.h"
#include "filesystem/SystemText.h"

#include <algorithm>
#include <cwctype>

namespace {

struct KeptDirectory {
    std::wstring path;       // the directory the program is in
    std::wstring processAt;  // the process's current directory when it was kept
};

KeptDirectory& Kept() {
    static KeptDirectory kept;
    return kept;
}

std::wstring ProcessCurrentDirectory() {
    return AfxReadSystemText([](wchar_t* buffer, DWORD size) { return GetCurrentDirectoryW(size, buffer); });
}

bool IsDriveOnly(const std::wstring& path) { return path.size() == 2 && path[1] == L':'; }

bool SameDrive(const std::wstring& a, const std::wstring& b) {
    return a.size() >= 2 && b.size() >= 2 && a[1] == L':' && b[1] == L':' && std::towupper(a[0]) == std::towupper(b[0]);
}

// Whether Win32 path parsing leaves every component of the path as it is.
bool PathRulesKeepEveryComponent(const std::wstring& path) {
    size_t start = path.size() >= 2 && path[1] == L':' ? 2 : 0;
    while (start < path.size()) {
        size_t end = std::min(path.find(L'\\', start), path.size());
        if (end > start && !AfxPathRulesKeepName(path.substr(start, end - start))) return false;
        start = end + 1;
    }
    return true;
}

BOOL KeepDirectory(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(AfxExtendedPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return FALSE;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetLastError(ERROR_DIRECTORY);
        return FALSE;
    }
    Kept() = KeptDirectory{path, ProcessCurrentDirectory()};
    return TRUE;
}

}  // namespace

std::wstring AfxGetCurrentDirectory() {
    std::wstring process = ProcessCurrentDirectory();
    KeptDirectory& kept = Kept();
    if (!kept.path.empty() && !process.empty() && process == kept.processAt) return kept.path;
    kept = KeptDirectory{};  // the process has moved on since
    return process;
}

BOOL AfxSetCurrentDirectory(const std::wstring& path) {
    // The kept directory is the one its drive remembers.
    if (IsDriveOnly(path) && SameDrive(path, AfxGetCurrentDirectory()) && !Kept().path.empty()) return TRUE;
    bool bExact = IsDriveOnly(path) || PathRulesKeepEveryComponent(path);
    if (!bExact || path.size() > AFX_MAX_CURRENT_DIRECTORY) return KeepDirectory(path);
    if (SetCurrentDirectoryW(path.c_str())) {
        Kept() = KeptDirectory{};
        return TRUE;
    }
    // Windows without long paths enabled refuses some paths of 259 characters already.
    return GetLastError() == ERROR_FILENAME_EXCED_RANGE ? KeepDirectory(path) : FALSE;
}

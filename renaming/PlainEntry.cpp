#include "renaming/PlainEntry.h"

#include "filesystem/ExtendedPath.h"

#include <vector>

namespace {

std::wstring FinalPathOf(HANDLE handle) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD length = GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
        if (length == 0) return std::wstring();
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(length + 1);
    }
}

// Opens the path itself, not what a link there points to (where the platform can tell).
PlainEntry Open(const std::wstring& path, DWORD dwAccess, DWORD dwShare) {
    PlainEntry entry;
    entry.handle = CFileHandle(CreateFileW(path.c_str(), dwAccess, dwShare, nullptr, OPEN_EXISTING,
                                           FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!entry.handle) {
        entry.dwError = GetLastError();
        return entry;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(entry.handle.Get(), &info)) {
        entry.dwError = GetLastError();
        entry.handle.Close();
        return entry;
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || FinalPathOf(entry.handle.Get()).empty()) {
        entry.dwError = ERROR_CANT_ACCESS_FILE;
        entry.handle.Close();
    }
    return entry;
}

// Whether the entry, as the platform names it now, is that name directly in the folder, as the
// platform names the folder now.
bool NamedAsChild(const PlainEntry& entry, const PlainEntry& folder, const std::wstring& name) {
    BY_HANDLE_FILE_INFORMATION entryInfo, folderInfo;
    if (!GetFileInformationByHandle(entry.handle.Get(), &entryInfo) ||
        !GetFileInformationByHandle(folder.handle.Get(), &folderInfo))
        return false;
    return entryInfo.dwVolumeSerialNumber == folderInfo.dwVolumeSerialNumber &&
           FinalPathOf(entry.handle.Get()) == AfxJoinPath(FinalPathOf(folder.handle.Get()), name);
}

}  // namespace

PlainEntry OpenDirectory(const std::wstring& path) {
    PlainEntry directory = Open(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    // A link as the chosen directory is the user's own choice; only what lies below is checked.
    if (!directory && directory.dwError == ERROR_CANT_ACCESS_FILE) {
        directory.handle = CFileHandle(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        BY_HANDLE_FILE_INFORMATION info;
        if (directory.handle && GetFileInformationByHandle(directory.handle.Get(), &info) &&
            !FinalPathOf(directory.handle.Get()).empty())
            directory.dwError = ERROR_SUCCESS;
        else
            directory.handle.Close();
    }
    return directory;
}

PlainEntry OpenPlainEntry(const PlainEntry& folder, const std::wstring& folderPath, const std::wstring& name,
                          DWORD dwAccess, DWORD dwShare) {
    PlainEntry entry = Open(AfxJoinPath(folderPath, name), dwAccess, dwShare);
    if (!entry) return entry;
    // Through a link the platform names the link's target, not the path that was opened. Wine
    // names a volume mounted inside another drive's folder now by one drive, now by the other,
    // serial number and all, and may switch between the entry's answer and the folder's; so a
    // mismatch is looked at again, both asked anew. A link's mismatch stays.
    const DWORD kLookPausesMs[] = {0, 0, 1, 10, 50};
    for (DWORD dwPauseMs : kLookPausesMs) {
        Sleep(dwPauseMs);
        if (NamedAsChild(entry, folder, name)) return entry;
    }
    entry.handle.Close();
    entry.dwError = ERROR_CANT_ACCESS_FILE;
    return entry;
}

bool RemoveHeldEntry(PlainEntry& entry) {
    FILE_DISPOSITION_INFO disposition{TRUE};
    bool bMarked = SetFileInformationByHandle(entry.handle.Get(), FileDispositionInfo, &disposition,
                                              sizeof disposition) != FALSE;
    // The entry goes when its last handle is closed.
    return entry.handle.Close() && bMarked;
}

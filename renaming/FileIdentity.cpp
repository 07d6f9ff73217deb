#include "renaming/FileIdentity.h"

#include "filesystem/CUniqueHandle.h"
#include "wine/UnixMounts.h"

#include <windows.h>

#include <vector>

namespace {

uint64_t Combined(DWORD high, DWORD low) { return (static_cast<uint64_t>(high) << 32) | low; }

CFileHandle OpenForAttributes(const std::wstring& path, DWORD dwAccess, DWORD dwFlags) {
    return CFileHandle(CreateFileW(path.c_str(), dwAccess, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | dwFlags, nullptr));
}

// One buffer of the directory's entries after another, through the handle; "." and ".." are
// neither listed nor given an identity. Returns why the entries ended: ERROR_NO_MORE_FILES at
// the directory's end, any other error where the platform broke the listing off.
DWORD ReadEntries(HANDLE hDirectory, uint32_t volumeSerial, std::unordered_map<std::wstring, FileIdentity>& identities,
                  std::vector<ListingEntry>* pEntries) {
    std::vector<LONGLONG> buffer(64 * 1024 / sizeof(LONGLONG));  // aligned for the records
    FILE_INFO_BY_HANDLE_CLASS infoClass = FileIdBothDirectoryRestartInfo;
    while (GetFileInformationByHandleEx(hDirectory, infoClass, buffer.data(),
                                        static_cast<DWORD>(buffer.size() * sizeof(LONGLONG)))) {
        infoClass = FileIdBothDirectoryInfo;
        auto* pBytes = reinterpret_cast<const BYTE*>(buffer.data());
        for (;;) {
            auto* pEntry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(pBytes);
            std::wstring name(pEntry->FileName, pEntry->FileNameLength / sizeof(wchar_t));
            bool bDots = name == L"." || name == L"..";
            if (pEntries && !bDots)
                pEntries->push_back(
                    ListingEntry{name, std::wstring(pEntry->ShortName, pEntry->ShortNameLength / sizeof(wchar_t)),
                                 pEntry->FileAttributes});
            if (!bDots)
                identities[name] = FileIdentity{static_cast<uint64_t>(pEntry->FileId.QuadPart), volumeSerial,
                                                static_cast<uint64_t>(pEntry->EndOfFile.QuadPart),
                                                static_cast<uint64_t>(pEntry->LastWriteTime.QuadPart)};
            if (pEntry->NextEntryOffset == 0) break;
            pBytes += pEntry->NextEntryOffset;
        }
    }
    DWORD dwError = GetLastError();
    return dwError == ERROR_SUCCESS ? ERROR_READ_FAULT : dwError;
}

// Under Wine: the Linux file system mounted there. FAT and exFAT drivers, the kernel's and those
// through FUSE (fusefat, exfat-fuse: "fuseblk"), hand inode numbers out; so may any FUSE volume.
std::optional<VolumeKeeps> WhatTheLinuxVolumeKeeps(const std::wstring& directory) {
    std::string type = wine::UnixFileSystemType(directory);
    if (type.empty()) return std::nullopt;
    if (type == "exfat") return VolumeKeeps{kIdentityLastWrite, 100000};
    if (type == "vfat" || type == "msdos" || type.rfind("fuse", 0) == 0) return VolumeKeeps{};
    return VolumeKeeps{kIdentityAll, 1};
}

}  // namespace

VolumeKeeps WhatTheVolumeKeeps(const std::wstring& directory) {
    if (std::optional<VolumeKeeps> onLinux = WhatTheLinuxVolumeKeeps(directory)) return *onLinux;
    VolumeKeeps keeps;
    CFileHandle hDirectory = OpenForAttributes(directory, FILE_READ_ATTRIBUTES, 0);
    wchar_t fileSystem[MAX_PATH + 1] = {};
    if (!hDirectory || !GetVolumeInformationByHandleW(hDirectory.Get(), nullptr, 0, nullptr, nullptr, nullptr,
                                                      fileSystem, MAX_PATH + 1))
        return keeps;
    std::wstring name = fileSystem;
    if (name == L"NTFS" || name == L"ReFS") return VolumeKeeps{kIdentityAll, 1};
    if (name == L"exFAT") keeps.timeTicks = 100000;  // 10 ms
    return keeps;
}

bool SameFile(const FileIdentity& recorded, const FileIdentity& now, uint32_t parts, uint64_t timeTicks) {
    if (recorded.size != now.size) return false;
    if ((parts & kIdentityFileId) &&
        (recorded.volumeSerial == 0 || recorded.volumeSerial != now.volumeSerial || recorded.fileId != now.fileId))
        return false;
    if (timeTicks == 0) timeTicks = 1;
    return !(parts & kIdentityLastWrite) || recorded.lastWrite / timeTicks == now.lastWrite / timeTicks;
}

uint32_t PartsThatSurvived(const FileIdentity& before, const FileIdentity& after) {
    uint32_t parts = 0;
    if (before.volumeSerial != 0 && before.volumeSerial == after.volumeSerial && before.fileId == after.fileId)
        parts |= kIdentityFileId;
    if (before.lastWrite == after.lastWrite) parts |= kIdentityLastWrite;
    return parts;
}

DirectoryListing ReadListingWithIdentities(const std::wstring& directory,
                                           std::unordered_map<std::wstring, FileIdentity>& identities) {
    DirectoryListing listing;
    identities.clear();
    // The chosen directory may well be reached through a link, as the listing of a run reaches it.
    CFileHandle hDirectory = OpenForAttributes(directory, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, 0);
    BY_HANDLE_FILE_INFORMATION info;
    if (!hDirectory || !GetFileInformationByHandle(hDirectory.Get(), &info)) {
        listing.error = GetLastError();
        return listing;
    }
    if (!(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        listing.error = ERROR_DIRECTORY;
        return listing;
    }
    listing.started = true;
    DWORD dwEnd = ReadEntries(hDirectory.Get(), info.dwVolumeSerialNumber, identities, &listing.entries);
    if (dwEnd == ERROR_NO_MORE_FILES) return listing;
    // A volume that does not answer this kind of listing at all: the plain one, identities asked
    // file by file where needed.
    if (listing.entries.empty() && (dwEnd == ERROR_INVALID_PARAMETER || dwEnd == ERROR_NOT_SUPPORTED ||
                                    dwEnd == ERROR_INVALID_LEVEL || dwEnd == ERROR_INVALID_FUNCTION))
        return ReadDirectoryListing(directory);
    listing.error = dwEnd;
    return listing;
}

std::optional<FileIdentity> IdentityOf(const std::wstring& path) {
    CFileHandle hFile = OpenForAttributes(path, FILE_READ_ATTRIBUTES, FILE_FLAG_OPEN_REPARSE_POINT);
    BY_HANDLE_FILE_INFORMATION info;
    if (!hFile || !GetFileInformationByHandle(hFile.Get(), &info)) return std::nullopt;
    return FileIdentity{Combined(info.nFileIndexHigh, info.nFileIndexLow), info.dwVolumeSerialNumber,
                        Combined(info.nFileSizeHigh, info.nFileSizeLow),
                        Combined(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime)};
}

#include "renaming/FileIdentity.h"

#include "filesystem/CUniqueHandle.h"

#include <windows.h>

#include <vector>

namespace {

uint64_t Combined(DWORD high, DWORD low) { return (static_cast<uint64_t>(high) << 32) | low; }

CFileHandle OpenForAttributes(const std::wstring& path, DWORD dwAccess, DWORD dwFlags) {
    return CFileHandle(CreateFileW(path.c_str(), dwAccess, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | dwFlags, nullptr));
}

// One buffer of the directory's entries after another, through the handle; "." and ".." are
// neither listed nor given an identity.
void ReadEntries(HANDLE hDirectory, uint32_t volumeSerial, std::unordered_map<std::wstring, FileIdentity>& identities,
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
                pEntries->push_back(ListingEntry{
                    name, std::wstring(pEntry->ShortName, pEntry->ShortNameLength / sizeof(wchar_t)),
                    pEntry->FileAttributes});
            if (!bDots)
                identities[name] = FileIdentity{static_cast<uint64_t>(pEntry->FileId.QuadPart), volumeSerial,
                                            static_cast<uint64_t>(pEntry->EndOfFile.QuadPart),
                                            static_cast<uint64_t>(pEntry->LastWriteTime.QuadPart)};
            if (pEntry->NextEntryOffset == 0) break;
            pBytes += pEntry->NextEntryOffset;
        }
    }
}

}  // namespace

bool SameFile(const FileIdentity& recorded, const FileIdentity& now, uint32_t parts) {
    if (recorded.size != now.size) return false;
    if ((parts & kIdentityFileId) &&
        (recorded.volumeSerial == 0 || recorded.volumeSerial != now.volumeSerial || recorded.fileId != now.fileId))
        return false;
    return !(parts & kIdentityLastWrite) || recorded.lastWrite == now.lastWrite;
}

uint32_t PartsThatSurvived(const FileIdentity& before, const FileIdentity& after) {
    uint32_t parts = 0;
    if (before.volumeSerial != 0 && before.volumeSerial == after.volumeSerial && before.fileId == after.fileId)
        parts |= kIdentityFileId;
    if (before.lastWrite == after.lastWrite) parts |= kIdentityLastWrite;
    return parts;
}

std::unordered_map<std::wstring, FileIdentity> ReadIdentities(const std::wstring& directory) {
    std::unordered_map<std::wstring, FileIdentity> identities;
    ReadListingWithIdentities(directory, identities);
    return identities;
}

DirectoryListing ReadListingWithIdentities(const std::wstring& directory,
                                           std::unordered_map<std::wstring, FileIdentity>& identities) {
    DirectoryListing listing;
    identities.clear();
    // The chosen directory may well be reached through a link, as the listing of a run reaches it.
    CFileHandle hDirectory = OpenForAttributes(directory, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, 0);
    BY_HANDLE_FILE_INFORMATION info;
    if (!hDirectory || !GetFileInformationByHandle(hDirectory.Get(), &info) ||
        !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return listing;
    listing.started = true;
    ReadEntries(hDirectory.Get(), info.dwVolumeSerialNumber, identities, &listing.entries);
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

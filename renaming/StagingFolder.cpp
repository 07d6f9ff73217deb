#include "renaming/StagingFolder.h"

#include "platform/CUniqueHandle.h"
#include "platform/ExtendedPath.h"

#include <cwctype>
#include <string_view>

namespace {

const wchar_t kBaseName[] = L".umbrix-staging";
const wchar_t kMarkerName[] = L"umbrix-staging.marker";
const wchar_t kFilesName[] = L"files";
constexpr std::string_view kMarkerText = "Umbrix staging folder: files wait here during a change of case.\r\n";

// ".umbrix-staging" or ".umbrix-staging-N", the names Create gives.
bool HasStagingName(const std::wstring& name) {
    std::wstring_view base(kBaseName);
    if (name.compare(0, base.size(), base) != 0) return false;
    if (name.size() == base.size()) return true;
    if (name[base.size()] != L'-' || name.size() == base.size() + 1) return false;
    for (size_t i = base.size() + 1; i < name.size(); ++i)
        if (!std::iswdigit(name[i])) return false;
    return true;
}

bool WriteMarker(const std::wstring& path) {
    CFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file.Get(), kMarkerText.data(), static_cast<DWORD>(kMarkerText.size()), &written, nullptr);
    return file.Close() && ok && written == kMarkerText.size();
}

bool MarkerIsOurs(const std::wstring& path) {
    CFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return false;
    char buffer[128];
    DWORD read = 0;
    return ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && std::string_view(buffer, read) == kMarkerText;
}

}  // namespace

std::optional<CStagingFolder> CStagingFolder::Create(const std::wstring& directory, const CNameCensus& census) {
    std::wstring name = kBaseName;
    for (int n = 2; census.IsTaken(name); ++n) name = kBaseName + (L"-" + std::to_wstring(n));
    CStagingFolder folder(directory, name);
    if (!CreateDirectoryW(folder.FolderPath().c_str(), nullptr)) return std::nullopt;
    SetFileAttributesW(folder.FolderPath().c_str(), FILE_ATTRIBUTE_HIDDEN);
    // The marker before the files folder: no file ever waits in an unmarked folder.
    if (WriteMarker(folder.MarkerPath()) && CreateDirectoryW(folder.FilesPath().c_str(), nullptr)) return folder;
    DeleteFileW(folder.MarkerPath().c_str());
    RemoveDirectoryW(folder.FolderPath().c_str());
    return std::nullopt;
}

bool CStagingFolder::IsStagingFolder(const std::wstring& directory, const ListingEntry& entry) {
    if (!entry.IsDirectory() || !HasStagingName(entry.name)) return false;
    return MarkerIsOurs(CStagingFolder(directory, entry.name).MarkerPath());
}

CStagingFolder::CStagingFolder(std::wstring directory, std::wstring name)
    : m_strDirectory(std::move(directory)), m_strName(std::move(name)) {}

std::wstring CStagingFolder::PathOf(const std::wstring& fileName) const { return AfxJoinPath(FilesPath(), fileName); }

std::wstring CStagingFolder::RelativePathOf(const std::wstring& fileName) const {
    return m_strName + L"\\" + kFilesName + L"\\" + fileName;
}

std::vector<ListingEntry> CStagingFolder::WaitingFiles() const { return ReadDirectoryListing(FilesPath()).entries; }

void CStagingFolder::RemoveIfEmpty() const {
    if (!RemoveDirectoryW(FilesPath().c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND &&
        GetLastError() != ERROR_PATH_NOT_FOUND)
        return;
    DeleteFileW(MarkerPath().c_str());
    RemoveDirectoryW(FolderPath().c_str());
}

std::wstring CStagingFolder::FolderPath() const { return AfxJoinPath(m_strDirectory, m_strName); }

std::wstring CStagingFolder::MarkerPath() const { return AfxJoinPath(FolderPath(), kMarkerName); }

std::wstring CStagingFolder::FilesPath() const { return AfxJoinPath(FolderPath(), kFilesName); }

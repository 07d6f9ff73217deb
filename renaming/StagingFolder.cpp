#include "renaming/StagingFolder.h"

#include "filesystem/CUniqueHandle.h"
#include "filesystem/ExtendedPath.h"

#include <cstdint>
#include <cwchar>
#include <cwctype>
#include <string_view>

namespace {

const wchar_t kBaseName[] = L".umbrix-staging";
const wchar_t kMarkerName[] = L"umbrix-staging.marker";
const wchar_t kFilesName[] = L"files";
constexpr std::string_view kMarkerText = "Umbrix staging folder: files wait here during a change of case.\r\n";
// The marker's second line names the suffix of files that wait beside the others.
constexpr std::string_view kSuffixLine = "Files waiting beside the others end in: ";
constexpr std::wstring_view kSuffixStart = L"~";
const size_t kSuffixDigits = 8;   // short: each 13 characters more cost FAT a directory entry
const size_t kLongestName = 255;  // in UTF-16 units, on FAT, exFAT and NTFS alike

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

bool HasSuffixForm(std::string_view suffix) {
    if (suffix.size() != kSuffixStart.size() + kSuffixDigits) return false;
    for (size_t i = 0; i < kSuffixStart.size(); ++i)
        if (suffix[i] != static_cast<char>(kSuffixStart[i])) return false;
    for (char ch : suffix.substr(kSuffixStart.size()))
        if (!(ch >= '0' && ch <= '9') && !(ch >= 'a' && ch <= 'f')) return false;
    return true;
}

// Unlike any name a person gives a file, and different for every folder made.
std::wstring NewSuffix() {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    uint64_t value = static_cast<uint64_t>(counter.QuadPart) ^ (uint64_t{GetCurrentProcessId()} << 40) ^
                     (GetTickCount64() << 20);
    // splitmix64's finaliser spreads the bits over all digits.
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ull;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBull;
    value ^= value >> 31;
    wchar_t digits[kSuffixDigits + 1];
    swprintf(digits, kSuffixDigits + 1, L"%08llx", static_cast<unsigned long long>(value & 0xFFFFFFFFull));
    return std::wstring(kSuffixStart) + digits;
}

bool WriteMarker(const std::wstring& path, const std::wstring& suffix) {
    std::string text(kMarkerText);
    text += std::string(kSuffixLine) + std::string(suffix.begin(), suffix.end()) + "\r\n";  // ASCII only
    CFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return file.Close() && ok && written == text.size();
}

// The suffix the marker names (empty for a marker without one); none when it is not ours.
std::optional<std::wstring> ReadMarker(const std::wstring& path) {
    CFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return std::nullopt;
    char buffer[256];
    DWORD read = 0;
    if (!ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr)) return std::nullopt;
    std::string_view text(buffer, read);
    if (text.substr(0, kMarkerText.size()) != kMarkerText) return std::nullopt;
    text.remove_prefix(kMarkerText.size());
    if (text.empty()) return std::wstring();
    if (text.substr(0, kSuffixLine.size()) != kSuffixLine || text.size() < kSuffixLine.size() + 2 ||
        text.substr(text.size() - 2) != "\r\n")
        return std::nullopt;
    std::string_view suffix = text.substr(kSuffixLine.size(), text.size() - kSuffixLine.size() - 2);
    if (!HasSuffixForm(suffix)) return std::nullopt;
    return std::wstring(suffix.begin(), suffix.end());
}

}  // namespace

std::optional<CStagingFolder> CStagingFolder::Create(const std::wstring& directory, const CNameCensus& census) {
    std::wstring name = kBaseName;
    for (int n = 2; census.IsTaken(name); ++n) name = kBaseName + (L"-" + std::to_wstring(n));
    CStagingFolder folder(directory, name, NewSuffix());
    if (!CreateDirectoryW(folder.FolderPath().c_str(), nullptr)) return std::nullopt;
    SetFileAttributesW(folder.FolderPath().c_str(), FILE_ATTRIBUTE_HIDDEN);
    // The marker before the files folder: no file ever waits without a marker naming it.
    if (WriteMarker(folder.MarkerPath(), folder.m_strSuffix) && CreateDirectoryW(folder.FilesPath().c_str(), nullptr))
        return folder;
    DeleteFileW(folder.MarkerPath().c_str());
    RemoveDirectoryW(folder.FolderPath().c_str());
    return std::nullopt;
}

std::optional<CStagingFolder> CStagingFolder::Open(const std::wstring& directory, const ListingEntry& entry) {
    if (!entry.IsDirectory() || !HasStagingName(entry.name)) return std::nullopt;
    CStagingFolder folder(directory, entry.name, std::wstring());
    std::optional<std::wstring> suffix = ReadMarker(folder.MarkerPath());
    if (!suffix) return std::nullopt;
    folder.m_strSuffix = std::move(*suffix);
    return folder;
}

CStagingFolder::CStagingFolder(std::wstring directory, std::wstring name, std::wstring suffix)
    : m_strDirectory(std::move(directory)), m_strName(std::move(name)), m_strSuffix(std::move(suffix)) {}

std::wstring CStagingFolder::PathOf(const std::wstring& fileName) const { return AfxJoinPath(FilesPath(), fileName); }

std::wstring CStagingFolder::RelativePathOf(const std::wstring& fileName) const {
    return m_strName + L"\\" + kFilesName + L"\\" + fileName;
}

std::wstring CStagingFolder::WaitingNameOf(const std::wstring& fileName) const {
    if (m_strSuffix.empty() || fileName.size() + m_strSuffix.size() > kLongestName) return std::wstring();
    return fileName + m_strSuffix;
}

std::wstring CStagingFolder::OwnNameOf(const std::wstring& waitingName) const {
    if (m_strSuffix.empty() || waitingName.size() <= m_strSuffix.size()) return std::wstring();
    size_t ownLength = waitingName.size() - m_strSuffix.size();
    if (waitingName.compare(ownLength, m_strSuffix.size(), m_strSuffix) != 0) return std::wstring();
    return waitingName.substr(0, ownLength);
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

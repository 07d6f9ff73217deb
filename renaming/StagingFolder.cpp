#include "renaming/StagingFolder.h"

#include "filesystem/CUniqueHandle.h"
#include "filesystem/DirectoryListing.h"
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
std::optional<std::wstring> ReadMarker(HANDLE marker) {
    char buffer[256];
    DWORD read = 0;
    if (!ReadFile(marker, buffer, sizeof buffer, &read, nullptr)) return std::nullopt;
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

// The name a new folder has while it is being made: no run takes it for a staging folder
// until its marker and files folder are in it.
bool HasTemporaryName(const std::wstring& name) {
    std::wstring_view base(kBaseName);
    if (name.compare(0, base.size(), base) != 0) return false;
    std::wstring rest = name.substr(base.size());
    return HasSuffixForm(std::string(rest.begin(), rest.end()));
}

// Held by a run: nobody else may delete, rename or replace the folders, and only one run at a
// time holds the marker with delete access. The folders are held without delete access of
// their own, which would keep the run from listing them.
const DWORD kFolderAccess = FILE_READ_ATTRIBUTES;
const DWORD kMarkerAccess = GENERIC_READ | DELETE;
const DWORD kHeldSharing = FILE_SHARE_READ | FILE_SHARE_WRITE;
// A look at a folder that another run holds.
const DWORD kPeekSharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

}  // namespace

std::optional<CStagingFolder> CStagingFolder::Create(const std::wstring& directory, const CNameCensus& census) {
    std::wstring name = kBaseName;
    for (int n = 2; census.IsTaken(name); ++n) name = kBaseName + (L"-" + std::to_wstring(n));
    std::wstring suffix = NewSuffix();
    CStagingFolder folder(directory, name, suffix);
    std::wstring temporary = AfxJoinPath(directory, kBaseName + suffix);
    if (!census.IsTaken(kBaseName + suffix) && Furnish(temporary, suffix)) {
        if (!MoveFileExW(temporary.c_str(), folder.FolderPath().c_str(), 0)) {
            Unfurnish(temporary);
        } else {
            bool bHeld = folder.Hold();
            if (bHeld || folder.m_marker.dwError != ERROR_FILE_NOT_FOUND) return folder.Claimed(bHeld);
            // Some volumes lose what a folder holds when it is renamed (FAT32 through fusefat):
            // there the folder is made under its own name, its marker right after it.
            folder.LetGo();
            RemoveDirectoryW(folder.FolderPath().c_str());
        }
    }
    if (!Furnish(folder.FolderPath(), suffix)) return std::nullopt;
    bool bHeld = folder.Hold();
    return folder.Claimed(bHeld);
}

// The folder just made, once this run holds it. Another run may have claimed it in the moment
// before this one did: it is then theirs to remove, and this run lets go of it at once so that
// they can. Held by nobody, it goes again, so that no run finds a folder that nobody used;
// emptied while it is held as a plain folder, which nobody can swap for a link meanwhile.
std::optional<CStagingFolder> CStagingFolder::Claimed(bool bHeld) {
    if (bHeld && !IsHeldElsewhere()) return std::move(*this);
    bool bTheirs = bHeld || m_marker.dwError == ERROR_SHARING_VIOLATION;
    m_marker = PlainEntry();
    m_files = PlainEntry();
    if (!bTheirs && m_folder) {
        RemoveDirectoryW(FilesPath().c_str());
        DeleteFileW(AfxJoinPath(FolderPath(), kMarkerName).c_str());
        m_folder = PlainEntry();
        RemoveDirectoryW(FolderPath().c_str());
    }
    LetGo();
    return std::nullopt;
}

// A new hidden folder with the marker and an empty files folder in it.
bool CStagingFolder::Furnish(const std::wstring& path, const std::wstring& suffix) {
    if (!CreateDirectoryW(path.c_str(), nullptr)) return false;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
    if (WriteMarker(AfxJoinPath(path, kMarkerName), suffix) &&
        CreateDirectoryW(AfxJoinPath(path, kFilesName).c_str(), nullptr))
        return true;
    Unfurnish(path);
    return false;
}

void CStagingFolder::Unfurnish(const std::wstring& path) {
    RemoveDirectoryW(AfxJoinPath(path, kFilesName).c_str());
    DeleteFileW(AfxJoinPath(path, kMarkerName).c_str());
    RemoveDirectoryW(path.c_str());
}

std::optional<CStagingFolder> CStagingFolder::Open(const std::wstring& directory, const ListingEntry& entry) {
    if (!entry.IsDirectory() || (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return std::nullopt;
    bool bTemporary = HasTemporaryName(entry.name);
    if (!bTemporary && !HasStagingName(entry.name)) return std::nullopt;
    CStagingFolder folder(directory, entry.name, std::wstring());
    if (folder.Hold()) return folder;
    // A run ended while it made the folder, before its marker was written: an empty folder.
    if (bTemporary && folder.m_folder && folder.m_marker.dwError == ERROR_FILE_NOT_FOUND)
        RemoveHeldEntry(folder.m_folder);
    return std::nullopt;
}

std::optional<CStagingFolder> CStagingFolder::Peek(const std::wstring& directory, const ListingEntry& entry) {
    if (!entry.IsDirectory() || (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return std::nullopt;
    if (!HasTemporaryName(entry.name) && !HasStagingName(entry.name)) return std::nullopt;
    CStagingFolder folder(directory, entry.name, std::wstring());
    folder.m_directory = OpenDirectory(directory);
    if (!folder.m_directory || !folder.Look()) return std::nullopt;
    return folder;
}

CStagingFolder::CStagingFolder(std::wstring directory, std::wstring name, std::wstring suffix)
    : m_strDirectory(std::move(directory)), m_strName(std::move(name)), m_strSuffix(std::move(suffix)) {}

// Takes the folder, its files folder and its marker for this run, each only as a plain entry
// of the directory's volume; or, where another run holds them, reads the marker only.
bool CStagingFolder::Hold() {
    m_directory = OpenDirectory(m_strDirectory);
    if (!m_directory) return false;
    m_folder = OpenPlainEntry(m_directory, m_strDirectory, m_strName, kFolderAccess, kHeldSharing);
    if (m_folder) {
        m_files = OpenPlainEntry(m_folder, FolderPath(), kFilesName, kFolderAccess, kHeldSharing);
        if (HoldMarker()) return true;
    }
    if (m_marker.dwError != ERROR_SHARING_VIOLATION) return false;
    return Look();
}

// Held by another run: look, touch nothing, hold nothing.
bool CStagingFolder::Look() {
    m_folder = OpenPlainEntry(m_directory, m_strDirectory, m_strName, FILE_READ_ATTRIBUTES, kPeekSharing);
    if (!m_folder) return false;
    m_files = OpenPlainEntry(m_folder, FolderPath(), kFilesName, FILE_READ_ATTRIBUTES, kPeekSharing);
    PlainEntry marker = OpenPlainEntry(m_folder, FolderPath(), kMarkerName, GENERIC_READ, kPeekSharing);
    std::optional<std::wstring> suffix = marker ? ReadMarker(marker.handle.Get()) : std::nullopt;
    m_folder.handle.Close();
    if (!suffix) return false;
    m_strSuffix = std::move(*suffix);
    m_marker = PlainEntry();
    return true;
}

void CStagingFolder::LetGo() {
    m_marker = PlainEntry();
    m_files = PlainEntry();
    m_folder = PlainEntry();
}

bool CStagingFolder::HoldMarker() {
    m_marker = OpenPlainEntry(m_folder, FolderPath(), kMarkerName, kMarkerAccess, FILE_SHARE_READ);
    if (!m_marker) return false;
    std::optional<std::wstring> suffix = ReadMarker(m_marker.handle.Get());
    if (!suffix) {
        m_marker = PlainEntry();
        return false;
    }
    m_strSuffix = std::move(*suffix);
    return true;
}

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

std::vector<ListingEntry> CStagingFolder::WaitingFiles() const {
    if (!m_files) return {};
    return ReadDirectoryListing(FilesPath()).entries;
}

bool CStagingFolder::MayMoveFromFolder(const std::wstring& fileName) const {
    return !IsHeldElsewhere() && IsPlainInFolder(fileName);
}

bool CStagingFolder::MayMoveFromDirectory(const std::wstring& waitingName) const {
    return !IsHeldElsewhere() && IsPlainBeside(waitingName);
}

bool CStagingFolder::IsPlainInFolder(const std::wstring& fileName) const {
    if (!m_files) return false;
    return static_cast<bool>(OpenPlainEntry(m_files, FilesPath(), fileName, FILE_READ_ATTRIBUTES, kPeekSharing));
}

bool CStagingFolder::IsPlainBeside(const std::wstring& waitingName) const {
    return static_cast<bool>(
        OpenPlainEntry(m_directory, m_strDirectory, waitingName, FILE_READ_ATTRIBUTES, kPeekSharing));
}

void CStagingFolder::RemoveIfEmpty(DWORD dwPatienceMs) {
    if (IsHeldElsewhere()) return;
    if (m_files) {
        if (!ShowsEmpty(FilesPath(), dwPatienceMs)) return;
        if (!RemoveHeld(m_files, m_folder, FolderPath(), kFilesName)) return;
    } else if (m_files.dwError != ERROR_FILE_NOT_FOUND) {
        return;  // there, but not a plain folder: the staging folder stays as it is
    }
    if (RemoveHeldEntry(m_marker)) RemoveHeld(m_folder, m_directory, m_strDirectory, m_strName);
}

bool CStagingFolder::ShowsEmpty(const std::wstring& folder, DWORD dwPatienceMs) {
    const DWORD kPauseMs = 50;
    for (DWORD dwWaited = 0;; dwWaited += kPauseMs) {
        if (ReadDirectoryListing(folder).entries.empty()) return true;
        if (dwWaited >= dwPatienceMs) return false;
        Sleep(kPauseMs);
    }
}

// Opened again with delete access, as the same plain entry, and removed through that handle.
bool CStagingFolder::RemoveHeld(PlainEntry& held, const PlainEntry& parent, const std::wstring& parentPath,
                                const std::wstring& name) {
    held.handle.Close();
    PlainEntry entry = OpenPlainEntry(parent, parentPath, name, DELETE | FILE_READ_ATTRIBUTES, kHeldSharing);
    return entry && RemoveHeldEntry(entry);
}

std::wstring CStagingFolder::FolderPath() const { return AfxJoinPath(m_strDirectory, m_strName); }

std::wstring CStagingFolder::FilesPath() const { return AfxJoinPath(FolderPath(), kFilesName); }

#include "tests/support/TempDirectory.h"

#include "filesystem/CUniqueHandle.h"
#include "filesystem/DirectoryListing.h"
#include "filesystem/ExtendedPath.h"
#include "filesystem/SystemText.h"
#include "tests/support/UnixShell.h"
#include "wine/WineHost.h"

#include <windows.h>

#include <algorithm>
#include <stdexcept>

std::string Utf8(const std::wstring& wide) {
    int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                    nullptr);
    std::string text(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), text.data(), bytes, nullptr, nullptr);
    return text;
}

std::wstring FromUtf8(const std::string& utf8) {
    int nSize = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(nSize > 0 ? nSize : 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), nSize);
    return wide;
}

namespace {

// path is exact (Unix namespace or extended), so that names such as "Music." go too.
void RemoveExactTree(const std::wstring& path) {
    for (const ListingEntry& entry : ReadDirectoryListing(path, ListingDetail::Names).entries) {
        std::wstring full = AfxJoinPath(path, entry.name);
        SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (entry.IsDirectory())
            RemoveExactTree(full);
        else
            DeleteFileW(full.c_str());
    }
    RemoveDirectoryW(path.c_str());
}

}  // namespace

void RemoveTree(const std::wstring& path) { RemoveExactTree(wine::ExactPath(path)); }

TempDirectory::TempDirectory() {
    // Ends with a backslash.
    const std::wstring base = AfxReadSystemText([](wchar_t* buffer, DWORD size) { return GetTempPathW(size, buffer); });
    if (base.empty()) throw std::runtime_error("cannot read the temporary folder");
    static unsigned s_counter = 0;
    for (;;) {
        m_path = base + L"umbrix-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++s_counter);
        if (CreateDirectoryW(m_path.c_str(), nullptr)) break;
        if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("cannot create a temporary directory");
    }
}

TempDirectory::TempDirectory(const std::wstring& existingRoot) : m_path(existingRoot), m_remove(false) {
    while (!m_path.empty() && m_path.back() == L'\\') m_path.pop_back();
}

TempDirectory::~TempDirectory() {
    if (m_remove) {
        // Leave the directory first: the program under test may have made it current.
        SetCurrentDirectoryW(L"C:\\");
        RemoveTree(m_path);
    }
}

std::string TempDirectory::AnsiPath() const {
    int bytes = WideCharToMultiByte(CP_ACP, 0, m_path.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, m_path.c_str(), -1, text.data(), bytes, nullptr, nullptr);
    text.resize(text.size() - 1);
    return text;
}

void TempDirectory::AddFile(const std::wstring& name, const std::string& contents) {
    std::wstring full = AfxExtendedPath(m_path + L"\\" + name);
    CFileHandle file(CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) throw std::runtime_error("cannot create " + Utf8(full));
    std::string data = contents.empty() ? Utf8(name) : contents;
    DWORD written = 0;
    if (!WriteFile(file.Get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr) || !file.Close())
        throw std::runtime_error("cannot write " + Utf8(full));
}

void TempDirectory::AddFileOnLinux(const std::wstring& name, const std::string& contents) {
    std::string path = UnixPath(m_path) + "/" + Utf8(name);
    RunUnixShell("printf %s " + ShellQuote(contents) + " > " + ShellQuote(path));
}

void TempDirectory::AddFilesOnLinux(const std::vector<std::wstring>& names) {
    std::string script = "cd " + ShellQuote(UnixPath(m_path)) + " || exit 1\n";
    for (const std::wstring& name : names)
        script += "printf %s " + ShellQuote(Utf8(name)) + " > " + ShellQuote(Utf8(name)) + "\n";
    // A guard against a hung script, not a speed check: tens of thousands of files can take
    // many seconds on a busy disk.
    RunUnixShell(script, 10000 + 5 * static_cast<unsigned long>(names.size()));
}

std::wstring TempDirectory::ExactPath() const { return wine::ExactPath(m_path); }

void TempDirectory::AddDirectory(const std::wstring& name) {
    if (!CreateDirectoryW(AfxExtendedPath(m_path + L"\\" + name).c_str(), nullptr))
        throw std::runtime_error("cannot create directory " + Utf8(name));
}

CFileHandle TempDirectory::HoldOpen(const std::wstring& name) const {
    return CFileHandle(CreateFileW(AfxExtendedPath(m_path + L"\\" + name).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                   nullptr, OPEN_EXISTING, 0, nullptr));
}

std::vector<std::wstring> TempDirectory::Names(const std::wstring& sub) const {
    std::wstring dir = sub.empty() ? m_path : m_path + L"\\" + sub;
    // Under Wine, Wine's Unix namespace lists the names exactly as the Linux disk holds them.
    std::wstring unixDir = wine::UnixNamespacePath(dir);
    if (!unixDir.empty()) dir = unixDir;
    if (unixDir.empty()) dir = AfxExtendedPath(dir);
    std::vector<std::wstring> names;
    for (ListingEntry& entry : ReadDirectoryListing(dir, ListingDetail::Names).entries)
        names.push_back(std::move(entry.name));
    std::sort(names.begin(), names.end());
    return names;
}

std::string TempDirectory::Contents(const std::wstring& name) const {
    CFileHandle file(CreateFileW(AfxJoinPath(ExactPath(), name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
    if (!file) return "<missing>";
    char buffer[4096];
    DWORD read = 0;
    ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr);
    return std::string(buffer, read);
}

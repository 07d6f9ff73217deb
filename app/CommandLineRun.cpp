#include "app/CommandLineRun.h"

#include "app/CQuietReport.h"
#include "app/CommandLinePreview.h"
#include "app/RenameFilesToCase.h"
#include "filesystem/CurrentDirectory.h"
#include "filesystem/ExtendedPath.h"
#include "filesystem/SystemErrorText.h"
#include "platform/AfxMessageBox.h"

#include <cwctype>
#include <optional>
#include <vector>

namespace {

std::wstring Text(const char* pszText) { return AfxToWide(pszText); }
std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

bool StartsWith(const std::wstring& text, const wchar_t* pszHead) { return text.rfind(pszHead, 0) == 0; }
bool HasDrive(const std::wstring& path) { return path.size() >= 2 && path[1] == L':'; }
bool IsUnc(const std::wstring& path) { return StartsWith(path, L"\\\\"); }

// An absolute path as its root ("X:" or "\\server\share") and the names below it.
struct PathParts {
    std::wstring root;
    std::vector<std::wstring> names;
};

// Adds the names of a path relative to parts: "." stays, ".." goes up (never above the root).
void AddNames(PathParts& parts, const std::wstring& relative) {
    size_t start = 0;
    while (start <= relative.size()) {
        size_t end = std::min(relative.find(L'\\', start), relative.size());
        std::wstring name = relative.substr(start, end - start);
        if (name == L"..") {
            if (!parts.names.empty()) parts.names.pop_back();
        } else if (!name.empty() && name != L".") {
            parts.names.push_back(name);
        }
        start = end + 1;
    }
}

// path: "X:\..." or "\\server\share\...".
PathParts SplitAbsolute(const std::wstring& path) {
    PathParts parts;
    size_t rootEnd = 2;  // after "X:"
    if (IsUnc(path)) {
        size_t server = path.find(L'\\', 2);
        rootEnd = server == std::wstring::npos ? path.size() : std::min(path.find(L'\\', server + 1), path.size());
    }
    parts.root = path.substr(0, rootEnd);
    AddNames(parts, path.substr(std::min(rootEnd, path.size())));
    return parts;
}

// The directory drive X remembers, as the command prompt keeps one for each drive.
std::wstring DriveDirectory(wchar_t drive) {
    wchar_t driveOnly[] = {drive, L':', 0};
    wchar_t full[MAX_PATH] = {};
    DWORD length = GetFullPathNameW(driveOnly, MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? std::wstring(full) : std::wstring(driveOnly) + L"\\";
}

// The absolute path that a relative one starts from, and what is left of it to add.
PathParts StartOf(std::wstring& path, const std::wstring& currentDirectory) {
    if (IsUnc(path) || (HasDrive(path) && path.size() > 2 && path[2] == L'\\')) {
        PathParts parts = SplitAbsolute(path);
        path.clear();
        return parts;
    }
    if (HasDrive(path)) {  // "X:" or "X:name": from the directory drive X remembers
        bool bSameDrive = HasDrive(currentDirectory) && std::towupper(currentDirectory[0]) == std::towupper(path[0]);
        PathParts parts = SplitAbsolute(bSameDrive ? currentDirectory : DriveDirectory(path[0]));
        path.erase(0, 2);
        return parts;
    }
    PathParts parts = SplitAbsolute(currentDirectory);
    if (StartsWith(path, L"\\")) parts.names.clear();  // "\name": from the current drive's root
    return parts;
}

std::wstring WithoutExtendedPrefix(const std::wstring& path) {
    if (StartsWith(path, L"\\\\?\\UNC\\")) return L"\\\\" + path.substr(8);
    if (StartsWith(path, L"\\\\?\\")) return path.substr(4);
    return path;
}

int ReportBadCommandLine(const std::wstring& what) {
    AfxMessageBox(what + L"\n\n" + Text(CaseCommandUsage()), MB_OK | MB_ICONHAND, 0);
    return kExitNothingDone;
}

// What keeps the directory from being a run's; empty when nothing does.
std::wstring CheckDirectory(const std::wstring& directory) {
    DWORD attributes = GetFileAttributesW(AfxExtendedPath(directory).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) return {};
        return Quoted(directory) + Text(" ist eine Datei, kein Verzeichnis.");
    }
    DWORD dwError = GetLastError();
    switch (dwError) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
        return Text("Das Verzeichnis ") + Quoted(directory) + Text(" gibt es nicht.");
    default:
        return Text("Das Verzeichnis ") + Quoted(directory) + Text(" ist nicht erreichbar: ") +
               AfxFormatSystemMessage(dwError);
    }
}

}  // namespace

std::wstring AbsoluteDirectory(const std::wstring& given, const std::wstring& currentDirectory) {
    std::wstring path = given;
    for (wchar_t& ch : path)
        if (ch == L'/') ch = L'\\';
    path = WithoutExtendedPrefix(path);
    PathParts parts = StartOf(path, currentDirectory);
    AddNames(parts, path);
    std::wstring absolute = parts.root;
    for (const std::wstring& name : parts.names) absolute += L"\\" + name;
    // A drive's root is "X:\"; "X:" alone would be the drive's remembered directory.
    if (parts.names.empty() && HasDrive(parts.root)) absolute += L"\\";
    return absolute;
}

int RunFromCommandLine(const CaseCommand& command) {
    std::optional<CQuietReport> quiet;
    if (command.bQuiet) quiet.emplace();
    if (!command.error.empty()) return ReportBadCommandLine(command.error);
    std::wstring directory = AbsoluteDirectory(command.directory, AfxGetCurrentDirectory());
    std::wstring problem = CheckDirectory(directory);
    if (!problem.empty()) return ReportBadCommandLine(problem);
    CaseChange change(command.direction, command.part);
    if (command.bPreview) return PreviewFromCommandLine(change, directory);
    RunDisplay display = command.bQuiet ? RunDisplay::Quiet : RunDisplay::Windows;
    return static_cast<int>(RenameFilesToCase(change, directory, nullptr, display));
}

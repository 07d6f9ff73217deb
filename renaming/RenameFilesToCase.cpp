#include "renaming/RenameFilesToCase.h"

#include "platform/AfxMessageBox.h"
#include "platform/ExtendedPath.h"
#include "wine/WineHost.h"
#include "platform/SystemError.h"
#include "renaming/RenameEntriesToCase.h"

#include <algorithm>

namespace {

const size_t kMaxNamedFiles = 20;

const char* FinalMessage(CaseDirection direction) {
    return direction == CaseDirection::Lower ? "Ok, alle Dateien in kleinbuchstaben umbenannt."
                                             : "Ok, alle Dateien in GROSSBUCHSTABEN umbenannt.";
}

// Win32 path parsing would enter another folder than the one named: "Music." is "Music" to
// it, and a name shown with '?' for a letter beyond the code page names nothing reliably.
bool PathRulesKeepEveryComponent(const CString& directory) {
    std::wstring path = AfxToWide(directory);
    size_t start = path.size() >= 3 && path[1] == L':' && path[2] == L'\\' ? 3 : 0;
    while (start < path.size()) {
        size_t end = std::min(path.find(L'\\', start), path.size());
        if (!AfxPathRulesKeepName(path.substr(start, end - start))) return false;
        start = end + 1;
    }
    return true;
}

void ShowEnterFailure(DWORD dwError) {
    AfxShowSystemError(GetActiveWindow(), "GetLastError - SetCurrentDirectory failed", dwError);
}

bool EnterDirectory(const CString& directory) {
    if (!PathRulesKeepEveryComponent(directory)) {
        ShowEnterFailure(ERROR_INVALID_NAME);
        return false;
    }
    if (SetCurrentDirectoryA(directory)) return true;
    ShowEnterFailure(GetLastError());
    return false;
}

// The current directory as a path that every later step takes literally.
std::wstring ExactCurrentDirectory() {
    std::wstring path(GetCurrentDirectoryW(0, nullptr), L'\0');
    path.resize(GetCurrentDirectoryW(static_cast<DWORD>(path.size()), path.data()));
    return wine::ExactPath(path);
}

void ReportKeptFiles(std::vector<std::wstring> kept) {
    std::sort(kept.begin(), kept.end());
    CString text("Nicht alle Dateien wurden umbenannt. Diese Dateien behalten ihren Namen:");
    for (size_t i = 0; i < kept.size() && i < kMaxNamedFiles; ++i) text += "\n" + AfxFromWideNoBestFit(kept[i]);
    if (kept.size() > kMaxNamedFiles) {
        CString more;
        more.Format("\n\x85 und %u weitere", static_cast<unsigned>(kept.size() - kMaxNamedFiles));
        text += more;
    }
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION, 0);
}

}  // namespace

void RenameFilesToCase(CaseDirection direction, const CString& chosenPath) {
    // "X:" alone would mean the drive's remembered directory; the user chose its root.
    CString directory = chosenPath.GetLength() == 2 ? chosenPath + "\\" : chosenPath;
    if (!EnterDirectory(directory)) return;
    CaseRunOutcome outcome = RenameEntriesToCase(direction, ExactCurrentDirectory());
    // Outside a drive's root the listing always holds "." and "..", so only a root is empty.
    bool bDriveRoot = directory.GetLength() == 3;
    if (!outcome.bListed || (outcome.nEntries == 0 && bDriveRoot)) {
        AfxMessageBox("Keine Dateien im gew\xE4hlten Verzeichnis!", MB_OK, 0);
        return;
    }
    if (outcome.kept.empty())
        AfxMessageBox(FinalMessage(direction), MB_OK, 0);
    else
        ReportKeptFiles(std::move(outcome.kept));
}

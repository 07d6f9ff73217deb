#include "app/RenameFilesToCase.h"

#include "filesystem/CurrentDirectory.h"
#include "filesystem/ExtendedPath.h"
#include "platform/AfxMessageBox.h"
#include "platform/SystemError.h"
#include "renaming/RenameEntriesToCase.h"
#include "wine/WineHost.h"

#include <algorithm>

namespace {

const size_t kMaxNamedFiles = 20;

const char* FinalMessage(CaseDirection direction) {
    return direction == CaseDirection::Lower ? "Ok, alle Dateien in kleinbuchstaben umbenannt."
                                             : "Ok, alle Dateien in GROSSBUCHSTABEN umbenannt.";
}

bool EnterDirectory(const std::wstring& directory) {
    if (AfxSetCurrentDirectory(directory)) return true;
    AfxShowSystemError(GetActiveWindow(), "GetLastError - SetCurrentDirectory failed", GetLastError());
    return false;
}

// The names as the disk spells them, in any script.
void ReportKeptFiles(std::vector<std::wstring> kept) {
    std::sort(kept.begin(), kept.end());
    std::wstring text = AfxToWide("Nicht alle Dateien wurden umbenannt. Diese Dateien behalten ihren Namen:");
    for (size_t i = 0; i < kept.size() && i < kMaxNamedFiles; ++i) text += L"\n" + kept[i];
    if (kept.size() > kMaxNamedFiles) {
        CString more;
        more.Format("\n\x85 und %u weitere", static_cast<unsigned>(kept.size() - kMaxNamedFiles));
        text += AfxToWide(more);
    }
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION, 0);
}

}  // namespace

void RenameFilesToCase(CaseDirection direction, const std::wstring& chosenPath) {
    // "X:" alone would mean the drive's remembered directory; the user chose its root.
    std::wstring directory = chosenPath.size() == 2 ? chosenPath + L"\\" : chosenPath;
    if (!EnterDirectory(directory)) return;
    // The path as chosen, not as the current directory: that one may have been kept aside.
    CaseRunOutcome outcome = RenameEntriesToCase(direction, wine::ExactPath(directory));
    // Outside a drive's root the listing always holds "." and "..", so only a root is empty.
    bool bDriveRoot = directory.size() == 3;
    if (!outcome.bListed || (outcome.nEntries == 0 && bDriveRoot)) {
        AfxMessageBox("Keine Dateien im gew\xE4hlten Verzeichnis!", MB_OK, 0);
        return;
    }
    if (outcome.kept.empty())
        AfxMessageBox(FinalMessage(direction), MB_OK, 0);
    else
        ReportKeptFiles(std::move(outcome.kept));
}

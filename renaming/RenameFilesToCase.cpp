#include "renaming/RenameFilesToCase.h"

#include "platform/AfxMessageBox.h"
#include "platform/SystemError.h"
#include "renaming/CaseRenamer.h"
#include "renaming/DirectoryListing.h"

#include <unordered_map>

namespace {

const char* FinalMessage(CaseDirection direction) {
    return direction == CaseDirection::Lower ? "Ok, alle Dateien in kleinbuchstaben umbenannt."
                                             : "Ok, alle Dateien in GROSSBUCHSTABEN umbenannt.";
}

CString Converted(CaseDirection direction, const CString& name) {
    CString converted(name);
    return direction == CaseDirection::Lower ? converted.MakeLower() : converted.MakeUpper();
}

bool EnterDirectory(const CString& chosenPath) {
    // "X:" alone would mean the drive's remembered directory; the user chose its root.
    CString directory = chosenPath.GetLength() == 2 ? chosenPath + "\\" : chosenPath;
    if (SetCurrentDirectoryA(directory)) return true;
    CString text = AfxFormatSystemMessage(GetLastError());
    AfxShowMessageBox(GetActiveWindow(), text, "GetLastError - SetCurrentDirectory failed", MB_OK | MB_ICONHAND);
    return false;
}

// How many entries share each case-folded name: a converted name that another entry already
// has, exactly or ignoring case, must not be taken.
class CNameCensus {
public:
    explicit CNameCensus(const DirectoryListing& listing) {
        for (const ListingEntry& entry : listing.entries) ++m_counts[CaseFoldKey(entry.wideName)];
    }

    bool TakenByOther(const ListingEntry& entry, const CString& target) const {
        std::wstring targetKey = CaseFoldKey(AfxToWide(target));
        auto found = m_counts.find(targetKey);
        int holders = found == m_counts.end() ? 0 : found->second;
        return holders - (CaseFoldKey(entry.wideName) == targetKey ? 1 : 0) > 0;
    }

    bool IsTaken(const std::wstring& key) const { return m_counts.count(key) != 0; }

private:
    std::unordered_map<std::wstring, int> m_counts;
};

// A failed rename leaves the file as it was and is not reported.
void RenameEntries(CaseDirection direction, const DirectoryListing& listing) {
    CNameCensus census(listing);
    CCaseRenamer renamer([&census](const std::wstring& key) { return census.IsTaken(key); });
    for (const ListingEntry& entry : listing.entries) {
        if (entry.IsDirectory() || !entry.addressable) continue;
        CString target = Converted(direction, entry.name);
        if (target == entry.name || census.TakenByOther(entry, target)) continue;
        renamer.Rename(entry.name, target);
    }
}

}  // namespace

void RenameFilesToCase(CaseDirection direction, const CString& chosenPath) {
    if (!EnterDirectory(chosenPath)) return;
    DirectoryListing listing = ReadCurrentDirectoryListing();
    if (!listing.started || listing.entries.empty()) {
        AfxMessageBox("Keine Dateien im gew\xE4hlten Verzeichnis!", MB_OK, 0);
        return;
    }
    RenameEntries(direction, listing);
    AfxMessageBox(FinalMessage(direction), MB_OK, 0);
}

#include "app/ShellChangeNotice.h"

#include <windows.h>
#include <shlobj.h>

namespace {

std::wstring PathIn(const std::wstring& directory, const std::wstring& name) {
    bool bSeparated = directory.back() == L'\\' || directory.back() == L'/';
    return bSeparated ? directory + name : directory + L'\\' + name;
}

// The shell's paths end at MAX_PATH; a longer one it cannot name.
bool ShellCanName(const std::wstring& directory, const std::vector<NameChange>& renames) {
    for (const NameChange& rename : renames)
        for (const std::wstring* pName : {&rename.from, &rename.to})
            if (PathIn(directory, *pName).size() >= MAX_PATH) return false;
    return true;
}

}  // namespace

void TellShellNamesChanged(const std::wstring& directory, const CaseRunOutcome& outcome) {
    bool bChanged = !outcome.bRenamesNamed || !outcome.renames.empty();
    if (!bChanged || directory.empty()) return;
    // Not waiting: a shell that is busy or hung must not hold up the end of the run.
    if (!outcome.bRenamesNamed || !ShellCanName(directory, outcome.renames)) {
        SHChangeNotify(SHCNE_UPDATEDIR, SHCNF_PATHW | SHCNF_FLUSHNOWAIT, directory.c_str(), nullptr);
        return;
    }
    for (const NameChange& rename : outcome.renames) {
        std::wstring from = PathIn(directory, rename.from);
        std::wstring to = PathIn(directory, rename.to);
        SHChangeNotify(SHCNE_RENAMEITEM, SHCNF_PATHW | SHCNF_FLUSHNOWAIT, from.c_str(), to.c_str());
    }
}

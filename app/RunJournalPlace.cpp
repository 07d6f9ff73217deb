#include "app/RunJournalPlace.h"

#include "filesystem/ExtendedPath.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

namespace {

const wchar_t kFolder[] = L"Umbrix";
const wchar_t kJournal[] = L"Letzter Lauf.umbrix-journal";

std::wstring& ChosenFolder() {
    static std::wstring s_folder;
    return s_folder;
}

std::wstring UsersFolder() {
    PWSTR pszLocal = nullptr;
    HRESULT hr = SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &pszLocal);
    std::wstring local = SUCCEEDED(hr) && pszLocal ? pszLocal : L"";
    CoTaskMemFree(pszLocal);
    return local.empty() ? local : AfxJoinPath(AfxExtendedPath(local), kFolder);
}

}  // namespace

std::wstring RunJournalPath() {
    std::wstring folder = ChosenFolder().empty() ? UsersFolder() : ChosenFolder();
    if (folder.empty()) return folder;
    CreateDirectoryW(folder.c_str(), nullptr);
    return AfxJoinPath(folder, kJournal);
}

void SetRunJournalFolder(std::wstring folder) { ChosenFolder() = std::move(folder); }

#include "app/RunJournalPlace.h"

#include "filesystem/ExtendedPath.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

namespace {

const wchar_t kFolder[] = L"Umbrix";
const wchar_t kJournal[] = L"Letzter Lauf.umbrix-journal";

}  // namespace

std::wstring RunJournalPath() {
    PWSTR pszLocal = nullptr;
    HRESULT hr = SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &pszLocal);
    std::wstring local = SUCCEEDED(hr) && pszLocal ? pszLocal : L"";
    CoTaskMemFree(pszLocal);
    if (local.empty()) return local;
    std::wstring folder = AfxJoinPath(AfxExtendedPath(local), kFolder);
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return std::wstring();
    return AfxJoinPath(folder, kJournal);
}

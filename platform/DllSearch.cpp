#include "platform/DllSearch.h"

#include <windows.h>

DllSearch AfxRestrictDllSearch() {
    // Looked up, not imported: a Windows 7 without the update lacks it, and the program must
    // still start there.
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    auto setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefaultDllDirectories && setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return DllSearch::SystemFolderOnly;
    return SetDllDirectoryW(L"") ? DllSearch::WithoutCurrentDirectory : DllSearch::Unchanged;
}

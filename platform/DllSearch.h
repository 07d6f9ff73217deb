#pragma once
// Where the process looks for DLLs loaded by name. The program restricts that search first of
// all, so that a DLL left beside it (in a Downloads folder, say) is never loaded in place of the
// system's.

enum class DllSearch {
    SystemFolderOnly,         // SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)
    WithoutCurrentDirectory,  // only SetDllDirectoryW(L""): the program's folder stays first
    Unchanged,                // both refused
};

// Restricts every later search by name, the DLLs those loads pull in included, to the system
// folder where the system has SetDefaultDllDirectories (Windows 7 with KB2533623, and every later
// Windows); elsewhere it takes at least the current directory out of the search.
DllSearch AfxRestrictDllSearch();

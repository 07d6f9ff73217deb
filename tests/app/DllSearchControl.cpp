// The control program of the DLL-search tests: like the program, it carries the manifest and
// calls the common controls, but it imports them the ordinary way. Started with "restrict", it
// restricts the DLL search first thing in WinMain, which is after its imports were loaded.
#include "platform/DllSearch.h"

#include <windows.h>

#include <commctrl.h>

#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR lpCmdLine, int) {
    if (std::strcmp(lpCmdLine, "restrict") == 0 && AfxRestrictDllSearch() != DllSearch::SystemFolderOnly) return 2;
    INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
    return InitCommonControlsEx(&init) ? 0 : 1;
}

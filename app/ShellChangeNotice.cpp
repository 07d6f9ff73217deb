#include "app/ShellChangeNotice.h"

#include <windows.h>
#include <shlobj.h>

void TellShellNamesChanged(const std::wstring& directory, size_t nRenamed) {
    if (nRenamed == 0 || directory.empty()) return;
    // Not waiting: a shell that is busy or hung must not hold up the end of the run.
    SHChangeNotify(SHCNE_UPDATEDIR, SHCNF_PATHW | SHCNF_FLUSHNOWAIT, directory.c_str(), nullptr);
}

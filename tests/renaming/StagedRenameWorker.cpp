// Runs one lower-case run over a directory through its extended Win32 path. Under Wine a
// case-only rename there is a silent no-op, so every file takes the staging route; the tests
// end this process in the middle of it.
//   staged_rename_worker.exe DIRECTORY
#include "filesystem/ExtendedPath.h"
#include "renaming/ChangeCaseOnDisk.h"

#include <windows.h>

#include <shellapi.h>

int main() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc != 2) return 2;
    CaseRunOutcome outcome = ChangeCaseOnDisk(CaseDirection::Lower, AfxExtendedPath(argv[1]));
    LocalFree(argv);
    return outcome.kept.empty() ? 0 : 1;
}

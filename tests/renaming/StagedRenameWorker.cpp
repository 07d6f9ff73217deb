// Runs one lower-case run over a directory through its extended Win32 path. Under Wine a
// case-only rename there is a silent no-op, so every file takes the staging route; the tests
// end this process in the middle of it. With a journal path, the run is recorded there.
//   staged_rename_worker.exe DIRECTORY [JOURNAL]
#include "filesystem/ExtendedPath.h"
#include "renaming/ChangeCaseOnDisk.h"

#include <windows.h>

#include <shellapi.h>

#include <optional>

int main() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2 || argc > 3) return 2;
    std::optional<CRunJournalWriter> journal;
    if (argc == 3) journal.emplace(argv[2]);
    if (journal && journal->Start()) return 2;
    CaseRunOutcome outcome = ChangeCaseOnDisk(CaseDirection::Lower, AfxExtendedPath(argv[1]), nullptr,
                                              journal ? &*journal : nullptr, argv[1]);
    if (journal) journal->Finish();
    LocalFree(argv);
    return outcome.kept.empty() ? 0 : 1;
}

#pragma once
// A run started from the command line takes its turn (RunTurn). Quiet, it waits for its turn
// without a window and renames its own folder. With windows, where the run that has the turn
// takes folders of its kind (Explorer started one copy per folder chosen), the folder is handed
// over to it and this copy ends with 0 once it is done, with no window of its own; otherwise it
// waits in its progress window, and then its own run takes the folders of copies that come
// after it. The exit code is the worst of the run's folders.
#include "app/CaseCommandLine.h"

#include <string>

// directory: absolute, checked to be one.
int RunCommandLineFolder(const CaseCommand& command, const std::wstring& directory);

#pragma once
// The program's one job: every entry directly in a directory that is not itself a directory
// gets its whole name in lower or upper case. Sub-directories are neither renamed nor entered.
#include "platform/CString.h"
#include "renaming/CaseDirection.h"

// chosenPath: "X:" (the drive's root), "X:\" or "X:\dir\...". Leaves the process's current
// directory at the chosen directory. Reports the outcome in a message box.
void RenameFilesToCase(CaseDirection direction, const CString& chosenPath);

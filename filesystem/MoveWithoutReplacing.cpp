#include "filesystem/MoveWithoutReplacing.h"

DWORD MoveWithoutReplacing(const std::wstring& from, const std::wstring& to) {
    // No MOVEFILE_REPLACE_EXISTING: an existing file under the new name must survive.
    // No MOVEFILE_COPY_ALLOWED: a rename never turns into copy and delete.
    if (MoveFileExW(from.c_str(), to.c_str(), 0)) return ERROR_SUCCESS;
    return GetLastError();
}

bool ReportedTaken(DWORD dwError) { return dwError == ERROR_ALREADY_EXISTS || dwError == ERROR_FILE_EXISTS; }

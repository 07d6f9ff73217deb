// A stand-in for a browser in the link-opening tests: writes the show command it was started
// with, its own file and its exact command line, a line each, to a new file in the directory named by
// UMBRIX_LINK_RECORDS, then ends.
#include "filesystem/CUniqueHandle.h"

#include <string>

int main() {
    char szDirectory[MAX_PATH];
    DWORD nLength = GetEnvironmentVariableA("UMBRIX_LINK_RECORDS", szDirectory, MAX_PATH);
    if (nLength == 0 || nLength >= MAX_PATH) return 1;

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    int nShow = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
    char szSelf[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, szSelf, MAX_PATH);
    std::string record = "show " + std::to_string(nShow) + "\n" + szSelf + "\n" + GetCommandLineA();

    // Written under a temporary name and then renamed, so the test never reads half a record.
    std::string base = std::string(szDirectory) + "\\" + std::to_string(GetCurrentProcessId());
    std::string partial = base + ".part";
    CFileHandle file(CreateFileA(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file) return 1;
    DWORD nWritten = 0;
    if (!WriteFile(file.Get(), record.data(), static_cast<DWORD>(record.size()), &nWritten, nullptr) || !file.Close())
        return 1;
    return MoveFileA(partial.c_str(), (base + ".txt").c_str()) ? 0 : 1;
}

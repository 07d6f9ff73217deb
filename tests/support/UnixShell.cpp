#include "tests/support/UnixShell.h"

#include "tests/support/TempDirectory.h"

#include "wine/WineHost.h"

#include <windows.h>

#include <stdexcept>

std::string UnixPath(const std::wstring& windowsPath) {
    if (!wine::IsHost()) throw std::runtime_error("this test needs Wine");
    std::string path = wine::UnixFileName(windowsPath);
    if (path.empty()) throw std::runtime_error("no Unix path for " + Utf8(windowsPath));
    return path;
}

std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char ch : text) quoted += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
    return quoted + "'";
}

void RunUnixShell(const std::string& script) {
    // Wine starts Linux programs without a process handle to wait on, so the script leaves a
    // marker file when it is done.
    TempDirectory work;
    std::wstring scriptFile = work.Path() + L"\\script.sh";
    std::wstring marker = work.Path() + L"\\done";
    std::string text = script + "\ntouch " + ShellQuote(UnixPath(marker)) + "\n";
    HANDLE file = CreateFileW(scriptFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);

    std::string command = "/bin/sh " + UnixPath(scriptFile);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        throw std::runtime_error("cannot start /bin/sh");
    for (int waited = 0; GetFileAttributesW(marker.c_str()) == INVALID_FILE_ATTRIBUTES; waited += 20) {
        if (waited > 10000) throw std::runtime_error("shell script did not finish");
        Sleep(20);
    }
}

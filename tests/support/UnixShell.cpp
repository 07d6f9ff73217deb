#include "tests/support/UnixShell.h"

#include "tests/support/TempDirectory.h"

#include "filesystem/CUniqueHandle.h"
#include "wine/WineHost.h"

#include <windows.h>

#include <stdexcept>

namespace {

// Enough of a failed script's output to tell why; the rest is cut.
const size_t kMaxReportedOutput = 4000;

void WriteTextFile(const std::wstring& path, const std::string& text) {
    CFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file) throw std::runtime_error("cannot create " + Utf8(path));
    DWORD written = 0;
    if (!WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size() || !file.Close())
        throw std::runtime_error("cannot write " + Utf8(path));
}

std::string ReadTextFile(const std::wstring& path) {
    CFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 0, nullptr));
    if (!file) return std::string();
    std::string text(kMaxReportedOutput, '\0');
    DWORD read = 0;
    if (!ReadFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr)) read = 0;
    text.resize(read);
    return text;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Wine starts a Linux program without a handle to wait on: hProcess is NULL and hThread holds
// a value CloseHandle refuses. Windows gives both, and they are ours to close.
void CloseProcessHandles(const PROCESS_INFORMATION& process) {
    if (!process.hProcess) return;
    CKernelHandle owned(process.hProcess);
    CKernelHandle thread(process.hThread);
}

}  // namespace

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

void RunUnixShell(const std::string& script, unsigned long timeoutMs) {
    // The script runs in a shell of its own, so that an `exit` in it still leaves the runner to
    // tell how it ended: "done" only after success, else "failed" with the exit status, written
    // under another name first so that it is whole when it appears.
    TempDirectory work;
    std::wstring scriptFile = work.Path() + L"\\script.sh";
    std::wstring output = work.Path() + L"\\output";
    std::wstring done = work.Path() + L"\\done";
    std::wstring failed = work.Path() + L"\\failed";
    WriteTextFile(scriptFile, script + "\n");
    std::string pending = ShellQuote(UnixPath(failed) + ".part");
    std::string runner = "/bin/sh -e " + ShellQuote(UnixPath(scriptFile)) + " > " + ShellQuote(UnixPath(output)) +
                         " 2>&1\nstatus=$?\n";
    runner += "if [ $status -eq 0 ]; then : > " + ShellQuote(UnixPath(done)) + "\n";
    runner += "else echo $status > " + pending + " && mv " + pending + " " + ShellQuote(UnixPath(failed)) + "; fi\n";
    std::wstring runnerFile = work.Path() + L"\\runner.sh";
    WriteTextFile(runnerFile, runner);

    // Wine splits this command line by Windows rules: double quotes, not the shell's.
    std::string command = "/bin/sh \"" + UnixPath(runnerFile) + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        throw std::runtime_error("cannot start /bin/sh");
    CloseProcessHandles(process);
    for (unsigned long waited = 0; !Exists(done); waited += 20) {
        if (Exists(failed)) {
            std::string status = ReadTextFile(failed);
            while (!status.empty() && (status.back() == '\n' || status.back() == '\r')) status.pop_back();
            throw std::runtime_error("Linux script failed with status " + status + ":\n" + ReadTextFile(output));
        }
        if (waited > timeoutMs)
            throw std::runtime_error("Linux script did not finish within " + std::to_string(timeoutMs) +
                                     " ms; its output so far:\n" + ReadTextFile(output));
        Sleep(20);
    }
}

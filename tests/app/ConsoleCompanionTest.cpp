// umbrix.com, the program for the console, as a command prompt and a batch file run it: they
// wait for it, its output comes before what follows, in order, also redirected to files, and
// its exit code reaches %ERRORLEVEL%. (Wine's cmd waits for windowed programs too, so that the
// prompt waits is shown by the header: umbrix.com is a console program, umbrix.exe is not.)
#include <windows.h>

#include "filesystem/CUniqueHandle.h"
#include "tests/app/UmbrixProcess.h"
#include "tests/renaming/RunMessages.h"
#include "tests/support/TempDirectory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Names = std::vector<std::wstring>;

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

// The subsystem in a program's PE header: 2 for the window system, 3 for the console.
WORD Subsystem(const std::wstring& program) {
    CFileHandle file(CreateFileW(program.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    std::vector<char> header(4096);
    DWORD dwRead = 0;
    if (!file || !ReadFile(file.Get(), header.data(), static_cast<DWORD>(header.size()), &dwRead, nullptr)) return 0;
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(header.data());
    if (dwRead < sizeof(IMAGE_DOS_HEADER) || dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew < 0 ||
        static_cast<DWORD>(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS64) > dwRead)
        return 0;
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(header.data() + dos->e_lfanew);
    return nt->Signature == IMAGE_NT_SIGNATURE ? nt->OptionalHeader.Subsystem : 0;
}

std::wstring BuildFolder() {
    std::wstring com = ConsoleProgramPath();
    return com.substr(0, com.find_last_of(L'\\'));
}

// cmd.exe /c with the command line given, its streams caught; its exit code.
DWORD RunInCmd(const std::wstring& command, const std::wstring& folder, std::string* pOutput = nullptr) {
    UmbrixProcess cmd(UmbrixProcess::CommandLine{L"cmd.exe /c \"" + command + L"\""}, folder,
                      UmbrixProcess::Streams::Caught);
    if (!cmd.Started()) return STILL_ACTIVE;
    DWORD dwExitCode = cmd.WaitForExit(60000);
    std::string output = cmd.Output();
    if (pOutput) *pOutput = output;
    return dwExitCode;
}

std::string Narrow(const std::wstring& ascii) { return std::string(ascii.begin(), ascii.end()); }

}  // namespace

TEST(ConsoleCompanion, UmbrixComIsTheConsoleProgramBesideTheWindowedOne) {
    EXPECT_EQ(Subsystem(ConsoleProgramPath()), IMAGE_SUBSYSTEM_WINDOWS_CUI);
    std::string exe = ProgramPath();
    EXPECT_EQ(Subsystem(std::wstring(exe.begin(), exe.end())), IMAGE_SUBSYSTEM_WINDOWS_GUI);
}

// In a command prompt: the report on its standard output, the exit code as cmd's.
TEST(ConsoleCompanion, ACommandPromptGetsTheOutputAndTheExitCode) {
    TempDirectory dir;
    dir.AddFile(L"Frei.TXT");
    dir.AddFile(L"Gesperrt.TXT");
    CFileHandle held = dir.HoldOpen(L"Gesperrt.TXT");
    ASSERT_TRUE(held);
    std::string output;
    EXPECT_EQ(RunInCmd(Quoted(ConsoleProgramPath()) + L" /still /klein " + Quoted(dir.Path()), dir.Path(), &output),
              1u);
    EXPECT_EQ(output, Utf8(std::wstring(kNotAll) + L"\r\nGesperrt.TXT\r\n"));
    EXPECT_EQ(dir.Names(), (Names{L"Gesperrt.TXT", L"frei.txt"}));
    EXPECT_EQ(RunInCmd(Quoted(ConsoleProgramPath()) + L" /still /gross Fehlt", dir.Path(), &output), 2u);
    EXPECT_EQ(output, "");
}

// A batch file calls it by name (the folder on PATH), redirected to files: each line of the
// batch comes after the run before it, %ERRORLEVEL% holds each run's exit code (and is the
// batch's at its end), and errors go to their own file. The redirection stands first, where
// "1>>" would take the digit for a handle.
TEST(ConsoleCompanion, ABatchFileWaitsForItWithRedirectionAndTheExitCode) {
    TempDirectory dir;
    dir.AddDirectory(L"Fotos");
    dir.AddFile(L"Fotos\\Frei.TXT");
    dir.AddFile(L"Fotos\\Gesperrt.TXT");
    CFileHandle held = dir.HoldOpen(L"Fotos\\Gesperrt.TXT");
    ASSERT_TRUE(held);
    const std::string batch =
        "@echo off\r\n"
        "set PATH=" +
        Narrow(BuildFolder()) +
        ";%PATH%\r\n"
        "echo vorher>out.txt\r\n"
        "umbrix /still /klein Fotos >>out.txt 2>>err.txt\r\n"
        ">>out.txt echo Exit-Code %ERRORLEVEL%\r\n"
        "umbrix /still /klein Fehlt >>out.txt 2>>err.txt\r\n"
        ">>out.txt echo Exit-Code %ERRORLEVEL%\r\n";
    dir.AddFile(L"lauf.bat", batch);
    EXPECT_EQ(RunInCmd(L"lauf.bat", dir.Path()), 2u);
    EXPECT_EQ(dir.Contents(L"out.txt"),
              "vorher\r\n" + Utf8(std::wstring(kNotAll) + L"\r\nGesperrt.TXT\r\n") + "Exit-Code 1\r\nExit-Code 2\r\n");
    std::string said = Utf8(L"Das Verzeichnis \"" + dir.Path() + L"\\Fehlt\" gibt es nicht.\r\n\r\nAufruf:\r\n");
    EXPECT_EQ(dir.Contents(L"err.txt").rfind(said, 0), 0u) << dir.Contents(L"err.txt");
    EXPECT_EQ(dir.Names(L"Fotos"), (Names{L"Gesperrt.TXT", L"frei.txt"}));
}

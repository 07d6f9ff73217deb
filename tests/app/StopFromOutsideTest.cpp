// A quiet run over 20,000 files stopped from outside, in every way a script's user or the system
// stops one: Ctrl+C in its console (umbrix.com, and umbrix.exe attached to the console it was
// started from), taskkill without /F, and the session's end. Each ends after the file in hand
// with exit code 3, every file once under its old or its new name, a report that counts what
// the disk shows (where someone is left to read it), and a journal up to there: /rückgängig then
// gives every renamed file its name back.
#include <windows.h>

#include "tests/app/UmbrixProcess.h"
#include "tests/support/Observations.h"
#include "tests/support/TempDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

const wchar_t kStopped[] = L"Das Umbenennen wurde abgebrochen. ";

// Every file exactly once, under its old name or its lower-case one, and nothing else beside
// them: no waiting name, no staging folder. Returns the files that carry the lower-case name.
// (Only names are read here: under Wine, opening all 20,000 files first made the wineserver slow
// for the undo that followed, 3 s became 60 s.)
std::vector<std::wstring> ExpectEveryNameOnce(const TempDirectory& dir, const std::vector<std::wstring>& names) {
    std::vector<std::wstring> after = dir.Names();
    EXPECT_EQ(after.size(), names.size()) << "a file is missing, doubled, or something was left beside them";
    std::vector<std::wstring> renamed;
    for (const std::wstring& name : names) {
        std::wstring lower = L"file_" + name.substr(5, 6) + L".dat";
        bool bOld = std::binary_search(after.begin(), after.end(), name);
        bool bNew = std::binary_search(after.begin(), after.end(), lower);
        EXPECT_NE(bOld, bNew) << Utf8(name);
        if (bNew) renamed.push_back(name);
    }
    return renamed;
}

// Returns once the run has renamed a file.
size_t WaitUntilRenaming(const TempDirectory& dir) {
    for (int i = 0; i < 3000; ++i) {
        size_t renamed = 0;
        for (const std::wstring& name : dir.Names()) renamed += name.rfind(L"file_", 0) == 0;
        if (renamed > 0) return renamed;
        Sleep(10);
    }
    return 0;
}

// The session ends as the system ends it: the question to every top-level window (the quiet run
// has its hidden one), then the end. The answer may come only once the run has stopped.
bool EndSession(const UmbrixProcess& umbrix) {
    WindowSearch search{umbrix.Id(), L"Umbrix", nullptr, WindowKind::Any, true};
    EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
    DWORD_PTR answer = 0;
    if (!search.found ||
        !SendMessageTimeoutW(search.found, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 60000, &answer))
        return false;
    SendMessageTimeoutW(search.found, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 60000, &answer);
    return true;
}

// taskkill without /F, as a user types it: it asks the program's windows to close.
bool TaskKill(const UmbrixProcess& umbrix) {
    UmbrixProcess taskkill(UmbrixProcess::CommandLine{L"taskkill.exe /pid " + std::to_wstring(umbrix.Id())}, L"C:\\",
                           UmbrixProcess::Streams::Caught);
    return taskkill.Started() && taskkill.WaitForExit(60000) == 0;
}

struct StopCase {
    const char* what;
    std::wstring program;
    // Returns whether the stop was given.
    std::function<bool(const OwnConsole&, const UmbrixProcess&)> stop;
    bool bReported;  // someone is left to read the report
};

}  // namespace

TEST(StopFromOutside, EveryWayOfStoppingAQuietRunEndsWithThreeAndCanBeTakenBack) {
    const std::wstring exe = FromUtf8(ProgramPath());
    const std::wstring com = ConsoleProgramPath();
    auto typeCtrlC = [](const OwnConsole& console, const UmbrixProcess&) { return console.TypeCtrlC(); };
    auto taskKill = [](const OwnConsole&, const UmbrixProcess& umbrix) { return TaskKill(umbrix); };
    auto endSession = [](const OwnConsole&, const UmbrixProcess& umbrix) { return EndSession(umbrix); };
    const StopCase cases[] = {
        {"Ctrl+C, umbrix.com", com, typeCtrlC, true},
        {"Ctrl+C, umbrix.exe", exe, typeCtrlC, true},
        {"taskkill", exe, taskKill, true},
        {"session end", exe, endSession, false},
    };
    // One directory for all: each undo gives every file its name back for the next.
    ManyFilesDirectory files;
    for (const StopCase& c : cases) {
        SCOPED_TRACE(c.what);
        // The program shares the test's console, where Ctrl+C is typed; its report goes to a pipe.
        OwnConsole console;
        ASSERT_TRUE(console.Made());
        UmbrixProcess umbrix(
            UmbrixProcess::CommandLine{Quoted(c.program) + L" /still /klein " + Quoted(files.dir.Path())},
            files.dir.Path(), UmbrixProcess::Streams::Caught);
        ASSERT_TRUE(umbrix.Started());
        ASSERT_GT(WaitUntilRenaming(files.dir), 0u) << "the run never began";
        ASSERT_TRUE(c.stop(console, umbrix));
        EXPECT_EQ(umbrix.WaitForExit(60000), 3u);
        std::vector<std::wstring> touched = ExpectEveryNameOnce(files.dir, files.names);
        size_t renamed = touched.size();
        EXPECT_GT(renamed, 0u);
        EXPECT_LT(renamed, files.names.size()) << "the run was not stopped";

        std::vector<std::wstring> lines = OutputLines(umbrix.Output());
        if (c.bReported) {
            // How many were renamed, as the disk shows; then every file that kept its name,
            // the ones the stop left untried included, with no cut-off.
            auto at = std::find_if(lines.begin(), lines.end(),
                                   [](const std::wstring& line) { return line.rfind(kStopped, 0) == 0; });
            ASSERT_NE(at, lines.end()) << "no report";
            EXPECT_EQ(LeadingCount(at->substr(std::size(kStopped) - 1)), renamed) << Utf8(*at);
            auto heading = std::find(at, lines.end(), L"Diese Dateien behalten ihren Namen:");
            ASSERT_NE(heading, lines.end());
            size_t nNamed = std::count_if(heading, lines.end(),
                                          [](const std::wstring& line) { return line.rfind(L"File_", 0) == 0; });
            EXPECT_EQ(nNamed, files.names.size() - renamed);
        } else {
            EXPECT_TRUE(lines.empty()) << "no one is left to read it";
        }

        UmbrixProcess undo(L"/still /rueckgaengig", files.dir.Path(), UmbrixProcess::Streams::Caught);
        EXPECT_EQ(undo.WaitForExit(60000), 0u);
        EXPECT_EQ(undo.Output(), Utf8(L"Ok, alle Dateien haben ihre fr\u00FCheren Namen zur\u00FCck.\r\n"));
        EXPECT_EQ(ExpectEveryNameOnce(files.dir, files.names).size(), 0u) << "not every file has its name back";
        // The files that moved twice hold what they held.
        for (const std::wstring& name : touched) EXPECT_EQ(files.dir.Contents(name), Utf8(name));
    }
}

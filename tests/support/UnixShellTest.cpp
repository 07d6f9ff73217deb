// Tests lean on Linux scripts to make what Win32 refuses to make: a script that fails must stop
// the test with the reason, not leave it to run on a half-made directory.
#include "tests/support/TempDirectory.h"
#include "tests/support/UnixShell.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

// The message RunUnixShell throws, or "<no exception>".
std::string Failure(const std::string& script, DWORD timeoutMs = 10000) {
    try {
        RunUnixShell(script, timeoutMs);
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "<no exception>";
}

}  // namespace

TEST(UnixShell, AScriptThatSucceedsHasDoneItsWorkWhenTheCallReturns) {
    TempDirectory dir;
    RunUnixShell("cd " + ShellQuote(UnixPath(dir.Path())) + " && printf 'it is done' > 'Made by Linux'");
    EXPECT_EQ(dir.Contents(L"Made by Linux"), "it is done");
}

TEST(UnixShell, AFailingScriptStopsTheCallerWithItsStatusAndOutput) {
    std::string lastFails = Failure("echo 'looked for the thing'; echo 'no such thing' >&2; false");
    EXPECT_NE(lastFails.find("status 1"), std::string::npos) << lastFails;
    EXPECT_NE(lastFails.find("looked for the thing"), std::string::npos) << lastFails;
    EXPECT_NE(lastFails.find("no such thing"), std::string::npos) << lastFails;

    // An early exit must not look like a script that never ended.
    std::string exits = Failure("echo leaving early; exit 7\necho never");
    EXPECT_NE(exits.find("status 7"), std::string::npos) << exits;
    EXPECT_NE(exits.find("leaving early"), std::string::npos) << exits;
    EXPECT_EQ(exits.find("never"), std::string::npos) << exits;
}

TEST(UnixShell, AFailedLineStopsTheScriptBeforeTheNextOneRuns) {
    TempDirectory dir;
    std::string made = ShellQuote(UnixPath(dir.Path()) + "/after");
    std::string failure = Failure("mkdir /proc/umbrix-cannot-be-made\n: > " + made);
    EXPECT_NE(failure.find("umbrix-cannot-be-made"), std::string::npos) << failure;
    EXPECT_TRUE(dir.Names().empty()) << "the line after the failed one ran";
}

TEST(UnixShell, AScriptThatDoesNotEndInTimeIsReported) {
    std::string failure = Failure("echo started; sleep 3", 500);
    EXPECT_NE(failure.find("did not finish"), std::string::npos) << failure;
}

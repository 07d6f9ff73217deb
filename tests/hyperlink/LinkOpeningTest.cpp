#include "hyperlink/LinkOpening.h"

#include "filesystem/CUniqueHandle.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TempDirectory.h"

#include <gtest/gtest.h>

#include <shellapi.h>

#include <string>
#include <vector>

namespace {

// The shell has no handler for this scheme: OpenLink refuses it without asking the shell.
const char* const kNowhere = "umbrixtest-nowhere:abc";
// An https address, while the tests hide the scheme's registration from the shell, so that
// opening it takes the registry's way.
const char* const kAddress = "https://umbrix.example.invalid/seite";
const char* const kHttpsBackupKey = "Software\\UmbrixTest\\HttpsBackup";
const char* const kFileType = "UmbrixTest.Page";
const char* const kBackupParent = "Software\\UmbrixTest";
const char* const kBackupKey = "Software\\UmbrixTest\\HtmBackup";

int ShellResult(const std::string& address) {
    return static_cast<int>(
        reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", address.c_str(), nullptr, nullptr, SW_SHOW)));
}

void SetDefaultValue(const std::string& key, const std::string& value) {
    CRegistryKey created;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, created.Receive(),
                              nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(created.Get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1)),
              ERROR_SUCCESS);
}

// Gives the test the ".htm" registration it needs in the prefix's real registry and puts back
// what was there before: the whole ".htm" tree is kept in a backup key meanwhile.
class HtmRegistration {
public:
    HtmRegistration() {
        CRegistryKey htm;
        m_bHadHtm = RegOpenKeyExA(HKEY_CLASSES_ROOT, ".htm", 0, KEY_READ, htm.Receive()) == ERROR_SUCCESS;
        if (m_bHadHtm) {
            CRegistryKey backup;
            RegCreateKeyExA(HKEY_CURRENT_USER, kBackupKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, backup.Receive(),
                            nullptr);
            RegCopyTreeA(htm.Get(), nullptr, backup.Get());
        }
        RegDeleteTreeA(HKEY_CLASSES_ROOT, kFileType);
    }

    ~HtmRegistration() {
        RegDeleteTreeA(HKEY_CLASSES_ROOT, ".htm");
        RegDeleteKeyA(HKEY_CLASSES_ROOT, ".htm");
        RegDeleteTreeA(HKEY_CLASSES_ROOT, kFileType);
        RegDeleteKeyA(HKEY_CLASSES_ROOT, kFileType);
        if (!m_bHadHtm) return;
        {
            CRegistryKey backup, htm;
            RegOpenKeyExA(HKEY_CURRENT_USER, kBackupKey, 0, KEY_READ, backup.Receive());
            RegCreateKeyExA(HKEY_CLASSES_ROOT, ".htm", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, htm.Receive(), nullptr);
            RegCopyTreeA(backup.Get(), nullptr, htm.Get());
        }
        RegDeleteTreeA(HKEY_CURRENT_USER, kBackupKey);
        RegDeleteKeyA(HKEY_CURRENT_USER, kBackupKey);
        RegDeleteKeyA(HKEY_CURRENT_USER, kBackupParent);
    }

    HtmRegistration(const HtmRegistration&) = delete;
    HtmRegistration& operator=(const HtmRegistration&) = delete;

    // ".htm" files are of kFileType, opened by the given command.
    void Register(const std::string& command) {
        SetDefaultValue(".htm", kFileType);
        SetDefaultValue(std::string(kFileType) + "\\shell\\open\\command", command);
    }
    void RemoveHtm() {
        RegDeleteTreeA(HKEY_CLASSES_ROOT, ".htm");
        RegDeleteKeyA(HKEY_CLASSES_ROOT, ".htm");
    }

private:
    bool m_bHadHtm = false;
};

// Moves HKCR\https aside while it lives (into HKCU, as the .htm backup), so that the shell
// cannot open https addresses; a copy left by a killed test is put back first.
class HiddenHttps {
public:
    HiddenHttps() {
        Restore();
        CRegistryKey https, backup;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, "https", 0, KEY_READ, https.Receive()) != ERROR_SUCCESS) return;
        RegCreateKeyExA(HKEY_CURRENT_USER, kHttpsBackupKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, backup.Receive(),
                        nullptr);
        if (RegCopyTreeA(https.Get(), nullptr, backup.Get()) != ERROR_SUCCESS) return;
        https.Close();
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "https");
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "https");
    }
    ~HiddenHttps() { Restore(); }
    HiddenHttps(const HiddenHttps&) = delete;
    HiddenHttps& operator=(const HiddenHttps&) = delete;

private:
    static void Restore() {
        CRegistryKey backup, https;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kHttpsBackupKey, 0, KEY_READ, backup.Receive()) != ERROR_SUCCESS) return;
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "https");
        RegCreateKeyExA(HKEY_CLASSES_ROOT, "https", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, https.Receive(), nullptr);
        if (RegCopyTreeA(backup.Get(), nullptr, https.Get()) != ERROR_SUCCESS) return;
        backup.Close();
        RegDeleteTreeA(HKEY_CURRENT_USER, kHttpsBackupKey);
        RegDeleteKeyA(HKEY_CURRENT_USER, kHttpsBackupKey);
    }
};

std::string InQuotes(const std::string& text) { return "\"" + text + "\""; }

class OpenLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetEnvironmentVariableA("UMBRIX_LINK_RECORDS", records.AnsiPath().c_str());
        char szSelf[MAX_PATH];
        GetModuleFileNameA(nullptr, szSelf, MAX_PATH);
        recorder = szSelf;
        recorder = recorder.substr(0, recorder.rfind('\\') + 1) + "link_recorder.exe";
        ASSERT_LE(ShellResult(kAddress), 32) << "the shell opened the test address after all";
    }

    std::string Quoted() const { return "\"" + recorder + "\""; }

    // What each recorder run wrote ("show N\n", its file, "\n" and its command line), once
    // count have ended, or after 10 s.
    std::vector<std::string> WaitForRecords(size_t count) {
        std::vector<std::string> found;
        for (int i = 0; i < 200; ++i) {
            found.clear();
            for (const std::wstring& name : records.Names())
                if (name.size() > 4 && name.substr(name.size() - 4) == L".txt") found.push_back(records.Contents(name));
            if (found.size() >= count) break;
            Sleep(50);
        }
        return found;
    }

    // The program file and command line of the one recorder that OpenLink started through the
    // registered command.
    std::pair<std::string, std::string> Started(const std::string& address, int nShowCmd = SW_SHOW) {
        int nResult = OpenLink(address.c_str(), nShowCmd);
        EXPECT_GT(nResult, 32);
        std::vector<std::string> found = WaitForRecords(1);
        if (found.size() != 1) return {"", "<" + std::to_string(found.size()) + " records>"};
        std::string prefix = "show " + std::to_string(nShowCmd) + "\n";
        EXPECT_EQ(found[0].substr(0, prefix.size()), prefix);
        size_t nFile = found[0].find('\n') + 1;
        size_t nLine = found[0].find('\n', nFile) + 1;
        return {found[0].substr(nFile, nLine - 1 - nFile), found[0].substr(nLine)};
    }
    std::string StartedCommandLine(const std::string& address, int nShowCmd = SW_SHOW) {
        return Started(address, nShowCmd).second;
    }

    HiddenHttps hidden;
    TempDirectory records;
    HtmRegistration htm;
    std::string recorder;
};

}  // namespace

TEST_F(OpenLinkTest, WhatTheShellOpensIsNotStartedAgainFromTheRegistry) {
    // Were the registered command used, it would fail with 2 instead of the shell's success.
    htm.Register("\"C:\\umbrix-missing\\browser.exe\" \"%1\"");
    SetDefaultValue("https\\shell\\open\\command", Quoted() + " \"%1\"");
    int nResult = OpenLink(kAddress, SW_SHOW);
    EXPECT_GT(nResult, 32);
    std::vector<std::string> found = WaitForRecords(1);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_NE(found[0].find("link_recorder.exe"), std::string::npos) << found[0];
    EXPECT_EQ(found[0].find("umbrix-missing"), std::string::npos) << found[0];
}

TEST_F(OpenLinkTest, OnlyWebAndMailAddressesArePassedOn) {
    htm.Register(Quoted() + " \"%1\"");
    SetDefaultValue("https\\shell\\open\\command", Quoted() + " \"%1\"");
    const std::vector<std::string> refused = {
        kNowhere, "file:///C:/windows/notepad.exe", recorder, "javascript:alert(1)", "https", ""};
    for (const std::string& address : refused)
        EXPECT_EQ(OpenLink(address.c_str(), SW_SHOW), SE_ERR_ACCESSDENIED) << address;
    EXPECT_TRUE(WaitForRecords(1).empty()) << "neither the shell nor the registered command started anything";
}

TEST_F(OpenLinkTest, TheSchemeIsRecognisedInAnyCase) {
    htm.Register(Quoted() + " \"%1\"");
    std::string address = "HTTPS://umbrix.example.invalid/";
    ASSERT_LE(ShellResult(address), 32);
    EXPECT_EQ(StartedCommandLine(address), Quoted() + "  " + InQuotes(address));
}

TEST_F(OpenLinkTest, TheAddressTakesThePlaceOfTheQuotedMarkerInQuotesAndTheShowCommandIsPassedOn) {
    htm.Register(Quoted() + " \"%1\" --after");
    EXPECT_EQ(StartedCommandLine(kAddress, SW_SHOWMINNOACTIVE), Quoted() + "  " + InQuotes(kAddress));
}

TEST_F(OpenLinkTest, AnAddressThatWouldLeaveItsQuotesStartsNothing) {
    htm.Register(Quoted() + " \"%1\"");
    const std::string base = std::string(kAddress) + "/";
    const std::vector<std::string> refused = {base + "a\" --evil \"b", base + "ende\\", base + "zeile\nzwei",
                                              base + "\t"};
    for (const std::string& address : refused) {
        ASSERT_LE(ShellResult(address), 32) << address;
        EXPECT_EQ(OpenLink(address.c_str(), SW_SHOW), ShellResult(address)) << address;
    }
    EXPECT_TRUE(WaitForRecords(1).empty());
    EXPECT_EQ(StartedCommandLine(base + "a\\b"), Quoted() + "  " + InQuotes(base + "a\\b")) << "an inner backslash";
}

// Unquoted, "<folder>\Link Programme\link recorder.exe" would start "<folder>\Link.exe".
TEST_F(OpenLinkTest, ARegisteredProgramPathWithBlanksStartsThatProgram) {
    TempDirectory programs;
    programs.AddDirectory(L"Link Programme");
    std::string folder = programs.AnsiPath();
    std::string program = folder + "\\Link Programme\\link recorder.exe";
    ASSERT_TRUE(CopyFileA(recorder.c_str(), program.c_str(), TRUE));
    ASSERT_TRUE(CopyFileA(recorder.c_str(), (folder + "\\Link.exe").c_str(), TRUE));
    htm.Register(program + " --url %1");
    auto [file, commandLine] = Started(kAddress);
    EXPECT_EQ(file, program);
    EXPECT_EQ(commandLine, InQuotes(program) + " --url  " + InQuotes(kAddress));
}

TEST_F(OpenLinkTest, ABareMarkerEndsTheCommandAndDropsWhatFollows) {
    htm.Register(Quoted() + " --open=%1 --more %1");
    EXPECT_EQ(StartedCommandLine(kAddress), Quoted() + " --open= " + InQuotes(kAddress));
}

TEST_F(OpenLinkTest, ABareMarkerBeforeAQuotedOneStaysInTheCommand) {
    htm.Register(Quoted() + " /a%1 \"%1\" tail");
    EXPECT_EQ(StartedCommandLine(kAddress), Quoted() + " /a%1  " + InQuotes(kAddress));
}

TEST_F(OpenLinkTest, ACommandWithoutMarkerGetsTheAddressAfterOneBlank) {
    htm.Register(Quoted() + " --fixed");
    EXPECT_EQ(StartedCommandLine(kAddress), Quoted() + " --fixed " + InQuotes(kAddress));
}

TEST_F(OpenLinkTest, AnEmptyCommandPutsABlankBeforeTheAddress) {
    // Wine's program start does not skip a leading blank and finds no program.
    htm.Register("");
    EXPECT_EQ(OpenLink(kAddress, SW_SHOW), ERROR_FILE_NOT_FOUND);
}

TEST_F(OpenLinkTest, AFailingProgramStartGivesItsOwnResult) {
    htm.Register("\"C:\\umbrix-missing\\browser.exe\" \"%1\"");
    EXPECT_EQ(OpenLink(kAddress, SW_SHOW), ERROR_FILE_NOT_FOUND);
}

TEST_F(OpenLinkTest, WithoutUsableRegistrationTheShellsResultIsReturned) {
    htm.Register(Quoted() + " \"%1\"");
    SetDefaultValue(".htm", "UmbrixTest.NoSuchType");
    EXPECT_EQ(OpenLink(kAddress, SW_SHOW), ShellResult(kAddress)) << "type without an open command";

    SetDefaultValue(".htm", kFileType);
    SetDefaultValue(std::string(kFileType) + "\\shell\\open\\command", Quoted() + std::string(300, 'x'));
    EXPECT_EQ(OpenLink(kAddress, SW_SHOW), ShellResult(kAddress)) << "command longer than 259 bytes";

    htm.RemoveHtm();
    EXPECT_EQ(OpenLink(kAddress, SW_SHOW), ShellResult(kAddress)) << "no .htm key";
}

TEST_F(OpenLinkTest, ACommandLineOf519CharactersIsStartedAndALongerOneIsNot) {
    htm.Register(Quoted() + " \"%1\"");
    std::string start = std::string(kAddress) + "/";
    size_t nRoom = 519 - (Quoted().size() + 2 + 2);
    std::string fits = start + std::string(nRoom - start.size(), 'a');
    std::string tooLong = fits + "a";
    ASSERT_LE(ShellResult(fits), 32);
    ASSERT_LE(ShellResult(tooLong), 32);

    // A started program would have given WinExec's success instead of the shell's failure.
    EXPECT_EQ(OpenLink(tooLong.c_str(), SW_SHOW), ShellResult(tooLong));
    std::string started = StartedCommandLine(fits);
    EXPECT_EQ(started.size(), 519u);
    EXPECT_EQ(started, Quoted() + "  " + InQuotes(fits));
}

TEST(ReadDefaultValueTest, CopiesTheValueAndMayReadTheKeyPathFromTheDestination) {
    HtmRegistration htm;
    htm.Register("\"C:\\browser.exe\" \"%1\"");
    char szBuffer[520] = "UmbrixTest.Page\\shell\\open\\command";
    EXPECT_EQ(ReadDefaultValue(HKEY_CLASSES_ROOT, szBuffer, szBuffer), ERROR_SUCCESS);
    EXPECT_STREQ(szBuffer, "\"C:\\browser.exe\" \"%1\"");
    EXPECT_EQ(ReadDefaultValue(HKEY_CLASSES_ROOT, ".htm", szBuffer), ERROR_SUCCESS);
    EXPECT_STREQ(szBuffer, kFileType);
}

TEST(ReadDefaultValueTest, AFailedReadLeavesTheDestinationAlone) {
    HtmRegistration htm;
    char szBuffer[520] = "untouched";
    EXPECT_EQ(ReadDefaultValue(HKEY_CLASSES_ROOT, "UmbrixTest.NoSuchType", szBuffer), ERROR_FILE_NOT_FOUND);
    EXPECT_STREQ(szBuffer, "untouched");

    SetDefaultValue(kFileType, std::string(260, 'v'));
    EXPECT_EQ(ReadDefaultValue(HKEY_CLASSES_ROOT, kFileType, szBuffer), ERROR_MORE_DATA);
    EXPECT_STREQ(szBuffer, "untouched");

    SetDefaultValue(kFileType, std::string(259, 'v'));
    EXPECT_EQ(ReadDefaultValue(HKEY_CLASSES_ROOT, kFileType, szBuffer), ERROR_SUCCESS);
    EXPECT_EQ(std::string(szBuffer), std::string(259, 'v'));
}

TEST(ShowOpenErrorTest, EachCodeShowsItsTextAfterThePrefixWithTheExclamationIcon) {
    const std::vector<std::pair<int, std::wstring>> cases = {
        {0, L"The operating system is out\nof memory or resources."},
        {2, L"The specified file was not found."},
        {3, L"The specified path was not found."},
        {5, L"The operating system denied\naccess to the specified file."},
        {8, L"There was not enough memory to complete the operation."},
        {11, L"The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
        {26, L"A sharing violation occurred. "},
        {27, L"The filename association is\nincomplete or invalid."},
        {28, L"The DDE transaction could not\nbe completed because the request timed out."},
        {29, L"The DDE transaction failed."},
        {30, L"The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed."},
        {31, L"There is no application associated\nwith the given filename extension."},
        {32, L"The specified dynamic-link library was not found."},
        {1, L"Unknown Error (1) occurred."},
        {-5, L"Unknown Error (-5) occurred."},
        {33, L"Unknown Error (33) occurred."},
    };
    for (const auto& [nCode, text] : cases) {
        MessageBoxRecorder boxes;
        ShowOpenError(nCode);
        ASSERT_EQ(boxes.Boxes().size(), 1u) << nCode;
        EXPECT_EQ(boxes.Texts()[0], L"Unable to open hyperlink:\n\n" + text) << nCode;
        EXPECT_EQ(boxes.Boxes()[0].flags, UINT(MB_OK | MB_ICONEXCLAMATION)) << nCode;
    }
}

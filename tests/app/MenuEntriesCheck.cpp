// Explorer's right-click menu entries as the installer registers them, worked as Explorer works
// them: the command read from the machine's classes, the folder put in for %1 or %V, the
// command line started as it stands, and the disk read back. Wine's shell does not run these
// verbs itself, so this program does; installer-test.sh runs it after a silent install.
#include <windows.h>

#include "filesystem/CUniqueHandle.h"
#include "tests/app/UmbrixProcess.h"
#include "tests/renaming/RunMessages.h"
#include "tests/support/NetworkShare.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/TestDrive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Names = std::vector<std::wstring>;

const wchar_t kFolderVerbs[] = L"Software\\Classes\\Directory\\shell\\";
const wchar_t kBackgroundVerbs[] = L"Software\\Classes\\Directory\\Background\\shell\\";

// A string value of HKLM's 64-bit view; "<missing>" when there is none.
std::wstring MachineValue(const std::wstring& key, const wchar_t* pszValue) {
    CRegistryKey hKey;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, hKey.Receive()) != ERROR_SUCCESS)
        return L"<missing>";
    wchar_t buffer[1024] = {};
    DWORD dwSize = sizeof(buffer) - sizeof(wchar_t);
    DWORD dwType = 0;
    if (RegQueryValueExW(hKey.Get(), pszValue, nullptr, &dwType, reinterpret_cast<BYTE*>(buffer), &dwSize) !=
            ERROR_SUCCESS ||
        dwType != REG_SZ)
        return L"<missing>";
    return buffer;
}

std::wstring InstallFolder() {
    return MachineValue(L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Umbrix", L"InstallLocation");
}

// What Explorer does with a verb's command: the folder in place of %1 (or %V), nothing else.
std::wstring PutIn(std::wstring command, const wchar_t* pszPlaceholder, const std::wstring& folder) {
    size_t at = command.find(pszPlaceholder);
    if (at != std::wstring::npos) command.replace(at, 2, folder);
    return command;
}

// Starts the verb's command on the folder as Explorer would and answers the end box.
std::wstring RunVerb(const std::wstring& verbKey, const wchar_t* pszPlaceholder, const std::wstring& folder,
                     DWORD& dwExitCode) {
    std::wstring command = PutIn(MachineValue(verbKey + L"\\command", nullptr), pszPlaceholder, folder);
    UmbrixProcess umbrix(UmbrixProcess::CommandLine{command}, folder);
    if (!umbrix.Started()) return L"not started: " + command;
    HWND hBox = WaitForMessageBox(umbrix.Id());
    std::wstring text = hBox ? AnswerMessageBox(hBox) : L"no end box";
    dwExitCode = umbrix.WaitForExit();
    return text;
}

}  // namespace

TEST(MenuEntries, BothVerbsForFoldersAndBackgroundsCallTheInstalledProgramWithItsIcon) {
    std::wstring program = InstallFolder() + L"\\umbrix.exe";
    ASSERT_NE(InstallFolder(), L"<missing>") << "Umbrix is not installed";
    const struct {
        const wchar_t* key;
        const wchar_t* text;
        const wchar_t* arguments;
    } verbs[] = {
        {L"UmbrixKlein", L"Dateinamen in Kleinbuchstaben", L" /klein "},
        {L"UmbrixGross", L"Dateinamen in Gro\u00DFbuchstaben", L" /gross "},
    };
    for (const auto& verb : verbs) {
        for (const wchar_t* base : {kFolderVerbs, kBackgroundVerbs}) {
            std::wstring key = base + std::wstring(verb.key);
            const wchar_t* placeholder = base == kFolderVerbs ? L"\"%1\"" : L"\"%V\"";
            EXPECT_EQ(MachineValue(key, nullptr), verb.text) << Utf8(key);
            EXPECT_EQ(MachineValue(key, L"Icon"), program + L",0") << Utf8(key);
            EXPECT_EQ(MachineValue(key + L"\\command", nullptr), L"\"" + program + L"\"" + verb.arguments + placeholder)
                << Utf8(key);
        }
    }
}

// A folder named with blanks and in three scripts, through the folder entry (lower case) and
// the background entry (upper case); a drive's root and a network path through the background.
TEST(MenuEntries, StartedAsExplorerStartsThemTheyRenameTheFolder) {
    TempDirectory dir;
    const std::wstring sub = L"Mein Ordner \u03A9 \u65E5\u672C";
    dir.AddDirectory(sub);
    for (const wchar_t* name : {L"Brief.DOC", L"\u00C4rger.Txt"}) dir.AddFile(sub + L"\\" + name);
    dir.AddDirectory(sub + L"\\Archiv");
    const std::wstring folder = dir.Path() + L"\\" + sub;

    DWORD dwExitCode = STILL_ACTIVE;
    EXPECT_EQ(RunVerb(kFolderVerbs + std::wstring(L"UmbrixKlein"), L"%1", folder, dwExitCode), kLowerDone);
    EXPECT_EQ(dwExitCode, 0u);
    EXPECT_EQ(dir.Names(sub), (Names{L"Archiv", L"brief.doc", L"\u00E4rger.txt"}));

    EXPECT_EQ(RunVerb(kBackgroundVerbs + std::wstring(L"UmbrixGross"), L"%V", folder, dwExitCode), kUpperDone);
    EXPECT_EQ(dwExitCode, 0u);
    EXPECT_EQ(dir.Names(sub), (Names{L"Archiv", L"BRIEF.DOC", L"\u00C4RGER.TXT"}));

    TestDrive drive;
    TempDirectory root(drive.Root());
    root.AddFile(L"Karte.JPG");
    EXPECT_EQ(RunVerb(kBackgroundVerbs + std::wstring(L"UmbrixKlein"), L"%V", drive.Root(), dwExitCode), kLowerDone);
    EXPECT_EQ(dwExitCode, 0u);
    EXPECT_EQ(root.Names(), Names{L"karte.jpg"});

    TempDirectory shared;
    shared.AddDirectory(L"Fotos");
    shared.AddFile(L"Fotos\\Urlaub.JPG");
    NetworkShare share(shared.Path());
    EXPECT_EQ(RunVerb(kFolderVerbs + std::wstring(L"UmbrixGross"), L"%1", share.Path() + L"\\Fotos", dwExitCode),
              kUpperDone);
    EXPECT_EQ(dwExitCode, 0u);
    EXPECT_EQ(shared.Names(L"Fotos"), Names{L"URLAUB.JPG"});
}

// Explorer's cascading menu "Umbrix" as the installer registers it, worked as Explorer works
// it: the command read from the machine's classes, the folder put in for %1 or %V, the command
// line started as it stands, and the disk read back. Wine's shell does not run these
// verbs itself, so this program does; installer-test.sh runs it after a silent install.
#include <windows.h>

#include "filesystem/CUniqueHandle.h"
#include "tests/app/UmbrixProcess.h"
#include "tests/renaming/RunMessages.h"
#include "tests/support/NetworkShare.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/TestDrive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::wstring>;

// Where Explorer shows the cascade, and how it puts the folder in.
struct Place {
    const wchar_t* key;
    const wchar_t* placeholder;
};
const Place kFolders{L"Software\\Classes\\Directory\\shell\\Umbrix", L"%1"};
const Place kBackgrounds{L"Software\\Classes\\Directory\\Background\\shell\\Umbrix", L"%V"};
const Place kDrives{L"Software\\Classes\\Drive\\shell\\Umbrix", L"%1"};
const Place kPlaces[] = {kFolders, kBackgrounds, kDrives};

// The cascade's entries, in their order; a new entry is one more line here.
struct Entry {
    const wchar_t* key;
    const wchar_t* text;
    const wchar_t* arguments;  // "{}" stands for the folder, as the placeholder in quotes
};
const Entry kLower{L"1klein", L"Dateinamen in Kleinbuchstaben", L"/klein {}"};
const Entry kUpper{L"2gross", L"Dateinamen in Gro\u00DFbuchstaben", L"/gross {}"};
const Entry kExtensions{L"3endung", L"Dateiendungen in Kleinbuchstaben", L"/klein /endung {}"};
const Entry kUndo{L"9rueckgaengig", L"Letzte Umbenennung r\u00FCckg\u00E4ngig machen", L"/rueckgaengig"};
const Entry kEntries[] = {kLower, kUpper, kExtensions, kUndo};

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

// The names of a key's subkeys, sorted as Explorer orders the cascade's entries.
Names Subkeys(const std::wstring& key) {
    CRegistryKey hKey;
    Names names;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, hKey.Receive()) != ERROR_SUCCESS)
        return names;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD nLength = 256;
        if (RegEnumKeyExW(hKey.Get(), i, name, &nLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, nLength);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::wstring InstallFolder() {
    return MachineValue(L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Umbrix", L"InstallLocation");
}

std::wstring Arguments(const Entry& entry, const std::wstring& folder) {
    std::wstring arguments = entry.arguments;
    size_t at = arguments.find(L"{}");
    if (at != std::wstring::npos) arguments.replace(at, 2, L"\"" + folder + L"\"");
    return arguments;
}

// What Explorer does with an entry's command: the folder in place of %1 (or %V), nothing else.
std::wstring CommandFor(const Place& place, const Entry& entry, const std::wstring& folder) {
    std::wstring command = MachineValue(std::wstring(place.key) + L"\\shell\\" + entry.key + L"\\command", nullptr);
    size_t at = command.find(place.placeholder);
    if (at != std::wstring::npos) command.replace(at, 2, folder);
    return command;
}

// Starts an entry's command on the folder as Explorer would and answers the end box.
std::wstring RunEntry(const Place& place, const Entry& entry, const std::wstring& folder, DWORD& dwExitCode) {
    std::wstring command = CommandFor(place, entry, folder);
    UmbrixProcess umbrix(UmbrixProcess::CommandLine{command}, folder);
    if (!umbrix.Started()) return L"not started: " + command;
    HWND hBox = WaitForMessageBox(umbrix.Id());
    std::wstring text = hBox ? AnswerMessageBox(hBox) : L"no end box";
    dwExitCode = umbrix.WaitForExit();
    return text;
}

}  // namespace

// One cascade "Umbrix" with the program's icon on folders, backgrounds and drives, holding
// exactly the entries of the table, each calling the installed program.
TEST(MenuEntries, OneCascadeOnFoldersBackgroundsAndDrivesCallsTheInstalledProgram) {
    ASSERT_NE(InstallFolder(), L"<missing>") << "Umbrix is not installed";
    std::wstring program = InstallFolder() + L"\\umbrix.exe";
    Names keys;
    for (const Entry& entry : kEntries) keys.push_back(entry.key);
    for (const Place& place : kPlaces) {
        SCOPED_TRACE(Utf8(place.key));
        EXPECT_EQ(MachineValue(place.key, L"MUIVerb"), L"Umbrix");
        EXPECT_EQ(MachineValue(place.key, L"Icon"), program + L",0");
        EXPECT_EQ(MachineValue(place.key, L"SubCommands"), L"");
        EXPECT_EQ(Subkeys(std::wstring(place.key) + L"\\shell"), keys);
        for (const Entry& entry : kEntries) {
            std::wstring key = std::wstring(place.key) + L"\\shell\\" + entry.key;
            EXPECT_EQ(MachineValue(key, L"MUIVerb"), entry.text);
            EXPECT_EQ(MachineValue(key + L"\\command", nullptr),
                      L"\"" + program + L"\" " + Arguments(entry, place.placeholder));
        }
    }
}

// A folder named with blanks and in three scripts, through the folder entry (lower case) and
// the background entry (upper case); a drive's root through the drive entry, as Explorer hands
// it over ("M:\"); a network path; and the last run taken back through its entry, after "Ja".
TEST(MenuEntries, StartedAsExplorerStartsThemTheyRenameAndTakeBack) {
    TempDirectory dir;
    const std::wstring sub = L"Mein Ordner \u03A9 \u65E5\u672C";
    dir.AddDirectory(sub);
    for (const wchar_t* name : {L"Brief.DOC", L"\u00C4rger.Txt"}) dir.AddFile(sub + L"\\" + name);
    dir.AddDirectory(sub + L"\\Archiv");
    const std::wstring folder = dir.Path() + L"\\" + sub;

    DWORD dwExitCode = STILL_ACTIVE;
    EXPECT_EQ(RunEntry(kFolders, kLower, folder, dwExitCode), kLowerDone);
    EXPECT_EQ(dwExitCode, 0u);
    EXPECT_EQ(dir.Names(sub), (Names{L"Archiv", L"brief.doc", L"\u00E4rger.txt"}));

    EXPECT_EQ(RunEntry(kBackgrounds, kUpper, folder, dwExitCode), kUpperDone);
    EXPECT_EQ(dwExitCode, 0u);
    EXPECT_EQ(dir.Names(sub), (Names{L"Archiv", L"BRIEF.DOC", L"\u00C4RGER.TXT"}));

    // The last run taken back: the question first, then the end box.
    {
        UmbrixProcess undo(UmbrixProcess::CommandLine{CommandFor(kFolders, kUndo, folder)}, folder);
        HWND hQuestion = WaitForMessageBox(undo.Id());
        ASSERT_NE(hQuestion, nullptr);
        EXPECT_EQ(AnswerMessageBox(hQuestion, IDYES).rfind(L"Die letzte Umbenennung r\u00FCckg\u00E4ngig machen?", 0),
                  0u);
        for (int i = 0; i < 1000 && IsWindow(hQuestion); ++i) Sleep(10);
        HWND hEnd = WaitForMessageBox(undo.Id());
        ASSERT_NE(hEnd, nullptr);
        EXPECT_EQ(AnswerMessageBox(hEnd), L"Ok, alle Dateien haben ihre fr\u00FCheren Namen zur\u00FCck.");
        EXPECT_EQ(undo.WaitForExit(), 0u);
        EXPECT_EQ(dir.Names(sub), (Names{L"Archiv", L"brief.doc", L"\u00E4rger.txt"}));
    }

    // Only the extensions: the names before them keep their case.
    dir.AddDirectory(L"Endungen");
    for (const wchar_t* name : {L"Bericht.PDF", L"Foto.Urlaub.JpEg", L"README"})
        dir.AddFile(L"Endungen\\" + std::wstring(name));
    EXPECT_EQ(RunEntry(kFolders, kExtensions, dir.Path() + L"\\Endungen", dwExitCode),
              L"Ok, alle Dateiendungen in Kleinbuchstaben umbenannt.");
    EXPECT_EQ(dwExitCode, 0u);
    EXPECT_EQ(dir.Names(L"Endungen"), (Names{L"Bericht.pdf", L"Foto.Urlaub.jpeg", L"README"}));

    TestDrive drive;
    TempDirectory root(drive.Root());
    root.AddFile(L"Karte.JPG");
    ASSERT_EQ(drive.Root().back(), L'\\');  // "M:\", the form Explorer's %1 has for a drive
    EXPECT_EQ(RunEntry(kDrives, kLower, drive.Root(), dwExitCode), kLowerDone);
    EXPECT_EQ(dwExitCode, 0u);
    EXPECT_EQ(root.Names(), Names{L"karte.jpg"});

    TempDirectory shared;
    shared.AddDirectory(L"Fotos");
    shared.AddFile(L"Fotos\\Urlaub.JPG");
    NetworkShare share(shared.Path());
    EXPECT_EQ(RunEntry(kFolders, kUpper, share.Path() + L"\\Fotos", dwExitCode), kUpperDone);
    EXPECT_EQ(dwExitCode, 0u);
    EXPECT_EQ(shared.Names(L"Fotos"), Names{L"URLAUB.JPG"});
}

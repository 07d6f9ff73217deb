// A DLL planted beside the program, under the name of a system DLL that the common controls
// load, must never be loaded; the control program, which imports the common controls the
// ordinary way, shows that the planted DLL is loaded where the search is not restricted in time.
#include <windows.h>

#include "filesystem/CUniqueHandle.h"
#include "platform/DllSearch.h"
#include "tests/support/Observations.h"
#include "tests/support/TempDirectory.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The folder of this test program (<build>\tests\app), which holds the planted DLL and the
// control program.
std::wstring TestFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.erase(folder.find_last_of(L"\\/"));
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Wine prefers a DLL of that name from the search path over its own in the named program while
// this lives, as a system would that has no copy of its own in a protected place. (Wine takes
// WINEDLLOVERRIDES from the environment it was started with, not from a Windows parent's.)
class NativeOverride {
public:
    NativeOverride(const std::wstring& program, const std::wstring& dll)
        : m_key(L"Software\\Wine\\AppDefaults\\" + program) {
        CRegistryKey key;
        std::wstring order = L"native,builtin";
        m_bSet = RegCreateKeyExW(HKEY_CURRENT_USER, (m_key + L"\\DllOverrides").c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                 nullptr, key.Receive(), nullptr) == ERROR_SUCCESS &&
                 RegSetValueExW(key.Get(), dll.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(order.c_str()),
                                static_cast<DWORD>((order.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    ~NativeOverride() { RegDeleteTreeW(HKEY_CURRENT_USER, m_key.c_str()); }
    NativeOverride(const NativeOverride&) = delete;
    NativeOverride& operator=(const NativeOverride&) = delete;

    bool Set() const { return m_bSet; }

private:
    std::wstring m_key;
    bool m_bSet = false;
};

struct WindowSearch {
    DWORD nProcessId;
    HWND hFound = nullptr;
};

BOOL CALLBACK MatchMainDialog(HWND hWnd, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD nProcessId = 0;
    GetWindowThreadProcessId(hWnd, &nProcessId);
    if (nProcessId == search->nProcessId && IsWindowVisible(hWnd) && WideWindowText(hWnd) == L"Umbrix")
        search->hFound = hWnd;
    return search->hFound == nullptr;
}

// A copy of a program in a folder of its own, with the planted DLL beside it as uxtheme.dll
// (which the common controls load by name).
class PlantedFolder {
public:
    explicit PlantedFolder(const std::wstring& program) {
        m_program = m_folder.Path() + L"\\" + program.substr(program.find_last_of(L"\\/") + 1);
        m_planted = m_folder.Path() + L"\\uxtheme.dll";
        m_bReady = CopyFileW(program.c_str(), m_program.c_str(), TRUE) &&
                   CopyFileW((TestFolder() + L"\\planted.dll").c_str(), m_planted.c_str(), TRUE);
    }

    bool Ready() const { return m_bReady; }
    bool PlantedDllWasLoaded() const { return Exists(m_planted + L".loaded"); }

    // Starts the copy in its own folder (also its current directory) and returns the process.
    CKernelHandle Start(const std::wstring& arguments) const {
        std::wstring commandLine = L"\"" + m_program + L"\" " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(m_program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            m_folder.Path().c_str(), &startup, &process))
            return CKernelHandle();
        CloseHandle(process.hThread);
        m_nProcessId = process.dwProcessId;
        return CKernelHandle(process.hProcess);
    }

    // The started program's main dialog once it shows; null after 10 s.
    HWND WaitForMainDialog() const {
        for (int i = 0; i < 1000; ++i) {
            WindowSearch search{m_nProcessId};
            EnumWindows(&MatchMainDialog, reinterpret_cast<LPARAM>(&search));
            if (search.hFound) return search.hFound;
            Sleep(10);
        }
        return nullptr;
    }

private:
    TempDirectory m_folder;
    std::wstring m_program;
    std::wstring m_planted;
    bool m_bReady = false;
    mutable DWORD m_nProcessId = 0;
};

DWORD ExitCodeWithin10Seconds(const CKernelHandle& process) {
    if (WaitForSingleObject(process.Get(), 10000) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD nCode = STILL_ACTIVE;
    GetExitCodeProcess(process.Get(), &nCode);
    return nCode;
}

}  // namespace

TEST(DllPlanting, TheProgramRunsWithoutLoadingADllPlantedBesideIt) {
    NativeOverride override(L"umbrix.exe", L"uxtheme");
    PlantedFolder folder(TestFolder() + L"\\..\\..\\umbrix.exe");
    ASSERT_TRUE(override.Set() && folder.Ready());
    CKernelHandle process = folder.Start(L"/nologo");
    ASSERT_TRUE(process);
    // The main dialog is made of the common controls, so they (and uxtheme) have loaded by now.
    HWND hDialog = folder.WaitForMainDialog();
    EXPECT_NE(hDialog, nullptr) << "the program's main dialog did not show";
    if (hDialog) PostMessageW(hDialog, WM_COMMAND, IDCANCEL, 0);
    if (ExitCodeWithin10Seconds(process) == STILL_ACTIVE) TerminateProcess(process.Get(), 9);
    EXPECT_FALSE(folder.PlantedDllWasLoaded());
}

// The control program, started with pszArguments beside the planted DLL, ends normally and
// has loaded that DLL.
void ExpectControlProgramLoadsThePlantedDll(const wchar_t* pszArguments) {
    NativeOverride override(L"dll_search_control.exe", L"uxtheme");
    PlantedFolder folder(TestFolder() + L"\\dll_search_control.exe");
    ASSERT_TRUE(override.Set() && folder.Ready());
    CKernelHandle process = folder.Start(pszArguments);
    ASSERT_TRUE(process);
    EXPECT_EQ(ExitCodeWithin10Seconds(process), 0u);
    EXPECT_TRUE(folder.PlantedDllWasLoaded());
}

TEST(DllPlanting, AProgramThatImportsTheCommonControlsLoadsIt) { ExpectControlProgramLoadsThePlantedDll(L""); }

// What the restriction alone gives: the imports of the program's own file load before WinMain.
TEST(DllPlanting, RestrictingTheSearchInWinMainComesTooLateForTheImports) {
    ExpectControlProgramLoadsThePlantedDll(L"restrict");
}

// Restricts this test process for good: the tests above start programs of their own.
TEST(DllSearchRestriction, ADllBesideTheProgramIsFoundByPathOnly) {
    std::wstring planted = TestFolder() + L"\\planted.dll";
    ASSERT_TRUE(Exists(planted));
    {
        CLibraryHandle found(LoadLibraryW(L"planted.dll"));
        EXPECT_TRUE(found) << "before the restriction the program's folder is searched";
    }
    EXPECT_EQ(AfxRestrictDllSearch(), DllSearch::SystemFolderOnly);
    SetLastError(0);
    CLibraryHandle byName(LoadLibraryW(L"planted.dll"));
    EXPECT_FALSE(byName);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    CLibraryHandle byPath(LoadLibraryW(planted.c_str()));
    EXPECT_TRUE(byPath);
    CLibraryHandle system(LoadLibraryW(L"version.dll"));
    EXPECT_TRUE(system) << "a system DLL is still found by name";
}

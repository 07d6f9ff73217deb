// The program's own texts as the window system holds them, read back as UTF-16. The build runs
// this program once under each ANSI code page the program must read right on (see
// tests/app/CMakeLists.txt); UMBRIX_TEST_CODE_PAGE names the one this run was started for.
#include "app/CSplashWindow.h"
#include "app/CUmbrixDlg.h"
#include "platform/AfxModuleState.h"
#include "res/resource.h"
#include "tests/app/ScriptedUser.h"
#include "tests/support/Observations.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/TestDrive.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::wstring>;

// Names outside code page 1252 stay out of the assertions, whose text is also compiled as a
// string of that code page.
const std::wstring kFileName = L"Папка.txt";
const std::wstring kFileNameUpper = L"ПАПКА.TXT";
// In code page 932 its second byte is a backslash: byte-wise path splitting would break it.
const std::wstring kFolderName = L"表";

UINT RequestedCodePage() {
    const char* requested = std::getenv("UMBRIX_TEST_CODE_PAGE");
    return requested ? static_cast<UINT>(std::strtoul(requested, nullptr, 10)) : 1252;
}

bool IsStatic(HWND hWnd) {
    wchar_t name[16] = {};
    GetClassNameW(hWnd, name, 16);
    return lstrcmpiW(name, L"Static") == 0;
}

// An icon's window text is the resource reference of its picture, not a text.
bool IsIcon(HWND hWnd) { return IsStatic(hWnd) && (GetWindowLongW(hWnd, GWL_STYLE) & SS_TYPEMASK) == SS_ICON; }

// The texts of a window's children in their order, without icons and empty texts.
Texts ChildTexts(HWND hWnd) {
    Texts texts;
    for (HWND hChild = GetWindow(hWnd, GW_CHILD); hChild; hChild = GetWindow(hChild, GW_HWNDNEXT)) {
        std::wstring text = WideWindowText(hChild);
        if (!text.empty() && !IsIcon(hChild)) texts.push_back(text);
    }
    return texts;
}

// A message box's text: its one static text (its buttons speak the system's language).
std::wstring BoxText(HWND hBox) {
    for (HWND hChild = GetWindow(hBox, GW_CHILD); hChild; hChild = GetWindow(hChild, GW_HWNDNEXT))
        if (IsStatic(hChild) && !IsIcon(hChild) && !WideWindowText(hChild).empty()) return WideWindowText(hChild);
    return std::wstring();
}

std::wstring ItemText(HWND hDlg, int nID) { return WideWindowText(GetDlgItem(hDlg, nID)); }

std::wstring LastSystemMenuItem(HWND hWnd) {
    HMENU hMenu = GetSystemMenu(hWnd, FALSE);
    wchar_t item[64] = {};
    GetMenuStringW(hMenu, GetMenuItemCount(hMenu) - 1, item, 64, MF_BYPOSITION);
    return item;
}

}  // namespace

TEST(CodePage, TheRunHasTheAnsiCodePageOfItsLocale) { EXPECT_EQ(GetACP(), RequestedCodePage()); }

// Main dialog, its system menu, the About box, the directory dialog and the rename run's boxes
// (the platform's own message boxes, not a test seam): every text exactly as written. The
// first run is in a folder chosen in the tree by its name, which no narrow code page but 932
// and 936 can spell.
TEST(CodePage, EveryDialogAndBoxShowsItsGermanTextExactly) {
    TestDrive emptyDrive;  // a root without entries: the run finds no files
    TempDirectory dir;
    dir.AddDirectory(kFolderName);
    const std::wstring chosen = dir.Path() + L"\\" + kFolderName;
    TempDirectory(chosen).AddFilesOnLinux({kFileName, kFileNameUpper});  // one's upper case is the other
    ASSERT_TRUE(SetCurrentDirectoryW(dir.Path().c_str()));
    const std::wstring boxCaption = AfxToWide(AfxGetAppName());

    CSplashWindow::SetAllowed(FALSE);
    CUmbrixDlg dlg;
    AfxGetThread()->m_pMainWnd = &dlg;
    ScriptedUser user;
    Texts boxTexts;
    auto answerBox = [&](HWND hBox) {
        boxTexts.push_back(BoxText(hBox));
        ClickButton(hBox, IDOK);
    };
    user.When(L"Umbrix", [&](HWND hDlg) {
        EXPECT_EQ(ChildTexts(hDlg), (Texts{L"Ende", L"in kleine Dateinamen", L"in große Dateinamen", L"&Rückgängig",
                                           L"Alle Dateien in dem gewählten Verzeichnis werden umbenannt ",
                                           L"https://umbrix.example.org"}));
        EXPECT_EQ(LastSystemMenuItem(hDlg), L"Inf&o über Umbrix...");
        PostMessageW(hDlg, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    });
    user.When(L"Info über Umbrix", [&](HWND hAbout) {
        EXPECT_EQ(ChildTexts(hAbout),
                  (Texts{L"Umbrix, Version 1.0 by Umbrix team", L"© 2026 Umbrix team - Freeware", L"OK",
                         L"https://umbrix.example.org", L"NSIS 3.08 (Nullsoft Scriptable Install System)",
                         L"(C) Nullsoft and Contributors, https://nsis.sourceforge.io",
                         L"Modern UI 2 (C) NSIS contributors"}));
        ClickButton(hAbout, IDOK);
    });
    user.When(L"Umbrix", [](HWND hDlg) { ClickButton(hDlg, IDC_TO_UPPER_CASE); });
    user.When(L"Verzeichnis Auswahl:", [&](HWND hDirDlg) {
        EXPECT_EQ(ItemText(hDirDlg, IDOK), L"OK");
        EXPECT_EQ(ItemText(hDirDlg, IDCANCEL), L"Abbruch");
        EXPECT_EQ(ItemText(hDirDlg, IDC_DIRECTORY_PATH), dir.Path());
        EXPECT_TRUE(DoubleClickSubdirectory(hDirDlg, IDC_DIRECTORY_TREE, kFolderName));
    });
    user.When(L"Verzeichnis Auswahl:", [&](HWND hDirDlg) {
        EXPECT_EQ(ItemText(hDirDlg, IDC_DIRECTORY_PATH), chosen);
        ClickButton(hDirDlg, IDOK);
    });
    user.When(boxCaption, answerBox);
    user.When(L"Umbrix", [](HWND hDlg) { ClickButton(hDlg, IDC_TO_LOWER_CASE); });
    user.When(L"Verzeichnis Auswahl:", [&](HWND hDirDlg) {
        EXPECT_EQ(ItemText(hDirDlg, IDC_DIRECTORY_PATH), chosen);  // where the last run was
        SetWindowTextW(GetDlgItem(hDirDlg, IDC_DIRECTORY_PATH), emptyDrive.Root().c_str());
        ClickButton(hDirDlg, IDOK);
    });
    user.When(boxCaption, answerBox);
    user.When(L"Umbrix", [](HWND hDlg) { ClickButton(hDlg, IDCANCEL); });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(user.Finished()) << "never saw: " << ::testing::PrintToString(user.Pending());
    AfxGetThread()->m_pMainWnd = nullptr;

    EXPECT_EQ(boxTexts,
              (Texts{L"Nicht alle Dateien wurden umbenannt. Diese Dateien behalten ihren Namen:\n" + kFileName,
                     L"Keine Dateien im gewählten Verzeichnis!"}));
    EXPECT_EQ(dir.Names(kFolderName), (Texts{kFileNameUpper, kFileName}));
    SetCurrentDirectoryW(L"C:\\");
}

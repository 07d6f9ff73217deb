#include "app/CSplashWindow.h"
#include "app/CUmbrixApp.h"
#include "app/CUmbrixDlg.h"
#include "filesystem/CurrentDirectory.h"
#include "res/resource.h"
#include "tests/app/ScriptedUser.h"
#include "tests/renaming/RunMessages.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/Observations.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/TestDrive.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

const std::wstring kMainCaption = L"Umbrix";
const std::wstring kAboutCaption = L"Info über Umbrix";
const std::wstring kDirectoryCaption = L"Verzeichnis Auswahl:";

std::wstring PathField(HWND hDirectoryDlg) { return WideWindowText(GetDlgItem(hDirectoryDlg, IDC_DIRECTORY_PATH)); }

CRect WindowRect(HWND hWnd) {
    CRect rect;
    GetWindowRect(hWnd, &rect);
    return rect;
}

CPoint Centre(const CRect& rect) { return CPoint((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2); }

// Centres differ by at most a pixel (odd differences of size are split by truncation).
bool SameCentre(const CRect& a, const CRect& b) {
    return std::abs(Centre(a).x - Centre(b).x) <= 1 && std::abs(Centre(a).y - Centre(b).y) <= 1;
}

// Runs the dialog with the script; fails the test when a step never came.
INT_PTR RunScripted(CDialog& dlg, ScriptedUser& user) {
    INT_PTR result = dlg.DoModal();
    EXPECT_TRUE(user.Finished()) << "never saw: " << user.Pending();
    return result;
}

}  // namespace

TEST(MainDialog, MinimisedIconIsCentredWithSignedRounding) {
    EXPECT_EQ(CUmbrixDlg::IconPosition(CRect(0, 0, 36, 36), 32, 32).x, 2);
    EXPECT_EQ(CUmbrixDlg::IconPosition(CRect(0, 0, 20, 20), 32, 32).x, -5);  // -11 / 2 truncates
    CPoint odd = CUmbrixDlg::IconPosition(CRect(10, 5, 47, 42), 32, 32);     // width 37: 6 / 2
    EXPECT_EQ(odd.x, 3);
    EXPECT_EQ(odd.y, 3);
    EXPECT_EQ(CUmbrixDlg::IconPosition(CRect(0, 0, 160, 28), 32, 32).y, -1);  // -3 / 2
}

TEST(MainDialog, SystemMenuFocusIconsAndTheAboutCommands) {
    CUmbrixDlg dlg;
    AfxGetThread()->m_pMainWnd = &dlg;  // as start-up does: the About box's owner
    ScriptedUser user;
    int aboutOpenings = 0;
    user.When(kMainCaption, [&](HWND hDlg) {
        HMENU hMenu = GetSystemMenu(hDlg, FALSE);
        int count = GetMenuItemCount(hMenu);
        ASSERT_GE(count, 3);
        EXPECT_TRUE(GetMenuState(hMenu, count - 2, MF_BYPOSITION) & MF_SEPARATOR);
        EXPECT_EQ(GetMenuItemID(hMenu, count - 1), static_cast<UINT>(IDM_ABOUTBOX));
        wchar_t item[64] = {};
        GetMenuStringW(hMenu, count - 1, item, 64, MF_BYPOSITION);
        EXPECT_STREQ(item, L"Inf&o über Umbrix...");

        EXPECT_EQ(GetFocus(), GetDlgItem(hDlg, IDCANCEL));
        HWND next = GetNextDlgTabItem(hDlg, GetDlgItem(hDlg, IDCANCEL), FALSE);
        EXPECT_EQ(next, GetDlgItem(hDlg, IDC_TO_LOWER_CASE));
        EXPECT_EQ(GetNextDlgTabItem(hDlg, next, FALSE), GetDlgItem(hDlg, IDC_TO_UPPER_CASE));

        auto icon = reinterpret_cast<LPARAM>(dlg.m_hIcon);
        EXPECT_NE(icon, 0);
        // Caption and task bar get the icons drawn for the window's DPI (sizes: the DPI test).
        EXPECT_EQ(SendMessageA(hDlg, WM_GETICON, ICON_BIG, 0), reinterpret_cast<LPARAM>(dlg.m_icons.GetBig()));
        EXPECT_EQ(SendMessageA(hDlg, WM_GETICON, ICON_SMALL, 0), reinterpret_cast<LPARAM>(dlg.m_icons.GetSmall()));
        EXPECT_NE(dlg.m_icons.GetBig(), dlg.m_icons.GetSmall());
        EXPECT_EQ(SendMessageA(hDlg, WM_QUERYDRAGICON, 0, 0), icon);
        // The four low bits are the platform's: 16 and 31 are both the About command.
        PostMessageA(hDlg, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    });
    auto closeAbout = [&](HWND hAbout) {
        ++aboutOpenings;
        EXPECT_EQ(GetWindow(hAbout, GW_OWNER), dlg.m_hWnd);
        EXPECT_TRUE(SameCentre(WindowRect(hAbout), WindowRect(dlg.m_hWnd)));
        EXPECT_NE(CWnd::FromHandlePermanent(GetDlgItem(hAbout, IDC_ABOUT_WEB_LINK)), nullptr);
        ClickButton(hAbout, IDOK);
    };
    user.When(kAboutCaption, [&](HWND hAbout) {
        closeAbout(hAbout);
        dlg.PostMessage(WM_SYSCOMMAND, IDM_ABOUTBOX + 15);
    });
    user.When(kAboutCaption, [&](HWND hAbout) {
        closeAbout(hAbout);
        // Any other command is the platform's: minimise, paint the icon, restore.
        dlg.PostMessage(WM_SYSCOMMAND, SC_MINIMIZE);
    });
    user.When(kMainCaption, [&](HWND hDlg) {
        EXPECT_TRUE(IsIconic(hDlg));
        RedrawWindow(hDlg, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        SendMessageA(hDlg, WM_SYSCOMMAND, SC_RESTORE, 0);
        EXPECT_FALSE(IsIconic(hDlg));
        SendMessageA(hDlg, WM_SYSCOMMAND, IDM_ABOUTBOX + 16, 0);  // 32: not the About command
        EXPECT_EQ(aboutOpenings, 2);
        dlg.PostMessage(WM_SYSCOMMAND, SC_CLOSE);
    });
    EXPECT_EQ(RunScripted(dlg, user), IDCANCEL);
    EXPECT_EQ(aboutOpenings, 2);
}

TEST(MainDialog, CaseButtonsRenameOnlyAfterOkAndTheNextDialogOpensWhereTheLastRunWas) {
    TempDirectory dir;
    dir.AddFile(L"Alpha.TXT");
    dir.AddDirectory(L"Sub");
    dir.AddFile(L"Sub\\Beta.Txt");
    const std::wstring sub = dir.Path() + L"\\Sub";
    ASSERT_TRUE(SetCurrentDirectoryW(dir.Path().c_str()));

    MessageBoxRecorder boxes;
    CUmbrixDlg dlg;
    ScriptedUser user;
    user.When(kMainCaption, [](HWND hDlg) { ClickButton(hDlg, IDC_TO_LOWER_CASE); });
    user.When(kDirectoryCaption, [&](HWND hDirDlg) {
        EXPECT_EQ(PathField(hDirDlg), dir.Path());
        ClickButton(hDirDlg, IDCANCEL);
        dlg.PostMessage(WM_NULL);
    });
    user.When(kMainCaption, [&](HWND hDlg) {
        EXPECT_TRUE(boxes.Boxes().empty());
        EXPECT_EQ(dir.Names(), (std::vector<std::wstring>{L"Alpha.TXT", L"Sub"}));
        ClickButton(hDlg, IDC_TO_UPPER_CASE);
    });
    user.When(kDirectoryCaption, [&](HWND hDirDlg) {
        // The user's choice as the dialog hands it over: the path field.
        SetWindowTextW(GetDlgItem(hDirDlg, IDC_DIRECTORY_PATH), sub.c_str());
        ClickButton(hDirDlg, IDOK);
    });
    user.When(kMainCaption, [&](HWND hDlg) {
        EXPECT_EQ(dir.Names(L"Sub"), std::vector<std::wstring>{L"BETA.TXT"});
        EXPECT_EQ(dir.Names(), (std::vector<std::wstring>{L"Alpha.TXT", L"Sub"}));
        ClickButton(hDlg, IDC_TO_LOWER_CASE);
    });
    user.When(kDirectoryCaption, [&](HWND hDirDlg) {
        EXPECT_EQ(PathField(hDirDlg), sub);
        ClickButton(hDirDlg, IDOK);
    });
    user.When(kMainCaption, [&](HWND hDlg) {
        EXPECT_EQ(dir.Names(L"Sub"), std::vector<std::wstring>{L"beta.txt"});
        ClickButton(hDlg, IDCANCEL);  // "Ende"
    });
    EXPECT_EQ(RunScripted(dlg, user), IDCANCEL);
    EXPECT_EQ(boxes.Texts(), (std::vector<std::wstring>{L"Ok, alle Dateien in GROSSBUCHSTABEN umbenannt.",
                                                        L"Ok, alle Dateien in kleinbuchstaben umbenannt."}));
    EXPECT_EQ(WideCurrentDirectory(), sub);
    SetCurrentDirectoryW(dir.Path().c_str());
    SetCurrentDirectoryA("C:\\");
}

TEST(MainDialog, ClosingBeforeTheSplashTimerTakesTheSplashAlong) {
    CSplashWindow::SetAllowed(TRUE);
    CUmbrixDlg dlg;
    ScriptedUser user;
    bool splashSeen = false;
    user.When(kMainCaption, [&](HWND hDlg) {
        CSplashWindow* pSplash = CSplashWindow::s_instance;
        splashSeen = pSplash && GetWindow(pSplash->m_hWnd, GW_OWNER) == hDlg;
        PostMessageA(hDlg, WM_KEYDOWN, VK_ESCAPE, 1);
        PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1);
    });
    EXPECT_EQ(RunScripted(dlg, user), IDCANCEL);
    EXPECT_TRUE(splashSeen);
    EXPECT_EQ(CSplashWindow::s_instance, nullptr);
    CSplashWindow::SetAllowed(FALSE);
}

TEST(Application, StartUpRunsTheMainDialogAsMainWindowAndEndsWithFalse) {
    CUmbrixApp app;
    CSplashWindow::SetAllowed(FALSE);
    ScriptedUser user;
    bool mainWindowWasTheDialog = false;
    bool splashShown = false;
    CRect main;
    CRect splash;
    user.When(kMainCaption, [&](HWND hDlg) {
        CWnd* pMain = AfxGetThread()->GetMainWnd();
        mainWindowWasTheDialog = pMain && pMain->m_hWnd == hDlg;
        // This test program's command line has no /nologo: the splash is allowed.
        splashShown = CSplashWindow::s_instance != nullptr;
        main = WindowRect(hDlg);
        if (splashShown) splash = WindowRect(CSplashWindow::s_instance->m_hWnd);
        ClickButton(hDlg, IDCANCEL);
    });
    EXPECT_FALSE(app.InitInstance());
    EXPECT_TRUE(user.Finished());
    EXPECT_TRUE(mainWindowWasTheDialog);
    EXPECT_TRUE(splashShown);
    // The main dialog opens in the middle of the screen, and the splash over it.
    CRect area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_TRUE(SameCentre(main, area));
    EXPECT_TRUE(PtInRect(&main, Centre(splash)));
    EXPECT_TRUE(CSplashWindow::s_allowed);
    EXPECT_EQ(app.GetMainWnd(), nullptr);
    EXPECT_EQ(CSplashWindow::s_instance, nullptr);
    CSplashWindow::SetAllowed(FALSE);
}

// "\u03A9mega" has no character of code page 1252 for its first letter: a path made of the
// tree's narrow labels would read "?mega" and name nothing, a best fit "Omega" the wrong folder.
TEST(MainDialog, AFolderNamedOutsideTheCodePageIsChosenInTheTreeAndItsFilesRenamed) {
    ASSERT_EQ(GetACP(), 1252u);
    TempDirectory dir;
    dir.AddDirectory(L"\u03A9mega");
    dir.AddFile(L"\u03A9mega\\Brief.TXT");
    dir.AddFile(L"\u03A9mega\\\u03A3\u03B7\u03BC\u03B5\u03AF\u03C9\u03C3\u03B7.Doc");  // "Σημείωση.Doc"
    dir.AddDirectory(L"Omega");
    dir.AddFile(L"Omega\\Bleibt.TXT");
    const std::wstring omega = dir.Path() + L"\\\u03A9mega";
    ASSERT_TRUE(SetCurrentDirectoryW(dir.Path().c_str()));

    MessageBoxRecorder boxes;
    CUmbrixDlg dlg;
    ScriptedUser user;
    user.When(kMainCaption, [](HWND hDlg) { ClickButton(hDlg, IDC_TO_LOWER_CASE); });
    user.When(kDirectoryCaption, [&](HWND hDirDlg) {
        EXPECT_TRUE(DoubleClickSubdirectory(hDirDlg, IDC_DIRECTORY_TREE, L"\u03A9mega"))
            << "the tree does not show it as itself";
    });
    user.When(kDirectoryCaption, [&](HWND hDirDlg) {
        EXPECT_EQ(PathField(hDirDlg), omega);
        ClickButton(hDirDlg, IDOK);
    });
    user.When(kMainCaption, [&](HWND hDlg) {
        EXPECT_EQ(dir.Names(L"\u03A9mega"),
                  (std::vector<std::wstring>{L"brief.txt", L"\u03C3\u03B7\u03BC\u03B5\u03AF\u03C9\u03C3\u03B7.doc"}));
        EXPECT_EQ(dir.Names(L"Omega"), std::vector<std::wstring>{L"Bleibt.TXT"});
        ClickButton(hDlg, IDC_TO_UPPER_CASE);
    });
    user.When(kDirectoryCaption, [&](HWND hDirDlg) {
        EXPECT_EQ(PathField(hDirDlg), omega);  // the next dialog opens where the run was
        ClickButton(hDirDlg, IDOK);
    });
    user.When(kMainCaption, [&](HWND hDlg) {
        EXPECT_EQ(dir.Names(L"\u03A9mega"),
                  (std::vector<std::wstring>{L"BRIEF.TXT", L"\u03A3\u0397\u039C\u0395\u038A\u03A9\u03A3\u0397.DOC"}));
        ClickButton(hDlg, IDCANCEL);
    });
    EXPECT_EQ(RunScripted(dlg, user), IDCANCEL);
    EXPECT_EQ(boxes.Texts(), (std::vector<std::wstring>{kLowerDone, kUpperDone}));
    EXPECT_EQ(AfxGetCurrentDirectory(), omega);
    AfxSetCurrentDirectory(L"C:\\");
}

// Folders deeper than 260 and than 1,024 characters, chosen by double-clicks from the drive's
// root down: each is renamed in, and the next directory dialog opens at it. The process's own
// current directory never goes deeper than 259 characters.
TEST(MainDialog, ChainsPast260And1024CharactersAreChosenByDoubleClicksRenamedAndTheNextDialogOpensThere) {
    TestDrive drive;
    TempDirectory disk(drive.Root());
    std::vector<std::wstring> components;
    std::wstring relative;
    auto growPast = [&](size_t length) {
        while (drive.Root().size() + relative.size() <= length) {
            components.push_back(L"Ebene " + std::to_wstring(components.size()) + L" " + std::wstring(90, L'e'));
            relative += (relative.empty() ? L"" : L"\\") + components.back();
            disk.AddDirectory(relative);
        }
        disk.AddFile(relative + L"\\Tief.TXT");
        return drive.Root() + relative;
    };
    const std::wstring past260 = growPast(260);
    const size_t n260 = components.size();
    const std::wstring past1024 = growPast(1024);
    ASSERT_TRUE(SetCurrentDirectoryW(drive.Root().c_str()));
    auto goDown = [&](HWND hDirDlg, size_t from, size_t to) {
        for (size_t i = from; i < to; ++i)
            ASSERT_TRUE(DoubleClickSubdirectory(hDirDlg, IDC_DIRECTORY_TREE, components[i])) << "level " << i;
    };

    MessageBoxRecorder boxes;
    CUmbrixDlg dlg;
    ScriptedUser user;
    user.When(kMainCaption, [](HWND hDlg) { ClickButton(hDlg, IDC_TO_LOWER_CASE); });
    user.When(kDirectoryCaption, [&](HWND hDirDlg) { goDown(hDirDlg, 0, n260); });
    user.When(kDirectoryCaption, [&](HWND hDirDlg) {
        EXPECT_EQ(PathField(hDirDlg), past260);
        ClickButton(hDirDlg, IDOK);
    });
    user.When(kMainCaption, [&](HWND hDlg) {
        EXPECT_EQ(disk.Names(past260.substr(3)).back(), L"tief.txt");
        EXPECT_LT(WideCurrentDirectory().size(), 260u);
        ClickButton(hDlg, IDC_TO_UPPER_CASE);
    });
    user.When(kDirectoryCaption, [&](HWND hDirDlg) {
        EXPECT_EQ(PathField(hDirDlg), past260);  // opens where the last run was
        goDown(hDirDlg, n260, components.size());
    });
    user.When(kDirectoryCaption, [&](HWND hDirDlg) {
        EXPECT_EQ(PathField(hDirDlg), past1024);
        ClickButton(hDirDlg, IDOK);
    });
    user.When(kMainCaption, [&](HWND hDlg) {
        EXPECT_EQ(disk.Names(past1024.substr(3)), std::vector<std::wstring>{L"TIEF.TXT"});
        EXPECT_EQ(disk.Names(past260.substr(3)).back(), L"tief.txt");  // only the chosen one
        ClickButton(hDlg, IDC_TO_LOWER_CASE);
    });
    user.When(kDirectoryCaption, [&](HWND hDirDlg) {
        EXPECT_EQ(PathField(hDirDlg), past1024);
        ClickButton(hDirDlg, IDCANCEL);
        dlg.PostMessage(WM_NULL);
    });
    user.When(kMainCaption, [](HWND hDlg) { ClickButton(hDlg, IDCANCEL); });
    EXPECT_EQ(RunScripted(dlg, user), IDCANCEL);
    EXPECT_EQ(boxes.Texts(), (std::vector<std::wstring>{kLowerDone, kUpperDone}));
    EXPECT_GT(past1024.size(), 1024u);
    EXPECT_LT(WideCurrentDirectory().size(), 260u);
    AfxSetCurrentDirectory(L"C:\\");
}

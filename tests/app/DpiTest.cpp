// Run at 96 and at 144 DPI (the prefix's LogPixels, set by wine-run --dpi): the tree's folder
// pictures and the splash come at the sizes drawn for the screen, never stretched.
#include "app/CSplashWindow.h"
#include "dirselect/CDirectoryDlg.h"
#include "res/resource.h"
#include "tests/app/ScriptedUser.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

struct Expected {
    UINT dpi;
    int folder, splashWidth, splashHeight;
};

// What each screen must get: the small-icon size, and the splash drawn nearest the DPI.
Expected ExpectedHere() {
    const char* requested = std::getenv("UMBRIX_TEST_DPI");
    UINT dpi = requested ? static_cast<UINT>(std::atoi(requested)) : 96;
    return dpi == 144 ? Expected{144, 24, 780, 476} : Expected{96, 16, 520, 317};
}

}  // namespace

TEST(Dpi, TheScreenIsAtTheRequestedDpi) { EXPECT_EQ(AfxGetSystemDpi(), ExpectedHere().dpi); }

TEST(Dpi, PictureChoicesForEveryScale) {
    EXPECT_EQ(CSplashWindow::SplashPictureFor(96), static_cast<UINT>(IDB_SPLASH));
    EXPECT_EQ(CSplashWindow::SplashPictureFor(120), static_cast<UINT>(IDB_SPLASH_150));
    EXPECT_EQ(CSplashWindow::SplashPictureFor(144), static_cast<UINT>(IDB_SPLASH_150));
    EXPECT_EQ(CSplashWindow::SplashPictureFor(192), static_cast<UINT>(IDB_SPLASH_200));
    EXPECT_EQ(CDirectoryDlg::FolderPictureSize(96), 16);
    EXPECT_EQ(CDirectoryDlg::FolderPictureSize(120), 20);
    EXPECT_EQ(CDirectoryDlg::FolderPictureSize(144), 24);
    EXPECT_EQ(CDirectoryDlg::FolderPictureSize(192), 32);
}

TEST(Dpi, TreePicturesAtTheSmallIconSize) {
    Expected expected = ExpectedHere();
    CDirectoryDlg dlg;
    ScriptedUser user;
    user.When(L"Verzeichnis Auswahl:", [&](HWND hDlg) {
        HWND hTree = GetDlgItem(hDlg, IDC_DIRECTORY_TREE);
        auto hList = reinterpret_cast<HIMAGELIST>(SendMessageA(hTree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
        int cx = 0, cy = 0;
        ASSERT_TRUE(ImageList_GetIconSize(hList, &cx, &cy));
        EXPECT_EQ(cx, expected.folder);
        EXPECT_EQ(cy, expected.folder);
        EXPECT_EQ(ImageList_GetImageCount(hList), 4);
        PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(user.Finished());
}

TEST(Dpi, SplashDrawnForTheScreenCentredOverItsOwner) {
    Expected expected = ExpectedHere();
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, AfxRegisterWndClass(0), "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 80, 800, 600,
                               nullptr, nullptr));
    CSplashWindow::SetAllowed(TRUE);
    CSplashWindow::ShowSplash(&owner);
    ASSERT_NE(CSplashWindow::s_instance, nullptr);
    RECT splash{}, over{};
    GetWindowRect(CSplashWindow::s_instance->m_hWnd, &splash);
    GetWindowRect(owner.m_hWnd, &over);
    EXPECT_EQ(splash.right - splash.left, expected.splashWidth);
    EXPECT_EQ(splash.bottom - splash.top, expected.splashHeight);
    EXPECT_LE(std::abs((splash.left + splash.right) - (over.left + over.right)), 1);
    EXPECT_LE(std::abs((splash.top + splash.bottom) - (over.top + over.bottom)), 1);
    CSplashWindow::s_instance->DestroyWindow();
    CSplashWindow::SetAllowed(FALSE);
    owner.DestroyWindow();
}

// Run at 96 and at 144 DPI (the prefix's LogPixels, set by wine-run --dpi): pictures and icons
// come at the sizes drawn for the screen, never stretched; every dialog text fits its control;
// and a move to a screen of another DPI (WM_DPICHANGED, which Wine never sends: the tests send
// it) takes the suggested rectangle and draws everything again at the new size.
#include "app/CInfoDlg.h"
#include "app/CSplashWindow.h"
#include "app/CUmbrixDlg.h"
#include "dirselect/CDirectoryDlg.h"
#include "dirselect/CRenameListDlg.h"
#include "dirselect/FileCountText.h"
#include "res/resource.h"
#include "tests/app/ScriptedUser.h"
#include "tests/support/Observations.h"
#include "tests/support/TempDirectory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

struct Expected {
    UINT dpi;
    int folder, splashWidth, splashHeight, bigIcon, smallIcon;
};

const Expected kAt96{96, 16, 520, 317, 32, 16};
const Expected kAt144{144, 24, 780, 476, 48, 24};

// What each screen must get: the icon sizes, the small-icon size for the folders, and the splash
// drawn nearest the DPI.
Expected ExpectedHere() {
    const char* requested = std::getenv("UMBRIX_TEST_DPI");
    UINT dpi = requested ? static_cast<UINT>(std::atoi(requested)) : 96;
    return dpi == 144 ? kAt144 : kAt96;
}

// The DPI change the tests play: to the other of the two screens.
Expected ExpectedAfterChange() { return ExpectedHere().dpi == 96 ? kAt144 : kAt96; }

const std::wstring kMainCaption = L"Umbrix";
const std::wstring kAboutCaption = L"Info \u00FCber Umbrix";
const std::wstring kDirectoryCaption = L"Verzeichnis Auswahl:";

SIZE IconSize(HICON hIcon) {
    ICONINFO info{};
    if (!hIcon || !GetIconInfo(hIcon, &info)) return SIZE{};
    BITMAP bm{};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return SIZE{bm.bmWidth, info.hbmColor ? bm.bmHeight : bm.bmHeight / 2};
}

std::string ClassName(HWND hWnd) {
    char name[32] = {};
    GetClassNameA(hWnd, name, sizeof name);
    return name;
}

DWORD Style(HWND hWnd) { return static_cast<DWORD>(GetWindowLongA(hWnd, GWL_STYLE)); }

bool IsIconStatic(HWND hWnd) { return ClassName(hWnd) == "Static" && (Style(hWnd) & SS_TYPEMASK) == SS_ICON; }

std::vector<HWND> Children(HWND hDlg) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(hDlg, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

// Every icon static of the dialog shows an icon of exactly that size, in a control of that size.
void ExpectIconStatics(HWND hDlg, int size) {
    int count = 0;
    for (HWND child : Children(hDlg)) {
        if (!IsIconStatic(child)) continue;
        ++count;
        SIZE icon = IconSize(reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0)));
        EXPECT_EQ(icon.cx, size);
        EXPECT_EQ(icon.cy, size);
        RECT client{};
        GetClientRect(child, &client);
        EXPECT_EQ(client.right, size) << "the icon static is stretched or cut";
        EXPECT_EQ(client.bottom, size);
    }
    EXPECT_EQ(count, 1);
}

void ExpectWindowIcons(HWND hDlg, const Expected& expected) {
    SIZE big = IconSize(reinterpret_cast<HICON>(SendMessageA(hDlg, WM_GETICON, ICON_BIG, 0)));
    SIZE small = IconSize(reinterpret_cast<HICON>(SendMessageA(hDlg, WM_GETICON, ICON_SMALL, 0)));
    EXPECT_EQ(big.cx, expected.bigIcon);
    EXPECT_EQ(big.cy, expected.bigIcon);
    EXPECT_EQ(small.cx, expected.smallIcon);
    EXPECT_EQ(small.cy, expected.smallIcon);
}

// The text as the control draws it, measured in the control's own font.
RECT TextRect(HWND hWnd, UINT nFormat) {
    std::wstring text = WideWindowText(hWnd);
    RECT needed{};
    HDC hDC = GetDC(hWnd);
    HGDIOBJ old = SelectObject(hDC, reinterpret_cast<HGDIOBJ>(SendMessageA(hWnd, WM_GETFONT, 0, 0)));
    DrawTextW(hDC, text.c_str(), -1, &needed, DT_CALCRECT | DT_SINGLELINE | nFormat);
    SelectObject(hDC, old);
    ReleaseDC(hWnd, hDC);
    return needed;
}

// Each static's and button's text fits its control on one line: a static's whole client area, a
// push button's inside its frame, a group box's caption between the frame's corners.
void ExpectNoClippedText(HWND hDlg, UINT dpi) {
    int checked = 0;
    for (HWND child : Children(hDlg)) {
        std::string kind = ClassName(child);
        if ((kind != "Static" && kind != "Button") || IsIconStatic(child) || WindowText(child).empty()) continue;
        ++checked;
        SCOPED_TRACE("\"" + WindowText(child) + "\"");
        DWORD style = Style(child);
        bool noPrefix = kind == "Static" && (style & SS_NOPREFIX);
        RECT needed = TextRect(child, noPrefix ? DT_NOPREFIX : 0);
        RECT room{};
        GetClientRect(child, &room);
        if (kind == "Button" && (style & BS_TYPEMASK) == BS_GROUPBOX)
            InflateRect(&room, -AfxScaleForDpi(8, dpi), 0);
        else if (kind == "Button" && (style & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
            room.left += AfxScaleForDpi(16, dpi);  // the circle, and the gap after it
        else if (kind == "Button")
            InflateRect(&room, -3, -3);
        EXPECT_LE(needed.right, room.right - room.left);
        EXPECT_LE(needed.bottom, room.bottom - room.top);
    }
    EXPECT_GE(checked, 4);
}

// A link label shows its text in an underlined copy of the dialog's font, at exactly its size.
void ExpectLinkFits(HWND hDlg, int nID) {
    HWND hLink = GetDlgItem(hDlg, nID);
    LOGFONTW link{}, dialog{};
    GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageA(hLink, WM_GETFONT, 0, 0)), sizeof link, &link);
    GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageA(hDlg, WM_GETFONT, 0, 0)), sizeof dialog, &dialog);
    EXPECT_TRUE(link.lfUnderline);
    EXPECT_EQ(link.lfHeight, dialog.lfHeight);
    EXPECT_STREQ(link.lfFaceName, dialog.lfFaceName);
    RECT needed = TextRect(hLink, DT_NOPREFIX);
    RECT client{};
    GetClientRect(hLink, &client);
    EXPECT_EQ(client.right, needed.right);
    EXPECT_EQ(client.bottom, needed.bottom);
}

// The rectangle the system would suggest for a move to the other screen: shifted, scaled.
RECT SuggestedRect(HWND hWnd, const Expected& from, const Expected& to) {
    RECT now{};
    GetWindowRect(hWnd, &now);
    int cx = MulDiv(now.right - now.left, static_cast<int>(to.dpi), static_cast<int>(from.dpi));
    int cy = MulDiv(now.bottom - now.top, static_cast<int>(to.dpi), static_cast<int>(from.dpi));
    return RECT{now.left + 10, now.top + 20, now.left + 10 + cx, now.top + 20 + cy};
}

void SendDpiChange(HWND hWnd, const Expected& to, const RECT& suggested) {
    SendMessageA(hWnd, WM_DPICHANGED, MAKEWPARAM(to.dpi, to.dpi), reinterpret_cast<LPARAM>(&suggested));
}

void ExpectWindowAt(HWND hWnd, const RECT& expected) {
    RECT now{};
    GetWindowRect(hWnd, &now);
    EXPECT_EQ((std::vector<LONG>{now.left, now.top, now.right, now.bottom}),
              (std::vector<LONG>{expected.left, expected.top, expected.right, expected.bottom}));
}

SIZE TreePictureSize(HWND hDirDlg) {
    HWND hTree = GetDlgItem(hDirDlg, IDC_DIRECTORY_TREE);
    auto hList = reinterpret_cast<HIMAGELIST>(SendMessageA(hTree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
    int cx = 0, cy = 0;
    EXPECT_TRUE(ImageList_GetIconSize(hList, &cx, &cy));
    EXPECT_EQ(ImageList_GetImageCount(hList), 4);
    return SIZE{cx, cy};
}

class MainWindowScope {
public:
    explicit MainWindowScope(CWnd* pWnd) { AfxGetThread()->m_pMainWnd = pWnd; }
    ~MainWindowScope() { AfxGetThread()->m_pMainWnd = nullptr; }
};

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
    EXPECT_EQ((std::vector<int>{CWindowIcons::BigSize(96), CWindowIcons::BigSize(120), CWindowIcons::BigSize(144),
                                CWindowIcons::BigSize(192)}),
              (std::vector<int>{32, 40, 48, 64}));
    EXPECT_EQ((std::vector<int>{CWindowIcons::SmallSize(96), CWindowIcons::SmallSize(120), CWindowIcons::SmallSize(144),
                                CWindowIcons::SmallSize(192)}),
              (std::vector<int>{16, 20, 24, 32}));
}

TEST(Dpi, DirectoryDialogPicturesAtTheScreensSizeAndAgainAfterADpiChange) {
    Expected here = ExpectedHere(), after = ExpectedAfterChange();
    CDirectoryDlg dlg;
    ScriptedUser user;
    user.When(kDirectoryCaption, [&](HWND hDlg) {
        SIZE folder = TreePictureSize(hDlg);
        EXPECT_EQ(folder.cx, here.folder);
        EXPECT_EQ(folder.cy, here.folder);
        ExpectIconStatics(hDlg, here.bigIcon);

        RECT suggested = SuggestedRect(hDlg, here, after);
        SendDpiChange(hDlg, after, suggested);
        ExpectWindowAt(hDlg, suggested);
        folder = TreePictureSize(hDlg);
        EXPECT_EQ(folder.cx, after.folder);
        EXPECT_EQ(folder.cy, after.folder);
        ExpectIconStatics(hDlg, after.bigIcon);
        // The tree still shows its items, now with the new pictures.
        HWND hTree = GetDlgItem(hDlg, IDC_DIRECTORY_TREE);
        EXPECT_NE(SendMessageA(hTree, TVM_GETNEXTITEM, TVGN_CARET, 0), 0);
        EXPECT_GE(SendMessageA(hTree, TVM_GETITEMHEIGHT, 0, 0), after.folder);
        PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(user.Finished());
}

// The list's three columns share its width and each heading fits its column, in the header's
// own font; after a move to the other screen the columns are laid out for its DPI.
void ExpectColumnsFit(HWND hListDlg, UINT dpi) {
    HWND hList = GetDlgItem(hListDlg, IDC_RENAME_LIST);
    HWND hHeader = reinterpret_cast<HWND>(SendMessageW(hList, LVM_GETHEADER, 0, 0));
    ASSERT_NE(hHeader, nullptr);
    RECT client{};
    GetClientRect(hList, &client);
    HDC hDC = GetDC(hHeader);
    HGDIOBJ old = SelectObject(hDC, reinterpret_cast<HGDIOBJ>(SendMessageW(hHeader, WM_GETFONT, 0, 0)));
    const wchar_t* const headings[] = {L"Jetziger Name", L"Neuer Name", L"Hinweis"};
    int total = 0;
    for (int nColumn = 0; nColumn < 3; ++nColumn) {
        wchar_t text[64] = {};
        HDITEMW item{};
        item.mask = HDI_TEXT;
        item.pszText = text;
        item.cchTextMax = 64;
        SendMessageW(hHeader, HDM_GETITEMW, static_cast<WPARAM>(nColumn), reinterpret_cast<LPARAM>(&item));
        EXPECT_STREQ(text, headings[nColumn]);
        RECT needed{};
        DrawTextW(hDC, text, -1, &needed, DT_CALCRECT | DT_SINGLELINE);
        int cx = static_cast<int>(SendMessageW(hList, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(nColumn), 0));
        EXPECT_LE(needed.right + AfxScaleForDpi(12, dpi), cx) << Utf8(text);  // the header's margins
        total += cx;
    }
    SelectObject(hDC, old);
    ReleaseDC(hHeader, hDC);
    // All three in view beside the vertical scroll bar, and no room left over.
    EXPECT_EQ(total, client.right - AfxGetSystemMetricForDpi(SM_CXVSCROLL, dpi));
}

TEST(Dpi, RenameListsTextsAndColumnsFitAtTheScreensDpiAndAgainAfterADpiChange) {
    Expected here = ExpectedHere(), after = ExpectedAfterChange();
    TempDirectory dir;
    dir.AddFile(L"Rechnung.PDF");
    CRenameListDlg dlg(CaseDirection::Lower, dir.Path());
    ScriptedUser user;
    user.When(L"Liste der Umbenennungen", [&](HWND hDlg) {
        ExpectColumnsFit(hDlg, here.dpi);
        SetDlgItemTextW(hDlg, IDC_RENAME_LIST_STATUS,
                        L"999.999 Dateien, davon 999.999 umzubenennen, 999.999 davon behalten ihren Namen");
        ExpectNoClippedText(hDlg, here.dpi);
        RECT suggested = SuggestedRect(hDlg, here, after);
        SendDpiChange(hDlg, after, suggested);
        ExpectWindowAt(hDlg, suggested);
        ExpectColumnsFit(hDlg, after.dpi);
        PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(user.Finished());
}

// The status line's longest text, broken into lines as the static control breaks it, fits
// its two lines at the screen's DPI; so does every label's text.
TEST(Dpi, DirectoryDialogsStatusLineFitsItsLongestText) {
    RunPreview longest;
    longest.bListed = true;
    longest.nFiles = longest.nToRename = longest.nKeepingName = 999999;
    std::wstring text = AfxToWide(FileCountText(CaseDirection::Upper, longest));
    ASSERT_EQ(text, L"999.999 Dateien, davon 999.999 umzubenennen, 999.999 davon behalten ihren Namen");
    CDirectoryDlg dlg(CaseDirection::Upper);
    ScriptedUser user;
    user.When(kDirectoryCaption, [&](HWND hDlg) {
        HWND hLine = GetDlgItem(hDlg, IDC_FILE_COUNT);
        ASSERT_NE(hLine, nullptr);
        SetWindowTextW(hLine, text.c_str());
        RECT room{};
        GetClientRect(hLine, &room);
        RECT needed = room;
        HDC hDC = GetDC(hLine);
        HGDIOBJ old = SelectObject(hDC, reinterpret_cast<HGDIOBJ>(SendMessageA(hLine, WM_GETFONT, 0, 0)));
        DrawTextW(hDC, text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        TEXTMETRICW metrics{};
        GetTextMetricsW(hDC, &metrics);
        SelectObject(hDC, old);
        ReleaseDC(hLine, hDC);
        EXPECT_LE(needed.right, room.right);
        EXPECT_LE(needed.bottom, room.bottom);
        EXPECT_GT(needed.bottom, metrics.tmHeight) << "the test's text was meant to take both lines";
        SetWindowTextW(hLine, L"");
        ExpectNoClippedText(hDlg, ExpectedHere().dpi);
        PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(user.Finished());
}

TEST(Dpi, SplashDrawnForTheScreenCentredOverItsOwnerAndAgainAfterADpiChange) {
    Expected here = ExpectedHere(), after = ExpectedAfterChange();
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, AfxRegisterWndClass(0), "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 80, 800, 600,
                               nullptr, nullptr));
    CSplashWindow::SetAllowed(TRUE);
    CSplashWindow::ShowSplash(&owner);
    ASSERT_NE(CSplashWindow::s_instance, nullptr);
    HWND hSplash = CSplashWindow::s_instance->m_hWnd;
    RECT splash{}, over{};
    GetWindowRect(hSplash, &splash);
    GetWindowRect(owner.m_hWnd, &over);
    EXPECT_EQ(splash.right - splash.left, here.splashWidth);
    EXPECT_EQ(splash.bottom - splash.top, here.splashHeight);
    EXPECT_LE(std::abs((splash.left + splash.right) - (over.left + over.right)), 1);
    EXPECT_LE(std::abs((splash.top + splash.bottom) - (over.top + over.bottom)), 1);

    // The suggested rectangle scales the window; the picture drawn for the new DPI has its own
    // size and is centred on it.
    RECT suggested = SuggestedRect(hSplash, here, after);
    SendDpiChange(hSplash, after, suggested);
    GetWindowRect(hSplash, &splash);
    EXPECT_EQ(splash.right - splash.left, after.splashWidth);
    EXPECT_EQ(splash.bottom - splash.top, after.splashHeight);
    EXPECT_LE(std::abs((splash.left + splash.right) - (suggested.left + suggested.right)), 1);
    EXPECT_LE(std::abs((splash.top + splash.bottom) - (suggested.top + suggested.bottom)), 1);
    BITMAP bm{};
    CSplashWindow::s_instance->m_splashBitmap.GetBitmap(&bm);
    EXPECT_EQ(bm.bmWidth, after.splashWidth);

    CSplashWindow::s_instance->DestroyWindow();
    CSplashWindow::SetAllowed(FALSE);
    owner.DestroyWindow();
}

TEST(Dpi, MainDialogAndAboutBoxShowIconsAtTheScreensSizeWithNoTextClipped) {
    Expected here = ExpectedHere();
    CUmbrixDlg dlg;
    MainWindowScope mainWindow(&dlg);
    ScriptedUser user;
    user.When(kMainCaption, [&](HWND hDlg) {
        ExpectIconStatics(hDlg, here.bigIcon);
        ExpectWindowIcons(hDlg, here);
        ExpectLinkFits(hDlg, IDC_WEB_LINK);
        ExpectNoClippedText(hDlg, here.dpi);
        PostMessageA(hDlg, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    });
    user.When(kAboutCaption, [&](HWND hAbout) {
        ExpectIconStatics(hAbout, here.bigIcon);
        ExpectLinkFits(hAbout, IDC_ABOUT_WEB_LINK);
        ExpectNoClippedText(hAbout, here.dpi);
        ClickButton(hAbout, IDOK);
        dlg.PostMessage(WM_SYSCOMMAND, SC_CLOSE);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(user.Finished()) << "never saw: " << user.Pending();
}

// Windows gives a dialog that moved to another screen a font for the new DPI and hands it to
// the controls; the link label must then show that font with its underline, fit it, and keep
// its pointer and tooltip. The test plays the system's part with a font scaled by hand.
TEST(Dpi, DpiChangeRedrawsTheMainDialogsIconsAndTheLinkTakesTheNewFont) {
    Expected here = ExpectedHere(), after = ExpectedAfterChange();
    CFont scaledFont;  // outlives the dialog that uses it
    CUmbrixDlg dlg;
    ScriptedUser user;
    user.When(kMainCaption, [&](HWND hDlg) {
        LOGFONTW scaled{};
        GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageA(hDlg, WM_GETFONT, 0, 0)), sizeof scaled, &scaled);
        scaled.lfHeight = MulDiv(scaled.lfHeight, static_cast<int>(after.dpi), static_cast<int>(here.dpi));
        EXPECT_TRUE(scaledFont.CreateFontIndirect(&scaled));
        HWND hLink = GetDlgItem(hDlg, IDC_WEB_LINK);
        RECT before{};
        GetClientRect(hLink, &before);
        SendMessageA(hLink, WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<HFONT>(scaledFont)), FALSE);

        RECT suggested = SuggestedRect(hDlg, here, after);
        SendDpiChange(hDlg, after, suggested);
        ExpectWindowAt(hDlg, suggested);
        ExpectIconStatics(hDlg, after.bigIcon);
        ExpectWindowIcons(hDlg, after);

        LOGFONTW link{};
        GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageA(hLink, WM_GETFONT, 0, 0)), sizeof link, &link);
        EXPECT_TRUE(link.lfUnderline);
        EXPECT_EQ(link.lfHeight, scaled.lfHeight);
        RECT needed = TextRect(hLink, DT_NOPREFIX);
        RECT now{};
        GetClientRect(hLink, &now);
        EXPECT_EQ(now.right, needed.right);
        EXPECT_EQ(now.bottom, needed.bottom);
        EXPECT_NE(now.bottom, before.bottom) << "the label kept the height of the old font";

        wchar_t tipText[80] = {};
        TOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = hLink;
        tool.uId = 1;
        tool.lpszText = tipText;
        EXPECT_TRUE(dlg.m_link.GetToolTip().SendMessage(TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)));
        EXPECT_EQ((std::vector<LONG>{tool.rect.left, tool.rect.top, tool.rect.right, tool.rect.bottom}),
                  (std::vector<LONG>{0, 0, now.right, now.bottom}));
        EXPECT_NE(dlg.m_link.GetHoverCursor(), nullptr);
        EXPECT_TRUE(
            SendMessageA(hLink, WM_SETCURSOR, reinterpret_cast<WPARAM>(hLink), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
        EXPECT_EQ(GetCursor(), dlg.m_link.GetHoverCursor());
        ClickButton(hDlg, IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(user.Finished()) << "never saw: " << user.Pending();
}

TEST(Dpi, DpiChangeRedrawsTheAboutBoxsIcon) {
    Expected here = ExpectedHere(), after = ExpectedAfterChange();
    CInfoDlg dlg;
    ScriptedUser user;
    user.When(kAboutCaption, [&](HWND hAbout) {
        RECT suggested = SuggestedRect(hAbout, here, after);
        SendDpiChange(hAbout, after, suggested);
        ExpectWindowAt(hAbout, suggested);
        ExpectIconStatics(hAbout, after.bigIcon);
        ExpectLinkFits(hAbout, IDC_ABOUT_WEB_LINK);
        ClickButton(hAbout, IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(user.Finished()) << "never saw: " << user.Pending();
}

#include "dirselect/CDirectoryTree.h"

#include "filesystem/CurrentDirectory.h"

#include "tests/dirselect/TreeReading.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/Observations.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/TestDrive.h"
#include "tests/support/UnixShell.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <functional>

namespace {

using Texts = std::vector<std::wstring>;
const std::pair<int, int> kPathImages{2, 3};
const std::pair<int, int> kDirImages{0, 1};

class DirectoryTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        AfxInitCommonControls();
        ASSERT_TRUE(tree.CreateEx(0, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE | WS_BORDER, 0, 0, 380, 260, parent.m_hWnd,
                                  reinterpret_cast<HMENU>(UINT_PTR{1007})));
    }
    void TearDown() override { SetCurrentDirectoryA("C:\\"); }

    void Dirs(std::initializer_list<const wchar_t*> names) {
        for (const wchar_t* name : names) disk.AddDirectory(name);
    }
    void Enter(const std::wstring& sub) { ASSERT_TRUE(SetCurrentDirectoryW((drive.Root() + sub).c_str())); }
    std::wstring Drive(const wchar_t* rest = L"") const { return drive.Root().substr(0, 2) + rest; }

    // The user's double-click as the control reports it: the item selected by the first click,
    // then NM_DBLCLK to the parent.
    LRESULT SendDoubleClick(HTREEITEM hItem) {
        tree.SelectItem(hItem);
        NMHDR header{tree.m_hWnd, 1007, static_cast<UINT>(NM_DBLCLK)};
        return parent.SendMessage(WM_NOTIFY, 1007, reinterpret_cast<LPARAM>(&header));
    }
    // The same, and then the wait until the sub-directories are shown, as the user waits.
    LRESULT DoubleClick(HTREEITEM hItem) {
        LRESULT result = SendDoubleClick(hItem);
        WaitForListing(tree);
        return result;
    }
    BOOL ShowPath() {
        BOOL bShown = tree.ShowPath();
        WaitForListing(tree);
        return bShown;
    }

    // The texts of the chain from the drive item down to the selected item.
    Texts Chain() const {
        Texts chain;
        for (HTREEITEM h = tree.GetSelectedItem(); h; h = tree.GetParentItem(h))
            chain.insert(chain.begin(), tree.GetItemText(h));
        return chain;
    }

    TestDrive drive;
    TempDirectory disk{drive.Root()};
    CTestParent parent;
    CDirectoryTree tree;
};

}  // namespace

TEST(DirectoryTreeClass, StartsWithNoDriveAndTheFourImagesAndIsKnownByName) {
    CDirectoryTree tree;
    EXPECT_EQ(tree.m_chDrive, 'a');
    EXPECT_EQ(tree.m_chDrive, CDirectoryTree::s_chNoDrive);
    EXPECT_TRUE(tree.GetPath().empty());
    EXPECT_EQ(
        (std::vector<int>{tree.m_nDirImage, tree.m_nDirSelectedImage, tree.m_nPathImage, tree.m_nPathSelectedImage}),
        (std::vector<int>{0, 1, 2, 3}));
    const CRuntimeClass* pClass = AfxFindRuntimeClass("CDirectoryTree");
    ASSERT_NE(pClass, nullptr);
    EXPECT_EQ(pClass->m_pBaseClass, RUNTIME_CLASS(CTreeCtrl));
    EXPECT_TRUE(tree.IsKindOf(RUNTIME_CLASS(CTreeCtrl)));
}

TEST_F(DirectoryTreeTest, DriveRootGivesTheDriveItemWithSortedSubdirectoriesOnly) {
    Dirs({L"Zeta", L"alpha", L"Beta", L".versteckt"});
    disk.AddFile(L"datei.txt");
    disk.AddFile(L"Alpha.dat");
    SetFileAttributesW((drive.Root() + L"Beta").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    ASSERT_TRUE(GetFileAttributesW((drive.Root() + L"Beta").c_str()) & FILE_ATTRIBUTE_HIDDEN);
    Enter(L"");

    ASSERT_TRUE(ShowPath());
    EXPECT_EQ(tree.GetPath(), Drive(L"\\").c_str());
    EXPECT_EQ(tree.m_chDrive, drive.Letter());
    HTREEITEM hRoot = tree.GetRootItem();
    ASSERT_NE(hRoot, nullptr);
    EXPECT_EQ(tree.GetNextSiblingItem(hRoot), nullptr);
    EXPECT_EQ(tree.GetItemText(hRoot), Drive().c_str());
    EXPECT_EQ(tree.GetSelectedItem(), hRoot);
    EXPECT_EQ(Images(tree, hRoot), kPathImages);
    EXPECT_TRUE(IsExpanded(tree, hRoot));
    EXPECT_EQ(ChildTexts(tree, hRoot), (Texts{L".versteckt", L"alpha", L"Beta", L"Zeta"}));
    for (HTREEITEM h = tree.GetChildItem(hRoot); h; h = tree.GetNextSiblingItem(h)) {
        EXPECT_EQ(Images(tree, h), kDirImages);
        EXPECT_EQ(tree.GetChildItem(h), nullptr);
    }
    EXPECT_EQ(parent.TakePosted(), 0);  // ShowPath's callers read the path themselves
}

TEST_F(DirectoryTreeTest, ThreeLevelsDownGivesAChainOfFourPathItems) {
    Dirs({L"eins", L"eins\\zwei", L"eins\\zwei\\drei", L"eins\\zwei\\drei\\y", L"eins\\zwei\\drei\\x",
          L"eins\\nachbar"});
    Enter(L"eins\\zwei\\drei");

    ASSERT_TRUE(ShowPath());
    EXPECT_EQ(tree.GetPath(), Drive(L"\\eins\\zwei\\drei").c_str());
    EXPECT_EQ(Chain(), (Texts{Drive(), L"eins", L"zwei", L"drei"}));
    for (HTREEITEM h = tree.GetSelectedItem(); h; h = tree.GetParentItem(h)) {
        EXPECT_EQ(Images(tree, h), kPathImages);
        EXPECT_TRUE(IsExpanded(tree, h));
        EXPECT_EQ(tree.GetNextSiblingItem(h), nullptr);
        EXPECT_EQ(tree.GetPrevSiblingItem(h), nullptr);
    }
    EXPECT_EQ(ChildTexts(tree, tree.GetSelectedItem()), (Texts{L"x", L"y"}));
    EXPECT_EQ(WideCurrentDirectory(), Drive(L"\\eins\\zwei\\drei"));
}

TEST_F(DirectoryTreeTest, DoubleClicksGoDownUpAndStayPostingOncePerChange) {
    Dirs({L"eins", L"eins\\a", L"eins\\b", L"eins\\c", L"eins\\b\\tief2", L"eins\\b\\tief1", L"zwei"});
    Enter(L"eins");
    ASSERT_TRUE(ShowPath());
    HTREEITEM hEins = tree.GetSelectedItem();

    // Down: the sub-directory becomes a path item, its siblings before and after it go, its
    // own listing appears.
    HTREEITEM hB = FindChild(tree, hEins, L"b");
    ASSERT_NE(hB, nullptr);
    EXPECT_EQ(DoubleClick(hB), 1);
    EXPECT_EQ(tree.GetPath(), Drive(L"\\eins\\b").c_str());
    EXPECT_EQ(parent.TakePosted(), 1);
    EXPECT_EQ(ChildTexts(tree, hEins), (Texts{L"b"}));
    EXPECT_EQ(tree.GetSelectedItem(), hB);
    EXPECT_TRUE(IsExpanded(tree, hEins));
    EXPECT_EQ(Images(tree, hB), kPathImages);
    EXPECT_TRUE(IsExpanded(tree, hB));
    EXPECT_EQ(ChildTexts(tree, hB), (Texts{L"tief1", L"tief2"}));
    EXPECT_EQ(Images(tree, tree.GetChildItem(hB)), kDirImages);

    // The current directory with its listing: nothing changes, nothing is posted.
    EXPECT_EQ(DoubleClick(hB), 1);
    EXPECT_EQ(parent.TakePosted(), 0);
    EXPECT_EQ(tree.GetPath(), Drive(L"\\eins\\b").c_str());
    EXPECT_EQ(ChildTexts(tree, hB), (Texts{L"tief1", L"tief2"}));

    // Up to the drive item: the chain below it goes, the root's listing appears, and the path
    // takes the two-character drive form.
    HTREEITEM hRoot = tree.GetRootItem();
    EXPECT_EQ(DoubleClick(hRoot), 1);
    EXPECT_EQ(tree.GetPath(), Drive().c_str());
    EXPECT_EQ(parent.TakePosted(), 1);
    EXPECT_EQ(ChildTexts(tree, hRoot), (Texts{L"eins", L"zwei"}));
    EXPECT_EQ(tree.GetSelectedItem(), hRoot);
    EXPECT_TRUE(IsExpanded(tree, hRoot));
    EXPECT_EQ(Images(tree, tree.GetChildItem(hRoot)), kDirImages);
    EXPECT_EQ(tree.GetCount(), 3u);

    // Double-clicks never move the process's current directory.
    EXPECT_EQ(WideCurrentDirectory(), Drive(L"\\eins"));
}

TEST_F(DirectoryTreeTest, UpFromThreeLevelsDownKeepsOnlyTheChainAboveAndItsListing) {
    Dirs({L"a", L"a\\b", L"a\\b\\c", L"a\\b\\c\\d", L"a\\b\\andere"});
    Enter(L"a\\b\\c");
    ASSERT_TRUE(ShowPath());
    HTREEITEM hB = tree.GetParentItem(tree.GetSelectedItem());
    EXPECT_EQ(DoubleClick(hB), 1);
    EXPECT_EQ(tree.GetPath(), Drive(L"\\a\\b").c_str());
    EXPECT_EQ(parent.TakePosted(), 1);
    EXPECT_EQ(ChildTexts(tree, hB), (Texts{L"andere", L"c"}));
    EXPECT_EQ(tree.GetCount(), 5u);  // drive, a, b and b's two sub-directories
}

TEST_F(DirectoryTreeTest, CurrentDirectoryWithoutSubdirectoriesIsNotExpandedAndRepostsItsPath) {
    disk.AddFile(L"nur-eine-datei.txt");
    Enter(L"");
    ASSERT_TRUE(ShowPath());
    HTREEITEM hRoot = tree.GetRootItem();
    EXPECT_EQ(tree.GetPath(), Drive(L"\\").c_str());
    EXPECT_EQ(tree.GetChildItem(hRoot), nullptr);
    EXPECT_FALSE(IsExpanded(tree, hRoot));

    EXPECT_EQ(DoubleClick(hRoot), 1);
    EXPECT_EQ(tree.GetPath(), Drive().c_str());  // from the three- to the two-character form
    EXPECT_EQ(parent.TakePosted(), 1);
    EXPECT_EQ(tree.GetCount(), 1u);
    EXPECT_EQ(Images(tree, hRoot), kPathImages);
}

TEST_F(DirectoryTreeTest, DirectoryThatCannotBeListedStaysBareButItsPathIsPosted) {
    Dirs({L"bleibt", L"weg", L"weg\\innen"});
    Enter(L"");
    ASSERT_TRUE(ShowPath());
    HTREEITEM hGone = FindChild(tree, tree.GetRootItem(), L"weg");
    ASSERT_NE(hGone, nullptr);
    RemoveTree(drive.Root() + L"weg");  // gone after it was listed

    EXPECT_EQ(DoubleClick(hGone), 1);
    EXPECT_EQ(tree.GetPath(), Drive(L"\\weg").c_str());
    EXPECT_EQ(parent.TakePosted(), 1);
    EXPECT_EQ(tree.GetChildItem(hGone), nullptr);
    EXPECT_FALSE(IsExpanded(tree, hGone));
    EXPECT_EQ(ChildTexts(tree, tree.GetRootItem()), (Texts{L"weg"}));
}

TEST_F(DirectoryTreeTest, NamesOutsideTheCodePageShowAsThemselvesAndAreListed) {
    // Made on the Linux side; the program runs with code page 1252, which holds none of them.
    RunUnixShell("mkdir -p " + ShellQuote(UnixPath(drive.Root()) + "/\xE6\x97\xA5\xE6\x9C\xAC/innen"));
    Dirs({L"\u03A9mega", L"\u03A9mega\\unten", L"\u041F\u0430\u043F\u043A\u0430"});
    Enter(L"");
    ASSERT_TRUE(ShowPath());
    Texts shown = ChildTexts(tree, tree.GetRootItem());
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(shown, (Texts{L"\u03A9mega", L"\u041F\u0430\u043F\u043A\u0430", L"\u65E5\u672C"}));

    for (const wchar_t* name : {L"\u65E5\u672C", L"\u03A9mega"}) {
        HTREEITEM hRoot = tree.GetRootItem();
        HTREEITEM hItem = FindChild(tree, hRoot, name);
        ASSERT_NE(hItem, nullptr) << Utf8(name);
        EXPECT_EQ(DoubleClick(hItem), 1);
        EXPECT_EQ(tree.GetPath(), Drive(L"\\") + name);
        EXPECT_EQ(parent.TakePosted(), 1);
        EXPECT_EQ(ChildTexts(tree, hItem), (Texts{name[0] == L'\u03A9' ? L"unten" : L"innen"}));
        EXPECT_EQ(DoubleClick(hRoot), 1);
        parent.TakePosted();
    }
}

TEST_F(DirectoryTreeTest, LookAlikeAndTrailingDotFoldersShowAsThemselves) {
    Dirs({L"abc", L"abc\\plain", L"\u0101bc", L"Music", L"Music\\Songs"});
    RunUnixShell("mkdir -p " + ShellQuote(UnixPath(drive.Root()) + "/Music./Dotted"));
    Enter(L"");
    ASSERT_TRUE(ShowPath());
    HTREEITEM hRoot = tree.GetRootItem();
    // "\u0101bc" never shows as "abc", the name of another folder, nor "Music." as "Music".
    EXPECT_EQ(ChildTexts(tree, hRoot), (Texts{L"abc", L"\u0101bc", L"Music", L"Music."}));

    HTREEITEM hDotted = FindChild(tree, hRoot, L"Music.");
    ASSERT_NE(hDotted, nullptr);
    EXPECT_EQ(DoubleClick(hDotted), 1);
    EXPECT_EQ(tree.GetPath(), Drive(L"\\Music."));
    EXPECT_EQ(ChildTexts(tree, hDotted), (Texts{L"Dotted"}));
}

TEST_F(DirectoryTreeTest, ChainsPast260And1024CharactersAreShownListedAndGoDeeper) {
    std::wstring relative = L"tief";
    disk.AddDirectory(relative);
    for (size_t length : {size_t{260}, size_t{1024}}) {
        while (drive.Root().size() + relative.size() <= length + 10) {
            relative += L"\\Verzeichnis_" + std::wstring(80, L'v') + std::to_wstring(relative.size());
            disk.AddDirectory(relative);
        }
        disk.AddDirectory(relative + L"\\noch tiefer");
        ASSERT_TRUE(AfxSetCurrentDirectory(drive.Root() + relative));
        ASSERT_TRUE(ShowPath());
        EXPECT_EQ(tree.GetPath(), drive.Root() + relative);
        ASSERT_GT(tree.GetPath().size(), length);
        HTREEITEM hDeeper = FindChild(tree, tree.GetSelectedItem(), L"noch tiefer");
        ASSERT_NE(hDeeper, nullptr);
        EXPECT_EQ(DoubleClick(hDeeper), 1);
        EXPECT_EQ(tree.GetPath(), drive.Root() + relative + L"\\noch tiefer");
        EXPECT_EQ(parent.TakePosted(), 1);
    }
}

TEST_F(DirectoryTreeTest, CollapsedItemWithChildrenIsListedOnlyOnce) {
    Dirs({L"eins", L"eins\\x", L"eins\\y"});
    Enter(L"eins");
    ASSERT_TRUE(ShowPath());
    HTREEITEM hEins = tree.GetSelectedItem();
    tree.Expand(hEins, TVE_COLLAPSE);  // as the keyboard does
    ASSERT_FALSE(IsExpanded(tree, hEins));

    EXPECT_EQ(DoubleClick(hEins), 1);
    EXPECT_EQ(ChildTexts(tree, hEins), (Texts{L"x", L"y"}));
    EXPECT_TRUE(IsExpanded(tree, hEins));
    EXPECT_EQ(tree.GetPath(), Drive(L"\\eins").c_str());
    EXPECT_EQ(parent.TakePosted(), 1);

    // A collapsed item higher in the chain loses the chain below it and shows its listing.
    HTREEITEM hRoot = tree.GetRootItem();
    tree.Expand(hRoot, TVE_COLLAPSE);
    EXPECT_EQ(DoubleClick(hRoot), 1);
    EXPECT_EQ(ChildTexts(tree, hRoot), (Texts{L"eins"}));
    EXPECT_EQ(Images(tree, tree.GetChildItem(hRoot)), kDirImages);
    EXPECT_EQ(tree.GetCount(), 2u);
}

// The sub-directories are read beside the window and come later; whatever changes the items
// meanwhile (up, again, another drive) drops the listing on its way, which never shows then.
TEST_F(DirectoryTreeTest, AListingOnItsWayGoesWithEveryChangeAndNeverShowsLate) {
    Dirs({L"eins", L"eins\\innen", L"zwei", L"zwei\\unten"});
    Enter(L"");
    ASSERT_TRUE(ShowPath());
    HTREEITEM hRoot = tree.GetRootItem();
    const struct {
        const wchar_t* into;
        std::function<void()> change;  // made while the listing of into is on its way
        int nPosted;                   // by the change
    } cases[] = {
        {L"eins", [&] { EXPECT_EQ(SendDoubleClick(hRoot), 1); }, 1},
        {L"zwei", [&] { EXPECT_TRUE(tree.ShowPath()); }, 0},
        {L"eins", [&] { tree.SendMessage(WM_KEYDOWN, VK_BACK, 1); }, 1},
    };
    for (const auto& c : cases) {
        HTREEITEM hInto = FindChild(tree, hRoot, c.into);
        ASSERT_NE(hInto, nullptr) << Utf8(c.into);
        EXPECT_EQ(SendDoubleClick(hInto), 1);
        EXPECT_EQ(parent.TakePosted(), 1);
        EXPECT_TRUE(tree.IsListing());
        EXPECT_EQ(tree.GetChildItem(hInto), nullptr);  // not yet
        // Again on the folder whose listing is coming: nothing changes, nothing is posted.
        EXPECT_EQ(SendDoubleClick(hInto), 1);
        EXPECT_EQ(parent.TakePosted(), 0);

        c.change();
        EXPECT_EQ(parent.TakePosted(), c.nPosted);
        WaitForListing(tree);
        hRoot = tree.GetRootItem();
        EXPECT_EQ(ChildTexts(tree, hRoot), (Texts{L"eins", L"zwei"})) << Utf8(c.into);
        EXPECT_EQ(tree.GetCount(), 3u) << "a listing came late: " << Utf8(c.into);
        EXPECT_EQ(tree.GetSelectedItem(), hRoot);
    }
}

// The dialog has the opening directory listed while its window is made; the tree must show
// such a listing only for the directory it was read for, and only once.
TEST_F(DirectoryTreeTest, PreparedListingShowsOnlyForItsOwnDirectoryAndOnlyOnce) {
    Dirs({L"hier", L"hier\\a", L"dort", L"dort\\fremd"});
    tree.PrepareListing(Drive(L"\\dort"));
    Enter(L"hier");
    ASSERT_TRUE(ShowPath());
    EXPECT_EQ(tree.GetPath(), Drive(L"\\hier"));
    EXPECT_EQ(ChildTexts(tree, tree.GetSelectedItem()), (Texts{L"a"}));

    tree.PrepareListing(Drive(L"\\hier"));
    ASSERT_TRUE(ShowPath());
    EXPECT_EQ(ChildTexts(tree, tree.GetSelectedItem()), (Texts{L"a"}));
    // Gone with that use: up and down again, the directory is listed as it is now.
    disk.AddDirectory(L"hier\\b");
    DoubleClick(tree.GetRootItem());
    HTREEITEM hHier = tree.GetChildItem(tree.GetRootItem());
    while (hHier && tree.GetItemText(hHier) != L"hier") hHier = tree.GetNextSiblingItem(hHier);
    ASSERT_NE(hHier, nullptr);
    DoubleClick(hHier);
    EXPECT_EQ(tree.GetPath(), Drive(L"\\hier"));
    EXPECT_EQ(ChildTexts(tree, tree.GetSelectedItem()), (Texts{L"a", L"b"}));
}

TEST_F(DirectoryTreeTest, ChosenDriveOpensAtItsRememberedDirectoryAndBecomesCurrent) {
    Dirs({L"gemerkt", L"gemerkt\\unten"});
    std::wstring remembered = Drive(L"\\gemerkt");
    ASSERT_TRUE(SetEnvironmentVariableW((L"=" + Drive()).c_str(), remembered.c_str()));
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
    ASSERT_TRUE(ShowPath());  // no drive chosen yet: stays where the process is
    EXPECT_EQ(tree.GetPath(), L"C:\\");
    EXPECT_EQ(WideCurrentDirectory(), L"C:\\");

    tree.m_chDrive = drive.Letter();
    ASSERT_TRUE(ShowPath());
    EXPECT_EQ(tree.GetPath(), remembered.c_str());
    EXPECT_EQ(WideCurrentDirectory(), remembered);
    EXPECT_EQ(Chain(), (Texts{Drive(), L"gemerkt"}));
    EXPECT_EQ(tree.GetNextSiblingItem(tree.GetRootItem()), nullptr);  // the C: tree is gone
    EXPECT_EQ(ChildTexts(tree, tree.GetSelectedItem()), (Texts{L"unten"}));

    // A drive that cannot be entered: the tree is rebuilt where the process still is, and the
    // drive letter follows that directory.
    TestDrive notReady(L"", TestDrive::State::NotReady);
    tree.m_chDrive = notReady.Letter();
    ASSERT_TRUE(ShowPath());
    EXPECT_EQ(WideCurrentDirectory(), remembered);
    EXPECT_EQ(tree.GetPath(), remembered.c_str());
    EXPECT_EQ(tree.m_chDrive, drive.Letter());
    EXPECT_EQ(Chain(), (Texts{Drive(), L"gemerkt"}));
    EXPECT_EQ(tree.GetNextSiblingItem(tree.GetRootItem()), nullptr);
    EXPECT_EQ(ChildTexts(tree, tree.GetSelectedItem()), (Texts{L"unten"}));
    SetEnvironmentVariableW((L"=" + Drive()).c_str(), nullptr);
}

namespace {

// Under Wine the X server echoes every pointer warp back through the desktop process as a
// mouse move that is not marked injected, in order, and sometimes seconds late: a warp of an
// earlier test can still arrive. Seeing the echo of our own warp means all older ones are in.
POINT g_warpedTo{};
bool g_echoSeen = false;

LRESULT CALLBACK WatchWarpEcho(int nCode, WPARAM wParam, LPARAM lParam) {
    auto* event = reinterpret_cast<MSLLHOOKSTRUCT*>(lParam);
    if (nCode == HC_ACTION && wParam == WM_MOUSEMOVE && !(event->flags & LLMHF_INJECTED) &&
        event->pt.x == g_warpedTo.x && event->pt.y == g_warpedTo.y)
        g_echoSeen = true;
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
}

}  // namespace

TEST_F(DirectoryTreeTest, RealMouseDoubleClickOnAnItemGoesDown) {
    Dirs({L"klick", L"klick\\drin", L"anders"});
    Enter(L"");
    ASSERT_TRUE(ShowPath());
    HTREEITEM hItem = FindChild(tree, tree.GetRootItem(), L"klick");
    ASSERT_NE(hItem, nullptr);
    RECT rect{};
    ASSERT_TRUE(TreeView_GetItemRect(tree.m_hWnd, hItem, &rect, TRUE));
    POINT point{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    tree.ClientToScreen(&point);

    // Real input goes to the window under the cursor. In a fresh prefix the desktop takes a
    // while to bring a new window to the front, and pointer moves of earlier tests can arrive
    // late and carry the cursor away between the clicks (it then was a click on another item):
    // wait for the window and for the echo of our own warp, and give every click its position.
    int posted = 0;
    auto pumpUntil = [&](const std::function<bool()>& done, DWORD timeoutMs) {
        for (DWORD start = GetTickCount(); !done(); Sleep(10)) {
            if (GetTickCount() - start >= timeoutMs) return false;
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_DIRECTORY_CHANGED && msg.hwnd == parent.m_hWnd) {
                    ++posted;
                    continue;
                }
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        return true;
    };
    SetForegroundWindow(parent.m_hWnd);
    ASSERT_TRUE(pumpUntil([&] { return GetForegroundWindow() == parent.m_hWnd; }, 10000));
    ASSERT_EQ(WindowFromPoint(point), tree.m_hWnd);
    g_warpedTo = point;
    g_echoSeen = false;
    CHookHandle hook(SetWindowsHookExA(WH_MOUSE_LL, &WatchWarpEcho, GetModuleHandleA(nullptr), 0));
    ASSERT_TRUE(SetCursorPos(point.x, point.y));
    pumpUntil([] { return g_echoSeen; }, 5000);  // Windows sends no echo: then just later
    hook.Close();

    // Absolute positions run from 0 to 65535 across the primary screen.
    const LONG dx = MulDiv(point.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    const LONG dy = MulDiv(point.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    INPUT clicks[4] = {};
    for (int i = 0; i < 4; ++i) {
        clicks[i].type = INPUT_MOUSE;
        clicks[i].mi.dx = dx;
        clicks[i].mi.dy = dy;
        clicks[i].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE |
                               (i % 2 ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN);
    }
    ASSERT_EQ(SendInput(4, clicks, sizeof(INPUT)), 4u);
    pumpUntil([&] { return posted > 0 && !tree.IsListing(); }, 10000);
    posted += parent.TakePosted();
    EXPECT_EQ(posted, 1);
    EXPECT_EQ(tree.GetPath(), Drive(L"\\klick").c_str());
    EXPECT_EQ(ChildTexts(tree, tree.GetRootItem()), (Texts{L"klick"}));
    EXPECT_EQ(ChildTexts(tree, hItem), (Texts{L"drin"}));
}

#include "dirselect/CDirectoryDlg.h"

#include "res/resource.h"
#include "tests/dirselect/TreeReading.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/Observations.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/TestDrive.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Texts = std::vector<std::wstring>;
constexpr UINT WM_NEXT_STEP = WM_APP + 1;

// The dialog with a script of user actions: one step per turn of its modal loop, so that
// whatever a step posts is handled before the next step looks.
class CScriptedDirectoryDlg : public CDirectoryDlg {
public:
    using Step = std::function<void(CScriptedDirectoryDlg&)>;
    std::vector<Step> m_steps;
    bool m_bRanOut = false;

    std::wstring Field() const { return WideWindowText(m_editPath.m_hWnd); }
    std::wstring SelectedDrive() const {
        return m_driveList.GetCurSel() >= 0 ? m_driveList.GetLBTextWide(m_driveList.GetCurSel()) : std::wstring();
    }
    void DoubleClick(HTREEITEM hItem) {
        m_tree.SelectItem(hItem);
        NMHDR header{m_tree.m_hWnd, IDC_DIRECTORY_TREE, static_cast<UINT>(NM_DBLCLK)};
        SendMessage(WM_NOTIFY, IDC_DIRECTORY_TREE, reinterpret_cast<LPARAM>(&header));
    }
    // What the combo box reports when the user picks an entry.
    void PickDrive(char letter) {
        for (int i = 0; i < m_driveList.GetCount(); ++i) {
            if (m_driveList.GetLBTextWide(i)[0] == static_cast<wchar_t>(letter)) m_driveList.SetCurSel(i);
        }
        SendMessage(WM_COMMAND, MAKEWPARAM(IDC_DRIVE_LIST, CBN_SELCHANGE),
                    reinterpret_cast<LPARAM>(m_driveList.m_hWnd));
    }
    void Press(int nButton) { ::PostMessageA(::GetDlgItem(m_hWnd, nButton), BM_CLICK, 0, 0); }

protected:
    BOOL OnInitDialog() override {
        BOOL result = CDirectoryDlg::OnInitDialog();
        PostMessage(WM_NEXT_STEP);
        return result;
    }
    BOOL PreTranslateMessage(MSG* pMsg) override {
        if (pMsg->message != WM_NEXT_STEP) return CDirectoryDlg::PreTranslateMessage(pMsg);
        if (m_steps.empty()) {
            m_bRanOut = true;  // the script forgot to close the dialog
            EndDialog(IDABORT);
            return TRUE;
        }
        Step step = m_steps.front();
        m_steps.erase(m_steps.begin());
        step(*this);
        PostMessage(WM_NEXT_STEP);
        return TRUE;
    }
};

class DirectoryDlgTest : public ::testing::Test {
protected:
    void TearDown() override { SetCurrentDirectoryA("C:\\"); }
    static std::wstring Root(const TestDrive& d, const wchar_t* rest = L"") {
        return std::wstring(1, static_cast<wchar_t>(d.Letter())) + L":" + rest;
    }

    TestDrive labelled{L"Fotos"};
    TestDrive plain;
    TestDrive notReady{std::wstring(), TestDrive::State::NotReady};
    TempDirectory labelledDisk{labelled.Root()};
    TempDirectory plainDisk{plain.Root()};
    MessageBoxRecorder boxes;
};

}  // namespace

TEST_F(DirectoryDlgTest, OpensAtTheCurrentDriveRootAndOkReturnsTheThreeCharacterForm) {
    labelledDisk.AddDirectory(L"Urlaub");
    ASSERT_TRUE(SetCurrentDirectoryA(labelled.AnsiRoot().c_str()));
    CScriptedDirectoryDlg dlg;
    EXPECT_TRUE(dlg.m_strDirectory.empty());
    dlg.m_steps = {[&](CScriptedDirectoryDlg& d) {
        EXPECT_EQ(d.Field(), Root(labelled, L"\\"));
        EXPECT_EQ(d.SelectedDrive(), Root(labelled, L" Fotos"));
        EXPECT_EQ(d.m_tree.GetItemText(d.m_tree.GetRootItem()), Root(labelled));
        EXPECT_EQ(ChildTexts(d.m_tree, d.m_tree.GetRootItem()), (Texts{L"Urlaub"}));
        EXPECT_EQ(CWnd::GetFocus(), d.GetDlgItem(IDOK));
        auto hImages = reinterpret_cast<HIMAGELIST>(d.m_tree.SendMessage(TVM_GETIMAGELIST, TVSIL_NORMAL));
        ASSERT_NE(hImages, nullptr);
        EXPECT_EQ(ImageList_GetImageCount(hImages), 4);
        int cx = 0;
        int cy = 0;
        ImageList_GetIconSize(hImages, &cx, &cy);
        EXPECT_EQ(cx * 100 + cy, 1616);
        d.Press(IDOK);
    }};
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_FALSE(dlg.m_bRanOut);
    EXPECT_EQ(dlg.m_strDirectory, Root(labelled, L"\\"));
    EXPECT_EQ(WideCurrentDirectory(), Root(labelled, L"\\"));
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(DirectoryDlgTest, DoubleClicksReachTheFieldAfterTheirNotificationAndEnterConfirms) {
    labelledDisk.AddDirectory(L"eins");
    labelledDisk.AddDirectory(L"eins\\zwei");
    labelledDisk.AddDirectory(L"eins\\zwei\\drei");
    ASSERT_TRUE(SetCurrentDirectoryW(Root(labelled, L"\\eins").c_str()));
    CScriptedDirectoryDlg dlg;
    auto down = [&](CScriptedDirectoryDlg& d) {
        EXPECT_EQ(d.Field(), Root(labelled, L"\\eins"));
        d.DoubleClick(d.m_tree.GetChildItem(d.m_tree.GetSelectedItem()));
        // The tree has its new path, the field waits for the posted notification.
        EXPECT_EQ(d.m_tree.GetPath(), Root(labelled, L"\\eins\\zwei"));
        EXPECT_EQ(d.Field(), Root(labelled, L"\\eins"));
    };
    auto up = [&](CScriptedDirectoryDlg& d) {
        EXPECT_EQ(d.Field(), Root(labelled, L"\\eins\\zwei"));
        d.DoubleClick(d.m_tree.GetRootItem());
    };
    auto enter = [&](CScriptedDirectoryDlg& d) {
        EXPECT_EQ(d.Field(), Root(labelled));
        d.m_tree.SetFocus();
        d.m_tree.PostMessage(WM_KEYDOWN, VK_RETURN, 1);
        d.m_tree.PostMessage(WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC0000001));
    };
    dlg.m_steps = {down, up, enter};
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_FALSE(dlg.m_bRanOut);
    EXPECT_EQ(dlg.m_strDirectory, Root(labelled));
    EXPECT_EQ(WideCurrentDirectory(), Root(labelled, L"\\eins"));  // double-clicks do not move it
}

TEST_F(DirectoryDlgTest, DriveChangesRefuseANotReadyDriveAndMoveToARememberedDirectory) {
    plainDisk.AddDirectory(L"gemerkt");
    plainDisk.AddDirectory(L"gemerkt\\unten");
    std::wstring remembered = Root(plain, L"\\gemerkt");
    ASSERT_TRUE(SetEnvironmentVariableW((L"=" + Root(plain)).c_str(), remembered.c_str()));
    ASSERT_TRUE(SetCurrentDirectoryA(labelled.AnsiRoot().c_str()));

    CScriptedDirectoryDlg dlg;
    auto refused = [&](CScriptedDirectoryDlg& d) {
        d.PickDrive(notReady.Letter());
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].text, L"Drive " + Root(notReady) + L" is not ready.");
        EXPECT_EQ(boxes.Boxes()[0].caption, L"Error");
        EXPECT_EQ(boxes.Boxes()[0].flags, 0x30u);
        EXPECT_EQ(d.SelectedDrive(), Root(labelled, L" Fotos"));
        EXPECT_EQ(d.Field(), Root(labelled, L"\\"));
        EXPECT_EQ(WideCurrentDirectory(), Root(labelled, L"\\"));
    };
    auto accepted = [&](CScriptedDirectoryDlg& d) {
        d.PickDrive(plain.Letter());
        EXPECT_EQ(d.Field(), remembered);
        EXPECT_EQ(d.m_tree.m_chDrive, plain.Letter());
        EXPECT_EQ(ChildTexts(d.m_tree, d.m_tree.GetSelectedItem()), (Texts{L"unten"}));
        EXPECT_EQ(WideCurrentDirectory(), remembered);
        d.DoubleClick(d.m_tree.GetChildItem(d.m_tree.GetSelectedItem()));
    };
    auto sameDriveAgain = [&](CScriptedDirectoryDlg& d) {
        EXPECT_EQ(d.Field(), remembered + L"\\unten");
        d.PickDrive(plain.Letter());  // back to where the last rebuild was
        EXPECT_EQ(d.Field(), remembered);
        d.Press(IDCANCEL);
    };
    dlg.m_steps = {refused, accepted, sameDriveAgain};
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_FALSE(dlg.m_bRanOut);
    EXPECT_TRUE(dlg.m_strDirectory.empty());
    EXPECT_EQ(WideCurrentDirectory(), remembered);  // cancelling does not restore it
    EXPECT_EQ(boxes.Boxes().size(), 1u);
    SetEnvironmentVariableW((L"=" + Root(plain)).c_str(), nullptr);
}

#include "dirselect/CDirectoryDlg.h"

#include "filesystem/SystemErrorText.h"
#include "platform/AfxModuleState.h"
#include "res/resource.h"
#include "tests/dirselect/TreeReading.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/Observations.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/TestDrive.h"
#include "tests/support/UnixShell.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

namespace {

using Texts = std::vector<std::wstring>;
constexpr UINT WM_NEXT_STEP = WM_APP + 1;

// The dialog with a script of user actions: one step per turn of its modal loop, so that
// whatever a step posts is handled before the next step looks.
class CScriptedDirectoryDlg : public CDirectoryDlg {
public:
    using CDirectoryDlg::CDirectoryDlg;
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
    std::wstring Line() const { return WideWindowText(m_countLine.m_hWnd); }
    // The step, run as soon as the status line shows a count (at most half a minute later).
    // Meanwhile the next turn comes with a timer, once the dialog's queue is empty: the dialog's
    // own timers and drawing must not wait behind an endless row of steps.
    static Step OnceCounted(Step step, int nTurnsLeft = 6000) {
        return [step, nTurnsLeft](CScriptedDirectoryDlg& d) {
            if (d.Line() != kCounting || nTurnsLeft == 0) return step(d);
            d.m_steps.insert(d.m_steps.begin(), OnceCounted(step, nTurnsLeft - 1));
            d.m_bLater = true;
            ::SetTimer(d.m_hWnd, kLaterTimer, 5, &PostNextStep);
        };
    }
    // The step, run once the tree shows the folders it was reading (as the user waits to see
    // them), at most half a minute later; meanwhile as OnceCounted.
    static Step Listed(Step step, int nTurnsLeft = 6000) {
        return [step, nTurnsLeft](CScriptedDirectoryDlg& d) {
            if (!d.m_tree.IsListing() || nTurnsLeft == 0) return step(d);
            d.m_steps.insert(d.m_steps.begin(), Listed(step, nTurnsLeft - 1));
            d.m_bLater = true;
            ::SetTimer(d.m_hWnd, kLaterTimer, 5, &PostNextStep);
        };
    }
    static constexpr UINT_PTR kLaterTimer = 99;
    static void CALLBACK PostNextStep(HWND hWnd, UINT, UINT_PTR nID, DWORD) {
        ::KillTimer(hWnd, nID);
        ::PostMessageW(hWnd, WM_NEXT_STEP, 0, 0);
    }
    bool m_bLater = false;  // the step set a timer for the next turn
    static inline const std::wstring kCounting = L"Dateien werden gez\u00E4hlt \u2026";

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
        m_bLater = false;
        step(*this);
        if (!m_bLater) PostMessage(WM_NEXT_STEP);
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
    dlg.m_steps = {CScriptedDirectoryDlg::Listed([&](CScriptedDirectoryDlg& d) {
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
    })};
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
    dlg.m_steps = {CScriptedDirectoryDlg::Listed(down), up, enter};
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
        EXPECT_EQ(boxes.Boxes()[0].caption, AfxToWide(AfxGetAppName()));  // the program's name, as on every box
        EXPECT_EQ(boxes.Boxes()[0].flags, 0x30u);
        EXPECT_EQ(d.SelectedDrive(), Root(labelled, L" Fotos"));
        EXPECT_EQ(d.Field(), Root(labelled, L"\\"));
        EXPECT_EQ(WideCurrentDirectory(), Root(labelled, L"\\"));
    };
    auto accepted = [&](CScriptedDirectoryDlg& d) {
        d.PickDrive(plain.Letter());
        EXPECT_EQ(d.Field(), remembered);
        EXPECT_EQ(d.m_tree.m_chDrive, plain.Letter());
        EXPECT_EQ(WideCurrentDirectory(), remembered);
    };
    auto down = CScriptedDirectoryDlg::Listed([&](CScriptedDirectoryDlg& d) {
        EXPECT_EQ(ChildTexts(d.m_tree, d.m_tree.GetSelectedItem()), (Texts{L"unten"}));
        d.DoubleClick(d.m_tree.GetChildItem(d.m_tree.GetSelectedItem()));
    });
    auto sameDriveAgain = [&](CScriptedDirectoryDlg& d) {
        EXPECT_EQ(d.Field(), remembered + L"\\unten");
        d.PickDrive(plain.Letter());  // back to where the last rebuild was
        EXPECT_EQ(d.Field(), remembered);
        d.Press(IDCANCEL);
    };
    dlg.m_steps = {refused, accepted, down, sameDriveAgain};
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_FALSE(dlg.m_bRanOut);
    EXPECT_TRUE(dlg.m_strDirectory.empty());
    EXPECT_EQ(WideCurrentDirectory(), remembered);  // cancelling does not restore it
    EXPECT_EQ(boxes.Boxes().size(), 1u);
    SetEnvironmentVariableW((L"=" + Root(plain)).c_str(), nullptr);
}

namespace {

// The status line of a dialog opened for direction at the current directory, once counted.
std::wstring CountedLine(CaseDirection direction) {
    CScriptedDirectoryDlg dlg(direction);
    std::wstring line;
    dlg.m_steps = {CScriptedDirectoryDlg::OnceCounted([&](CScriptedDirectoryDlg& d) {
                       line = d.Line();
                       d.Press(IDCANCEL);
                   })};
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_FALSE(dlg.m_bRanOut);
    return line;
}

std::vector<std::wstring> Numbered(const wchar_t* format, int nCount) {
    std::vector<std::wstring> names;
    for (int i = 0; i < nCount; ++i) {
        wchar_t name[64];
        swprintf(name, 64, format, i);
        names.push_back(name);
    }
    return names;
}

}  // namespace

TEST_F(DirectoryDlgTest, StatusLineTellsWhatARunInTheButtonsDirectionWouldDo) {
    auto countedIn = [](const TempDirectory& dir, CaseDirection direction) {
        EXPECT_TRUE(SetCurrentDirectoryW(dir.Path().c_str()));
        std::wstring line = CountedLine(direction);
        SetCurrentDirectoryA("C:\\");
        return line;
    };
    TempDirectory empty;
    empty.AddDirectory(L"Unterordner");  // a directory is no file
    EXPECT_EQ(countedIn(empty, CaseDirection::Lower), L"Keine Dateien");

    TempDirectory one;
    one.AddFile(L"readme.txt");
    EXPECT_EQ(countedIn(one, CaseDirection::Lower), L"1 Datei, bereits in Kleinbuchstaben");
    EXPECT_EQ(countedIn(one, CaseDirection::Upper), L"1 Datei, davon 1 umzubenennen");

    TempDirectory upper;
    upper.AddFile(L"A.TXT");
    upper.AddFile(L"B.TXT");
    upper.AddFile(L"STRA\u00DFE.TXT");  // "ß" has no upper case letter: already upper case
    EXPECT_EQ(countedIn(upper, CaseDirection::Upper), L"3 Dateien, alle bereits in Gro\u00DF" L"buchstaben");

    // Case twins: "A.TXT" cannot become "a.txt" while "a.txt" is there.
    TempDirectory twins;
    for (const wchar_t* name : {L"A.TXT", L"B.TXT", L"STRA\u00DFE.TXT"}) twins.AddFile(name);
    twins.AddFileOnLinux(L"a.txt", "twin");
    EXPECT_EQ(countedIn(twins, CaseDirection::Lower), L"4 Dateien, davon 2 umzubenennen, 1 davon beh\u00E4lt ihren Namen");
    twins.AddFileOnLinux(L"b.txt", "twin");
    EXPECT_EQ(countedIn(twins, CaseDirection::Upper), L"5 Dateien, davon 0 umzubenennen, 2 davon behalten ihren Namen");

    // A mix by the thousand: those twins, 1,200 to rename and 29 in the case already.
    twins.AddFilesOnLinux(Numbered(L"Bild%04d.JPG", 1200));
    twins.AddFilesOnLinux(Numbered(L"notiz%02d.txt", 29));
    EXPECT_EQ(countedIn(twins, CaseDirection::Lower),
              L"1.234 Dateien, davon 1.201 umzubenennen, 2 davon behalten ihren Namen");

    // Opened for no direction, the line stays empty.
    CScriptedDirectoryDlg plainDlg;
    plainDlg.m_steps = {[&](CScriptedDirectoryDlg& d) { EXPECT_EQ(d.Line(), L""); },
                        [&](CScriptedDirectoryDlg& d) {
                            EXPECT_EQ(d.Line(), L"");
                            d.Press(IDCANCEL);
                        }};
    EXPECT_EQ(plainDlg.DoModal(), IDCANCEL);
}

TEST_F(DirectoryDlgTest, CountFollowsDoubleClicksAndDriveChangesAndAStaleCountNeverShows) {
    labelledDisk.AddDirectory(L"eins");
    labelledDisk.AddFile(L"eins\\A.TXT");
    labelledDisk.AddFile(L"eins\\B.TXT");
    labelledDisk.AddDirectory(L"eins\\unten");
    labelledDisk.AddFile(L"eins\\unten\\klein.txt");
    plainDisk.AddDirectory(L"gemerkt");
    for (const std::wstring& name : Numbered(L"gemerkt\\Datei%d.TXT", 3)) plainDisk.AddFile(name);
    std::wstring remembered = Root(plain, L"\\gemerkt");
    ASSERT_TRUE(SetEnvironmentVariableW((L"=" + Root(plain)).c_str(), remembered.c_str()));
    ASSERT_TRUE(SetCurrentDirectoryW(Root(labelled, L"\\eins").c_str()));

    CScriptedDirectoryDlg dlg(CaseDirection::Lower);
    using D = CScriptedDirectoryDlg;
    dlg.m_steps = {
        D::Listed(D::OnceCounted([&](D& d) {
            EXPECT_EQ(d.Line(), L"2 Dateien, davon 2 umzubenennen");
            d.DoubleClick(d.m_tree.GetChildItem(d.m_tree.GetSelectedItem()));
        })),
        // The field has the new directory: the old count is gone at once.
        [&](D& d) {
            EXPECT_EQ(d.Field(), Root(labelled, L"\\eins\\unten"));
            EXPECT_EQ(d.Line(), D::kCounting);
        },
        D::OnceCounted([&](D& d) {
            EXPECT_EQ(d.Line(), L"1 Datei, bereits in Kleinbuchstaben");
            // Up and at once down again: only the last directory's count may arrive.
            d.DoubleClick(d.m_tree.GetParentItem(d.m_tree.GetSelectedItem()));
        }),
        D::Listed([&](D& d) {
            EXPECT_EQ(d.Field(), Root(labelled, L"\\eins"));
            HTREEITEM hUnten = d.m_tree.GetChildItem(d.m_tree.GetSelectedItem());
            ASSERT_NE(hUnten, nullptr);
            d.DoubleClick(hUnten);
        }),
        D::OnceCounted([&](D& d) {
            EXPECT_EQ(d.Field(), Root(labelled, L"\\eins\\unten"));
            EXPECT_EQ(d.Line(), L"1 Datei, bereits in Kleinbuchstaben");
            d.PickDrive(plain.Letter());
            EXPECT_EQ(d.Field(), remembered);
            EXPECT_EQ(d.Line(), D::kCounting);
        }),
        D::OnceCounted([&](D& d) {
            EXPECT_EQ(d.Line(), L"3 Dateien, davon 3 umzubenennen");
            d.Press(IDOK);
        })};
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_FALSE(dlg.m_bRanOut);
    EXPECT_EQ(dlg.m_strDirectory, remembered);
    EXPECT_TRUE(boxes.Boxes().empty());
    SetEnvironmentVariableW((L"=" + Root(plain)).c_str(), nullptr);
}

// Listed by the tree, gone before the double-click leads there.
TEST_F(DirectoryDlgTest, DirectoryThatCannotBeListedSaysSoAndOkStillTakesIt) {
    TempDirectory dir;
    dir.AddDirectory(L"weg");
    ASSERT_TRUE(SetCurrentDirectoryW(dir.Path().c_str()));
    CScriptedDirectoryDlg dlg(CaseDirection::Upper);
    std::wstring entered;
    dlg.m_steps = {CScriptedDirectoryDlg::Listed(CScriptedDirectoryDlg::OnceCounted([&](CScriptedDirectoryDlg& d) {
                       EXPECT_EQ(d.Line(), L"Keine Dateien");
                       RemoveTree(dir.Path() + L"\\weg");
                       d.DoubleClick(d.m_tree.GetChildItem(d.m_tree.GetSelectedItem()));
                   })),
                   CScriptedDirectoryDlg::OnceCounted([&](CScriptedDirectoryDlg& d) {
                       entered = d.Field();
                       EXPECT_EQ(entered, d.m_tree.GetPath());
                       EXPECT_EQ(entered.substr(entered.size() - 4), L"\\weg");
                       // With the platform's reason.
                       EXPECT_EQ(d.Line(), L"Verzeichnis nicht lesbar: " + AfxSystemReason(ERROR_PATH_NOT_FOUND));
                       d.Press(IDOK);
                   })};
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_FALSE(dlg.m_bRanOut);
    EXPECT_EQ(dlg.m_strDirectory, entered);
    EXPECT_TRUE(boxes.Boxes().empty());
}

namespace {

constexpr UINT WM_RELEASE_COUNT = WM_APP + 2;

// Opens at a directory of many files and, from another thread, asks the dialog for WM_NULL and for its
// status line while the count is being made, then until the count is shown; then closes it.
// The count's message is held back until the probe has had its looks, so that they fall in the
// count however fast it is; a dialog that counted on its own thread would show no count line to
// look at, and one that stopped answering would be caught by the probe's half a minute.
class CProbedDirectoryDlg : public CDirectoryDlg {
public:
    using CDirectoryDlg::CDirectoryDlg;
    static constexpr int kLooksWhileCounting = 20;
    std::atomic<int> m_nUnanswered{0};      // questions the dialog left without an answer for 30 s
    std::atomic<int> m_nSeenCounting{0};    // of the looks before the count was let through
    std::wstring m_strFinal;

    ~CProbedDirectoryDlg() override { JoinProbe(); }
    void JoinProbe() {
        if (m_probe.joinable()) m_probe.join();
    }

protected:
    BOOL OnInitDialog() override {
        BOOL result = CDirectoryDlg::OnInitDialog();
        m_probe = std::thread([this, hDlg = m_hWnd, hLine = m_countLine.m_hWnd] { Probe(hDlg, hLine); });
        return result;
    }
    BOOL PreTranslateMessage(MSG* pMsg) override {
        if (pMsg->hwnd == m_hWnd && pMsg->message == WM_FILES_COUNTED && !m_bReleased) {
            m_held.push_back(*pMsg);
            return TRUE;
        }
        if (pMsg->hwnd == m_hWnd && pMsg->message == WM_RELEASE_COUNT) {
            m_bReleased = true;
            for (const MSG& held : m_held) PostMessage(held.message, held.wParam, held.lParam);
            return TRUE;
        }
        return CDirectoryDlg::PreTranslateMessage(pMsg);
    }

private:
    std::wstring Ask(HWND hDlg, HWND hLine) {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(hDlg, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result)) ++m_nUnanswered;
        wchar_t text[200] = {};
        if (!SendMessageTimeoutW(hLine, WM_GETTEXT, 200, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 30000, &result))
            ++m_nUnanswered;
        return text;
    }

    void Probe(HWND hDlg, HWND hLine) {
        SendMessageW(hDlg, WM_NULL, 0, 0);  // the dialog has been shown and its loop runs
        for (int i = 0; i < kLooksWhileCounting && m_nUnanswered == 0; ++i) {
            if (Ask(hDlg, hLine) == L"Dateien werden gez\u00E4hlt \u2026") ++m_nSeenCounting;
        }
        PostMessageW(hDlg, WM_RELEASE_COUNT, 0, 0);
        for (int nTurnsLeft = 6000; nTurnsLeft > 0 && m_nUnanswered == 0; --nTurnsLeft) {
            std::wstring line = Ask(hDlg, hLine);
            if (line != L"Dateien werden gez\u00E4hlt \u2026" && !line.empty()) {
                m_strFinal = line;
                break;
            }
            Sleep(5);
        }
        PostMessageW(hDlg, WM_COMMAND, IDCANCEL, 0);
    }

    std::thread m_probe;
    std::vector<MSG> m_held;  // the dialog's thread only
    bool m_bReleased = false;
};

}  // namespace

TEST_F(DirectoryDlgTest, DialogKeepsAnsweringAndShowsThatItCountsWhileItCounts) {
    TempDirectory dir;
    RunUnixShell("cd " + ShellQuote(UnixPath(dir.Path())) + " && seq -f 'Datei%05g.TXT' 2000 | xargs touch", 600000);
    ASSERT_TRUE(SetCurrentDirectoryW(dir.Path().c_str()));
    CProbedDirectoryDlg dlg(CaseDirection::Lower);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    dlg.JoinProbe();
    EXPECT_EQ(dlg.m_nUnanswered.load(), 0);
    EXPECT_EQ(dlg.m_nSeenCounting.load(), CProbedDirectoryDlg::kLooksWhileCounting);
    EXPECT_EQ(dlg.m_strFinal, L"2.000 Dateien, davon 2.000 umzubenennen");
}

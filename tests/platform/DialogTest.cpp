#include "platform/AfxWin.h"
#include "tests/platform/FrameworkTest.h"
#include "tests/support/COwnerWindow.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace {

constexpr UINT WM_PRIVATE = WM_USER + 10;
constexpr UINT WM_PROBE_SHOWN = WM_USER + 11;  // posted by m_onInit, arrives once the dialog is up

// A dialog on the test template whose initialisation arranges what the user will "do".
class CProbeDialog : public CDialog {
public:
    explicit CProbeDialog(CWnd* pParent = nullptr, UINT nTemplate = IDD_FRAMEWORK_TEST) : CDialog(nTemplate, pParent) {}

    std::function<void(CProbeDialog&)> m_onInit;
    std::function<void(CProbeDialog&)> m_onShown;  // then the dialog ends with IDOK
    CEdit m_edit;
    CString m_strText;
    int m_nSubclassed = 0;
    int m_nPreTranslated = 0;
    int m_nPrivateDispatched = 0;
    bool m_bOwnerEnabledDuringLoop = true;
    bool m_bFailExchange = false;

    HWND EditHandle() const { return ::GetDlgItem(m_hWnd, IDC_TEST_EDIT); }

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        if (!m_edit.m_hWnd && !pDX->m_bSaveAndValidate) ++m_nSubclassed;
        DDX_Control(pDX, IDC_TEST_EDIT, m_edit);
        DDX_Text(pDX, IDC_TEST_EDIT, m_strText);
        if (m_bFailExchange && pDX->m_bSaveAndValidate) pDX->Fail();
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        if (m_onInit) m_onInit(*this);
        return TRUE;
    }
    BOOL PreTranslateMessage(MSG* pMsg) override {
        if (pMsg->message == WM_PRIVATE) {
            ++m_nPreTranslated;
            PostMessage(WM_COMMAND, IDOK);
            return TRUE;
        }
        return CDialog::PreTranslateMessage(pMsg);
    }
    LRESULT OnPrivate(WPARAM, LPARAM) {
        ++m_nPrivateDispatched;
        return 0;
    }
    LRESULT OnShown(WPARAM, LPARAM) {
        if (m_onShown) m_onShown(*this);
        EndDialog(IDOK);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeDialog, CDialog)
    ON_MESSAGE(WM_PRIVATE, OnPrivate)
    ON_MESSAGE(WM_PROBE_SHOWN, OnShown)
END_MESSAGE_MAP()

void PostKey(HWND hWnd, WPARAM key) {
    PostMessageA(hWnd, WM_KEYDOWN, key, 1);
    PostMessageA(hWnd, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
}

CRect WindowRect(HWND hWnd) {
    CRect rect;
    ::GetWindowRect(hWnd, &rect);
    return rect;
}

CRect WorkArea() {
    CRect area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

// The dialog's window rectangle once it is up, and where the owner stood meanwhile.
CRect ShownRect(CProbeDialog& dlg, std::function<void(CProbeDialog&)> onInit = nullptr) {
    CRect shown;
    dlg.m_onInit = [onInit](CProbeDialog& d) {
        if (onInit) onInit(d);
        d.PostMessage(WM_PROBE_SHOWN);
    };
    dlg.m_onShown = [&shown](CProbeDialog& d) { shown = WindowRect(d.m_hWnd); };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    return shown;
}

// Centres differ by at most a pixel (odd differences of size are split by truncation).
::testing::AssertionResult SameCentre(const CRect& a, const CRect& b) {
    if (std::abs((a.left + a.right) - (b.left + b.right)) <= 1 &&
        std::abs((a.top + a.bottom) - (b.top + b.bottom)) <= 1)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << a.left << "," << a.top << ")-(" << a.right << "," << a.bottom
                                         << ") vs (" << b.left << "," << b.top << ")-(" << b.right << "," << b.bottom
                                         << ")";
}

}  // namespace

TEST(Dialog, OkButtonAndEnterGiveIdok) {
    CProbeDialog byButton;
    byButton.m_onInit = [](CProbeDialog& d) { PostMessageA(::GetDlgItem(d.m_hWnd, IDOK), BM_CLICK, 0, 0); };
    EXPECT_EQ(byButton.DoModal(), IDOK);

    CProbeDialog byEnter;
    byEnter.m_onInit = [](CProbeDialog& d) { PostKey(d.EditHandle(), VK_RETURN); };
    EXPECT_EQ(byEnter.DoModal(), IDOK);
}

TEST(Dialog, CancelEscapeAndCloseBoxGiveIdcancel) {
    CProbeDialog byButton;
    byButton.m_onInit = [](CProbeDialog& d) { PostMessageA(::GetDlgItem(d.m_hWnd, IDCANCEL), BM_CLICK, 0, 0); };
    EXPECT_EQ(byButton.DoModal(), IDCANCEL);

    CProbeDialog byEscape;
    byEscape.m_onInit = [](CProbeDialog& d) { PostKey(d.EditHandle(), VK_ESCAPE); };
    EXPECT_EQ(byEscape.DoModal(), IDCANCEL);

    CProbeDialog byCloseBox;
    byCloseBox.m_onInit = [](CProbeDialog& d) { d.PostMessage(WM_SYSCOMMAND, SC_CLOSE); };
    EXPECT_EQ(byCloseBox.DoModal(), IDCANCEL);
}

TEST(Dialog, MissingTemplateGivesMinusOne) {
    CProbeDialog dlg(nullptr, IDD_MISSING);
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST(Dialog, OwnerIsDisabledDuringTheLoopAndEnabledAfter) {
    COwnerWindow owner;
    ASSERT_NE(owner.m_hWnd, nullptr);
    CProbeDialog dlg(&owner);
    dlg.m_onInit = [&owner](CProbeDialog& d) {
        d.m_bOwnerEnabledDuringLoop = owner.IsWindowEnabled() != FALSE;
        EXPECT_EQ(::GetWindow(d.m_hWnd, GW_OWNER), owner.m_hWnd);
        d.PostMessage(WM_COMMAND, IDCANCEL);
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_FALSE(dlg.m_bOwnerEnabledDuringLoop);
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST(Dialog, MainWindowIsTheOwnerWhenNoParentIsGiven) {
    COwnerWindow main;
    AfxGetThread()->m_pMainWnd = &main;
    CProbeDialog dlg;
    HWND seenOwner = nullptr;
    dlg.m_onInit = [&seenOwner](CProbeDialog& d) {
        seenOwner = ::GetWindow(d.m_hWnd, GW_OWNER);
        d.EndDialog(IDOK);
    };
    dlg.DoModal();
    EXPECT_EQ(seenOwner, main.m_hWnd);
    AfxGetThread()->m_pMainWnd = nullptr;
}

TEST(Dialog, DataExchangeRoundTripAndControlsAttachOnce) {
    CProbeDialog dlg;
    dlg.m_strText = "vorher";
    CString shown;
    dlg.m_onInit = [&shown](CProbeDialog& d) {
        shown = d.m_edit.GetWindowTextString();
        d.m_edit.SetWindowText("nachher \xE4");
        d.UpdateData(FALSE);  // a second exchange into the controls: attaches nothing again
        d.m_edit.SetWindowText("nachher \xE4");
        d.PostMessage(WM_COMMAND, IDOK);
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(shown, "vorher");
    EXPECT_EQ(dlg.m_strText, "nachher \xE4");
    EXPECT_EQ(dlg.m_nSubclassed, 1);
    EXPECT_EQ(dlg.m_edit.m_hWnd, nullptr);  // detached when the dialog's window went
}

TEST(Dialog, FailedExchangeKeepsTheDialogOpen) {
    CProbeDialog dlg;
    dlg.m_bFailExchange = true;
    int okPresses = 0;
    dlg.m_onInit = [&okPresses](CProbeDialog& d) {
        d.PostMessage(WM_COMMAND, IDOK);
        d.PostMessage(WM_COMMAND, IDCANCEL);
        okPresses = 1;
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(okPresses, 1);
}

TEST(Dialog, PreTranslateMessageSeesPostedMessagesBeforeDispatchAndConsumesThem) {
    CProbeDialog dlg;
    dlg.m_onInit = [](CProbeDialog& d) { d.PostMessage(WM_PRIVATE); };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_nPreTranslated, 1);
    EXPECT_EQ(dlg.m_nPrivateDispatched, 0);
}

TEST(Dialog, OpensCentredOverAVisibleOwnerElseOnTheWorkAreaUnlessItPlacedItself) {
    const CRect area = WorkArea();
    {
        COwnerWindow owner({300, 200, 760, 560});
        CProbeDialog dlg(&owner);
        EXPECT_TRUE(SameCentre(ShownRect(dlg), WindowRect(owner.m_hWnd)));
    }
    {
        CProbeDialog dlg;  // no owner at all
        EXPECT_TRUE(SameCentre(ShownRect(dlg), area));
    }
    {
        COwnerWindow hidden({0, 0, 200, 200}, 0);
        CProbeDialog dlg(&hidden);
        EXPECT_TRUE(SameCentre(ShownRect(dlg), area));
    }
    {
        COwnerWindow minimised({300, 200, 760, 560});
        minimised.ShowWindow(SW_MINIMIZE);
        ASSERT_TRUE(minimised.IsIconic());
        CProbeDialog dlg(&minimised);
        EXPECT_TRUE(SameCentre(ShownRect(dlg), area));
    }
    {
        // Centred over an owner in the corner, the dialog would stick out: it stays on the work area.
        COwnerWindow corner({area.right - 60, area.bottom - 40, area.right, area.bottom});
        CProbeDialog dlg(&corner);
        CRect shown = ShownRect(dlg);
        EXPECT_EQ(shown.right, area.right);
        EXPECT_EQ(shown.bottom, area.bottom);
    }
    {
        COwnerWindow owner({300, 200, 760, 560});
        CProbeDialog dlg(&owner);
        CRect shown = ShownRect(
            dlg, [](CProbeDialog& d) { d.SetWindowPos(nullptr, 37, 41, 0, 0, SWP_NOSIZE | SWP_NOZORDER); });
        EXPECT_EQ(shown.left, 37);
        EXPECT_EQ(shown.top, 41);
    }
}

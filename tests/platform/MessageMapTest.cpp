#include "platform/AfxWin.h"
#include "tests/platform/FrameworkTest.h"
#include "tests/support/MessageBoxRecorder.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_calls;

constexpr UINT WM_BASE_ONLY = WM_USER + 1;
constexpr UINT WM_THROWS = WM_USER + 2;

class CBaseProbe : public CWnd {
public:
    BOOL Make() { return CreateEx(0, AfxRegisterWndClass(0), "probe", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr); }
    int m_nPostNcDestroy = 0;

protected:
    void OnTimer(UINT_PTR nIDEvent) { g_calls.push_back("base timer " + std::to_string(nIDEvent)); }
    LRESULT OnBaseOnly(WPARAM wParam, LPARAM) {
        g_calls.push_back("base only");
        return static_cast<LRESULT>(wParam) + 1;
    }
    LRESULT OnThrows(WPARAM, LPARAM) { throw std::runtime_error("handler failed"); }
    int OnCreate(LPCREATESTRUCT lpCreate) {
        g_calls.push_back(std::string("create ") + lpCreate->lpszName);
        return static_cast<int>(Default());
    }
    void PostNcDestroy() override { ++m_nPostNcDestroy; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseProbe, CWnd)
    ON_WM_CREATE()
    ON_WM_TIMER()
    ON_MESSAGE(WM_BASE_ONLY, OnBaseOnly)
    ON_MESSAGE(WM_THROWS, OnThrows)
END_MESSAGE_MAP()

class CDerivedProbe : public CBaseProbe {
protected:
    void OnTimer(UINT_PTR nIDEvent) { g_calls.push_back("derived timer " + std::to_string(nIDEvent)); }
    void OnMouseMove(UINT, CPoint point) {
        g_calls.push_back("move " + std::to_string(point.x) + "," + std::to_string(point.y));
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedProbe, CBaseProbe)
    ON_WM_TIMER()
    ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

// A heap window that deletes itself after its window is gone.
class CSelfDeleting : public CBaseProbe {
public:
    static int s_nDeleted;
    ~CSelfDeleting() override { ++s_nDeleted; }

protected:
    void PostNcDestroy() override { delete this; }
};
int CSelfDeleting::s_nDeleted = 0;

}  // namespace

TEST(MessageMap, DerivedHandlerWinsBaseHandlerIsReachedOthersGetDefault) {
    g_calls.clear();
    CDerivedProbe probe;
    ASSERT_TRUE(probe.Make());
    EXPECT_EQ(g_calls, (std::vector<std::string>{"create probe"}));
    g_calls.clear();

    probe.SendMessage(WM_TIMER, 7);
    EXPECT_EQ(probe.SendMessage(WM_BASE_ONLY, 41), 42);
    probe.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(-3, 5));  // signed client coordinates
    EXPECT_EQ(g_calls, (std::vector<std::string>{"derived timer 7", "base only", "move -3,5"}));

    // No entry: the platform's processing answers.
    wchar_t text[16] = {};
    EXPECT_EQ(probe.SendMessage(WM_GETTEXT, 16, reinterpret_cast<LPARAM>(text)), 5);
    EXPECT_STREQ(text, L"probe");
}

TEST(MessageMap, ExceptionsStopAtTheWindowProcedure) {
    CBaseProbe probe;
    ASSERT_TRUE(probe.Make());
    MessageBoxRecorder boxes;
    EXPECT_EQ(probe.SendMessage(WM_THROWS), 0);
    // A window that failed half-way is not left working: it goes, and the user is told.
    EXPECT_EQ(probe.m_hWnd, nullptr);
    EXPECT_EQ(boxes.Boxes().size(), 1u);
}

TEST(HandleMap, DestroyedWindowsAreForgottenAndPostNcDestroyRunsOnce) {
    CBaseProbe probe;
    ASSERT_TRUE(probe.Make());
    HWND hWnd = probe.m_hWnd;
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), &probe);
    EXPECT_EQ(CWnd::FromHandle(hWnd), &probe);
    EXPECT_TRUE(probe.DestroyWindow());
    EXPECT_EQ(probe.m_nPostNcDestroy, 1);
    EXPECT_EQ(probe.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
    EXPECT_FALSE(probe.DestroyWindow());
    EXPECT_EQ(probe.m_nPostNcDestroy, 1);
}

TEST(HandleMap, SelfDeletingWindowIsFreedAfterDestruction) {
    CSelfDeleting::s_nDeleted = 0;
    auto* pWnd = new CSelfDeleting;
    ASSERT_TRUE(pWnd->Make());
    HWND hWnd = pWnd->m_hWnd;
    ::DestroyWindow(hWnd);
    EXPECT_EQ(CSelfDeleting::s_nDeleted, 1);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
}

TEST(HandleMap, TemporaryWrappersAreNotPermanent) {
    HWND hDesktop = GetDesktopWindow();
    CWnd* pTemp = CWnd::FromHandle(hDesktop);
    ASSERT_NE(pTemp, nullptr);
    EXPECT_EQ(pTemp->m_hWnd, hDesktop);
    EXPECT_EQ(CWnd::FromHandlePermanent(hDesktop), nullptr);
    AfxDeleteTempMap();
    EXPECT_TRUE(IsWindow(hDesktop));
}

TEST(HandleMap, MainWindowIsClearedWhenItsWindowGoes) {
    CBaseProbe probe;
    ASSERT_TRUE(probe.Make());
    AfxGetThread()->m_pMainWnd = &probe;
    probe.DestroyWindow();
    EXPECT_EQ(AfxGetThread()->GetMainWnd(), nullptr);
}

TEST(RuntimeClass, KindsFollowTheBaseChain) {
    CTreeCtrl tree;
    EXPECT_TRUE(tree.IsKindOf(RUNTIME_CLASS(CTreeCtrl)));
    EXPECT_TRUE(tree.IsKindOf(RUNTIME_CLASS(CWnd)));
    EXPECT_TRUE(tree.IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(tree.IsKindOf(RUNTIME_CLASS(CDialog)));
    EXPECT_STREQ(tree.GetRuntimeClass()->m_lpszClassName, "CTreeCtrl");
    EXPECT_EQ(AfxFindRuntimeClass("CDialog"), RUNTIME_CLASS(CDialog));
}

// --- Reflection -----------------------------------------------------------------------------

namespace {

class CClickLabel : public CStatic {
public:
    int m_nClicks = 0;
    HBRUSH m_hBrush = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    UINT m_nCtlColorKind = 99;

protected:
    void OnClicked() { ++m_nClicks; }
    HBRUSH CtlColor(CDC* pDC, UINT nCtlColor) {
        m_nCtlColorKind = nCtlColor;
        pDC->SetTextColor(RGB(0, 0, 238));
        return m_hBrush;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CClickLabel, CStatic)
    ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class CDblclkTree : public CTreeCtrl {
public:
    int m_nDblclk = 0;

protected:
    void OnDblclk(NMHDR*, LRESULT* pResult) {
        ++m_nDblclk;
        *pResult = 1;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDblclkTree, CTreeCtrl)
    ON_NOTIFY_REFLECT(NM_DBLCLK, OnDblclk)
END_MESSAGE_MAP()

class CReflectDialog : public CDialog {
public:
    CReflectDialog() : CDialog(IDD_FRAMEWORK_TEST) {}
    std::function<void(CReflectDialog&)> m_onInit;
    CClickLabel m_label;
    CDblclkTree m_tree;
    int m_nParentClicks = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, IDC_TEST_LABEL, m_label);
        DDX_Control(pDX, IDC_TEST_TREE, m_tree);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        if (m_onInit) m_onInit(*this);
        EndDialog(IDOK);
        return TRUE;
    }
    void OnParentSeesEdit() { ++m_nParentClicks; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectDialog, CDialog)
    ON_CONTROL(EN_CHANGE, IDC_TEST_EDIT, OnParentSeesEdit)
END_MESSAGE_MAP()

}  // namespace

TEST(Reflection, ControlsHandleTheirOwnNotificationsAndResultsReachThePlatform) {
    CReflectDialog dlg;
    dlg.m_onInit = [](CReflectDialog& d) {
        HWND hLabel = d.m_label.m_hWnd;
        d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TEST_LABEL, STN_CLICKED), reinterpret_cast<LPARAM>(hLabel));
        EXPECT_EQ(d.m_label.m_nClicks, 1);

        NMHDR header{d.m_tree.m_hWnd, IDC_TEST_TREE, static_cast<UINT>(NM_DBLCLK)};
        EXPECT_EQ(d.SendMessage(WM_NOTIFY, IDC_TEST_TREE, reinterpret_cast<LPARAM>(&header)), 1);
        EXPECT_EQ(d.m_tree.m_nDblclk, 1);

        {
            CClientDC dc(hLabel);
            LRESULT brush = d.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.m_hDC),
                                          reinterpret_cast<LPARAM>(hLabel));
            EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), d.m_label.m_hBrush);
            EXPECT_EQ(d.m_label.m_nCtlColorKind, UINT(CTLCOLOR_STATIC));
            EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 238));
        }

        // A child without its own entry leaves the notification to the parent's map.
        SetDlgItemTextA(d.m_hWnd, IDC_TEST_EDIT, "typed");
        EXPECT_EQ(d.m_nParentClicks, 1);
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
}

TEST(Reflection, ARealClickOnTheLabelReachesItsHandler) {
    CReflectDialog dlg;
    dlg.m_onInit = [](CReflectDialog& d) {
        RECT rect;
        d.m_label.GetWindowRect(&rect);
        SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        POINT inside{2, 2};
        d.m_label.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(inside.x, inside.y));
        d.m_label.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(inside.x, inside.y));
        EXPECT_EQ(d.m_label.m_nClicks, 1);
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
}

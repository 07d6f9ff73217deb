// An exception that reaches a window procedure: nothing unwinds through the window manager,
// the window it belongs to ends (a dialog with -1, also while it is being made) and the user
// is told once, in a box over the window's owner.
#include "platform/AfxWin.h"
#include "tests/platform/FrameworkTest.h"
#include "tests/platform/LoopWatchdog.h"
#include "tests/support/MessageBoxRecorder.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace {

constexpr UINT WM_FAULT = WM_USER + 30;

// Throws from its handler of WM_FAULT, as a control of the program might.
class CFaultyWnd : public CWnd {
protected:
    LRESULT OnFault(WPARAM, LPARAM) { throw std::runtime_error("index 7 out of range"); }
    LRESULT OnOddFault(WPARAM, LPARAM) { throw 42; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CFaultyWnd, CWnd)
    ON_MESSAGE(WM_FAULT, OnFault)
    ON_MESSAGE(WM_FAULT + 1, OnOddFault)
END_MESSAGE_MAP()

class CInitDialog : public CDialog {
public:
    explicit CInitDialog(CWnd* pParent) : CDialog(IDD_FRAMEWORK_TEST, pParent) {}
    std::function<void(CInitDialog&)> m_onInit;
    CFaultyWnd m_edit;

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        m_edit.SubclassDlgItem(IDC_TEST_EDIT, this);
        if (m_onInit) m_onInit(*this);
        return TRUE;
    }
};

class COwnerWindow : public CWnd {
public:
    COwnerWindow() {
        CreateEx(0, AfxRegisterWndClass(0), "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 200, nullptr,
                 nullptr);
    }
};

void ExpectOneFaultBox(const MessageBoxRecorder& boxes, HWND hOwner) {
    ASSERT_EQ(boxes.Boxes().size(), 1u) << "the user was not told once";
    const MessageBoxRequest& box = boxes.Boxes()[0];
    EXPECT_EQ(box.hOwner, hOwner);
    EXPECT_EQ(box.caption, AfxToWide(AfxGetAppName()));
    EXPECT_TRUE(box.flags & MB_ICONERROR);
    EXPECT_NE(box.text.find(L"Fehler"), std::wstring::npos) << ::testing::PrintToString(box.text);
}

}  // namespace

TEST(WindowProcFault, ADialogFailingWhileItIsMadeEndsWithMinusOneAndTheUserIsTold) {
    COwnerWindow owner;
    CInitDialog dlg(&owner);
    dlg.m_onInit = [](CInitDialog&) { throw std::length_error("path longer than the buffer"); };
    MessageBoxRecorder boxes;
    LoopWatchdog watchdog;
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_FALSE(watchdog.Fired()) << "the half-made dialog stayed up";
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_TRUE(owner.IsWindowEnabled());
    ExpectOneFaultBox(boxes, owner.m_hWnd);
    EXPECT_NE(boxes.Texts()[0].find(L"path longer than the buffer"), std::wstring::npos)
        << ::testing::PrintToString(boxes.Texts()[0]);
}

TEST(WindowProcFault, AControlFailingInARunningDialogEndsTheDialogAndTheUserIsToldOnce) {
    COwnerWindow owner;
    CInitDialog dlg(&owner);
    dlg.m_onInit = [](CInitDialog& d) {
        d.m_edit.PostMessage(WM_FAULT);
        d.m_edit.PostMessage(WM_FAULT);  // a second fault of the same dialog tells nothing new
    };
    MessageBoxRecorder boxes;
    LoopWatchdog watchdog;
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_FALSE(watchdog.Fired()) << "the dialog went on after its control failed";
    EXPECT_TRUE(owner.IsWindowEnabled());
    ExpectOneFaultBox(boxes, owner.m_hWnd);
    EXPECT_NE(boxes.Texts()[0].find(L"index 7 out of range"), std::wstring::npos);
}

TEST(WindowProcFault, AWindowOfItsOwnIsDestroyedAndAFaultWithoutAnExceptionTypeIsToldToo) {
    CFaultyWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "faulty", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    HWND hWnd = wnd.m_hWnd;
    MessageBoxRecorder boxes;
    EXPECT_EQ(wnd.SendMessage(WM_FAULT + 1), 0);
    EXPECT_FALSE(IsWindow(hWnd));
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    ExpectOneFaultBox(boxes, nullptr);
}

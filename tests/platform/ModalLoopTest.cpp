// The modal loop's ways out other than EndDialog: the dialog's window destroyed under it, and
// a message fetch that fails. The loop must end, give the owner back and leave the thread's
// queue as it was; a loop that would wait for ever is ended by a watchdog, and that fails.
#include "platform/AfxWin.h"
#include "tests/platform/FrameworkTest.h"
#include "tests/platform/LoopWatchdog.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

class CInitDialog : public CDialog {
public:
    explicit CInitDialog(CWnd* pParent = nullptr) : CDialog(IDD_FRAMEWORK_TEST, pParent) {}
    std::function<void(CInitDialog&)> m_onInit;

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
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

HWND g_hDoomed = nullptr;

void CALLBACK DestroyDoomed(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    DestroyWindow(g_hDoomed);
}

bool QuitIsQueued() {
    MSG msg;
    return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
}

}  // namespace

TEST(ModalLoop, ADialogDestroyedWithoutEndDialogEndsItsLoopAsIfClosedAndGivesTheOwnerBack) {
    COwnerWindow owner;
    ASSERT_NE(owner.m_hWnd, nullptr);
    {
        // DestroyWindow from a timer, while the loop waits for messages.
        CInitDialog dlg(&owner);
        dlg.m_onInit = [](CInitDialog& d) {
            g_hDoomed = d.m_hWnd;
            SetTimer(nullptr, 0, 50, &DestroyDoomed);
        };
        LoopWatchdog watchdog;
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_FALSE(watchdog.Fired()) << "the loop went on after its window was destroyed";
        EXPECT_EQ(dlg.m_hWnd, nullptr);
        EXPECT_TRUE(owner.IsWindowEnabled()) << "the owner was left disabled";
        EXPECT_FALSE(QuitIsQueued());
    }
}

TEST(ModalLoop, AnOwnerClosingTakesItsDialogAndTheLoopWithIt) {
    COwnerWindow owner;
    HWND hOwner = owner.m_hWnd;
    CInitDialog dlg(&owner);
    dlg.m_onInit = [hOwner](CInitDialog&) {
        g_hDoomed = hOwner;
        SetTimer(nullptr, 0, 50, &DestroyDoomed);
    };
    LoopWatchdog watchdog;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_FALSE(watchdog.Fired()) << "the loop went on after its owner took the dialog away";
    EXPECT_FALSE(IsWindow(hOwner));
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_EQ(owner.m_hWnd, nullptr);
}

TEST(ModalLoop, AFailedFetchEndsTheDialogWithoutReadingTheUnfilledMessage) {
    COwnerWindow owner;
    CInitDialog dlg(&owner);
    int fetches = 0;
    // The platform answers -1 once, after the dialog is up, and fills in nothing.
    MessageFetcher previous = AfxSetMessageFetcher([&fetches](MSG* pMsg) -> BOOL {
        if (++fetches == 1) {
            memset(pMsg, 0x5A, sizeof *pMsg);  // what an unfilled message may hold
            return -1;
        }
        return GetMessageW(pMsg, nullptr, 0, 0);
    });
    LoopWatchdog watchdog;
    INT_PTR result = dlg.DoModal();
    AfxSetMessageFetcher(previous);
    EXPECT_EQ(result, -1);
    EXPECT_EQ(fetches, 1);
    EXPECT_FALSE(QuitIsQueued()) << "a quit made of the unfilled message was posted";
    EXPECT_FALSE(watchdog.Fired());
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_TRUE(owner.IsWindowEnabled());

    // The thread's own loop ends too, with an exit code of its own, not the message's.
    fetches = 0;
    previous = AfxSetMessageFetcher([&fetches](MSG* pMsg) -> BOOL {
        ++fetches;
        memset(pMsg, 0x5A, sizeof *pMsg);
        return -1;
    });
    CWinThread thread;
    int exitCode = thread.Run();
    AfxSetMessageFetcher(previous);
    EXPECT_EQ(fetches, 1);
    EXPECT_EQ(exitCode, -1);
}

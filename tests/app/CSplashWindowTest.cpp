#include "app/CSplashWindow.h"
#include "tests/app/GuardedHeap.h"
#include "tests/app/MessagePump.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

// The splash's owner, standing in for the main dialog: counts its paints.
class COwnerWindow : public CWnd {
public:
    COwnerWindow() {
        CreateEx(0, AfxRegisterWndClass(0), "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 212, 134, 600, 500, nullptr,
                 nullptr);
    }
    int m_nPaints = 0;

protected:
    void OnPaint() {
        ++m_nPaints;
        CPaintDC dc(this);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(COwnerWindow, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()

class SplashTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(m_owner.m_hWnd, nullptr);
        CSplashWindow::SetAllowed(TRUE);
    }
    void TearDown() override {
        if (CSplashWindow::s_instance) CSplashWindow::s_instance->DestroyWindow();
        CSplashWindow::SetAllowed(FALSE);
        AfxGetThread()->m_pMainWnd = nullptr;
    }
    static HWND SplashHandle() { return CSplashWindow::s_instance ? CSplashWindow::s_instance->m_hWnd : nullptr; }

    COwnerWindow m_owner;
};

RECT WindowRect(HWND hWnd) {
    RECT rect{};
    GetWindowRect(hWnd, &rect);
    return rect;
}

}  // namespace

TEST_F(SplashTest, NotAllowedShowsNothing) {
    CSplashWindow::SetAllowed(FALSE);
    CSplashWindow::ShowSplash(&m_owner);
    EXPECT_EQ(CSplashWindow::s_instance, nullptr);
    EXPECT_EQ(GetWindow(m_owner.m_hWnd, GW_ENABLEDPOPUP), nullptr);
}

TEST_F(SplashTest, BorderlessPictureCentredOverItsOwner) {
    CSplashWindow::ShowSplash(&m_owner);
    HWND hSplash = SplashHandle();
    ASSERT_NE(hSplash, nullptr);
    EXPECT_EQ(GetWindow(hSplash, GW_OWNER), m_owner.m_hWnd);
    EXPECT_TRUE(IsWindowVisible(hSplash));
    DWORD style = static_cast<DWORD>(GetWindowLongA(hSplash, GWL_STYLE));
    EXPECT_EQ(style & ~WS_CLIPSIBLINGS, static_cast<DWORD>(WS_POPUP | WS_VISIBLE));
    EXPECT_EQ(GetWindowLongA(hSplash, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0);
    EXPECT_EQ(GetClassLongPtrA(hSplash, GCLP_HBRBACKGROUND), 0);
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrA(hSplash, GCLP_HCURSOR)), LoadCursorA(nullptr, IDC_ARROW));

    RECT splash = WindowRect(hSplash);
    RECT owner = WindowRect(m_owner.m_hWnd);
    EXPECT_EQ(splash.right - splash.left, 520);
    EXPECT_EQ(splash.bottom - splash.top, 317);
    EXPECT_LE(std::abs((splash.left + splash.right) - (owner.left + owner.right)), 1);
    EXPECT_LE(std::abs((splash.top + splash.bottom) - (owner.top + owner.bottom)), 1);
}

TEST_F(SplashTest, ShowsTheBitmapAtOnce) {
    CSplashWindow::ShowSplash(&m_owner);
    HWND hSplash = SplashHandle();
    ASSERT_NE(hSplash, nullptr);
    // The splash has been painted before ShowSplash returned: its pixels are the bitmap's.
    CDC memDC;
    ASSERT_TRUE(memDC.CreateCompatibleDC(nullptr));
    CObjectSelection bitmap(memDC, CSplashWindow::s_instance->m_splashBitmap.m_hObject);
    CClientDC windowDC(hSplash);
    int same = 0;
    const POINT probes[] = {{5, 5}, {260, 150}, {100, 290}, {510, 300}, {400, 60}};
    for (POINT p : probes) same += GetPixel(windowDC, p.x, p.y) == GetPixel(memDC, p.x, p.y);
    EXPECT_EQ(same, 5);
}

TEST_F(SplashTest, SecondRequestKeepsTheFirstSplashAndItsTimer) {
    // Taken before the splash is made: its timer starts while it is being created, and showing
    // it may take tens of milliseconds more under load.
    auto start = std::chrono::steady_clock::now();
    CSplashWindow::ShowSplash(&m_owner);
    CSplashWindow* first = CSplashWindow::s_instance;
    HWND hFirst = SplashHandle();
    ASSERT_NE(first, nullptr);
    PumpFor(400);
    CSplashWindow::ShowSplash(&m_owner);
    EXPECT_EQ(CSplashWindow::s_instance, first);
    EXPECT_EQ(SplashHandle(), hFirst);
    // It still leaves 750 ms after its own creation, not after the second request.
    ASSERT_TRUE(PumpUntil([] { return CSplashWindow::s_instance == nullptr; }, 3000));
    // The second request's timer would go after 1,150 ms.
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    EXPECT_GE(elapsed.count(), 745);  // room for the clocks' rounding
    EXPECT_LT(elapsed.count(), 1100);
    EXPECT_FALSE(IsWindow(hFirst));
}

TEST_F(SplashTest, KeysAndClicksDoNotRemoveIt) {
    CSplashWindow::ShowSplash(&m_owner);
    HWND hSplash = SplashHandle();
    ASSERT_NE(hSplash, nullptr);
    KillTimer(hSplash, 1);  // only the input may act here
    for (UINT message : {WM_KEYDOWN, WM_KEYUP, WM_CHAR}) PostMessageA(hSplash, message, VK_ESCAPE, 1);
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_LBUTTONDBLCLK})
        PostMessageA(hSplash, message, 0, MAKELPARAM(20, 20));
    PumpFor(200);
    EXPECT_NE(CSplashWindow::s_instance, nullptr);
    EXPECT_TRUE(IsWindow(hSplash));
}

TEST_F(SplashTest, AnyTimerIdRemovesItAndRepaintsTheMainWindow) {
    AfxGetThread()->m_pMainWnd = &m_owner;
    for (WPARAM id : {WPARAM{1}, WPARAM{0}, WPARAM{77}}) {
        CSplashWindow::ShowSplash(&m_owner);
        HWND hSplash = SplashHandle();
        ASSERT_NE(hSplash, nullptr);
        PumpFor(50);
        int paintsBefore = m_owner.m_nPaints;
        // What the splash covered is invalid now; dismissing must repaint it without a loop.
        InvalidateRect(m_owner.m_hWnd, nullptr, FALSE);
        SendMessageA(hSplash, WM_TIMER, id, 0);
        EXPECT_EQ(CSplashWindow::s_instance, nullptr) << "timer id " << id;
        EXPECT_FALSE(IsWindow(hSplash));
        EXPECT_EQ(m_owner.m_nPaints, paintsBefore + 1);
    }
}

TEST_F(SplashTest, ClosingTheOwnerFirstTakesTheSplashWithIt) {
    CSplashWindow::ShowSplash(&m_owner);
    HWND hSplash = SplashHandle();
    ASSERT_NE(hSplash, nullptr);
    m_owner.DestroyWindow();
    EXPECT_FALSE(IsWindow(hSplash));
    EXPECT_EQ(CSplashWindow::s_instance, nullptr);
    // A later request makes a new one.
    COwnerWindow another;
    CSplashWindow::ShowSplash(&another);
    EXPECT_NE(CSplashWindow::s_instance, nullptr);
}

TEST_F(SplashTest, NoOwnerStillWorks) {
    CSplashWindow::ShowSplash(nullptr);
    HWND hSplash = SplashHandle();
    ASSERT_NE(hSplash, nullptr);
    EXPECT_EQ(GetWindow(hSplash, GW_OWNER), nullptr);
    SendMessageA(hSplash, WM_TIMER, 1, 0);
    EXPECT_EQ(CSplashWindow::s_instance, nullptr);
}

namespace {

// Destroys the splash window when it is sent g_destroyAt, before its own handler runs.
UINT g_destroyAt = 0;
bool g_destroyed = false;

LRESULT CALLBACK DestroySplashMidway(int nCode, WPARAM wParam, LPARAM lParam) {
    auto* sent = reinterpret_cast<CWPSTRUCT*>(lParam);
    CSplashWindow* pSplash = CSplashWindow::s_instance;
    if (nCode == HC_ACTION && !g_destroyed && sent->message == g_destroyAt && pSplash &&
        sent->hwnd == pSplash->m_hWnd) {
        g_destroyed = true;
        DestroyWindow(sent->hwnd);
    }
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
}

}  // namespace

TEST_F(SplashTest, WindowDestroyedDuringItsCreationIsFreedOnceAndNotTouchedAgain) {
    // From the first message of the window to its showing: WM_WINDOWPOSCHANGING comes first
    // from the centring inside the creation handler.
    for (UINT stage : {UINT(WM_NCCREATE), UINT(WM_CREATE), UINT(WM_WINDOWPOSCHANGING), UINT(WM_SHOWWINDOW)}) {
        g_destroyAt = stage;
        g_destroyed = false;
        GuardedHeap::Watch(sizeof(CSplashWindow));
        CHookHandle hook(SetWindowsHookExA(WH_CALLWNDPROC, &DestroySplashMidway, nullptr, GetCurrentThreadId()));
        CSplashWindow::ShowSplash(&m_owner);
        hook.Close();
        EXPECT_TRUE(g_destroyed) << "message " << stage;
        EXPECT_EQ(CSplashWindow::s_instance, nullptr) << "message " << stage;
        EXPECT_EQ(GuardedHeap::Deletes(), 1) << "message " << stage;
        EXPECT_EQ(GuardedHeap::DoubleDeletes(), 0) << "message " << stage;
        GuardedHeap::Watch(0);
        EXPECT_EQ(GetWindow(m_owner.m_hWnd, GW_ENABLEDPOPUP), nullptr) << "message " << stage;
    }
    // The next request shows a splash as usual.
    CSplashWindow::ShowSplash(&m_owner);
    EXPECT_NE(SplashHandle(), nullptr);
}

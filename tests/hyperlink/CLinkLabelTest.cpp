#include "hyperlink/CLinkLabel.h"

#include "tests/support/HttpsOpener.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TempDirectory.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// A top-level window holding static controls that carry the dialogs' font.
class LabelHost {
public:
    LabelHost() {
        m_parent.CreateEx(0, AfxRegisterWndClass(0, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)), "host",
                          WS_POPUP | WS_VISIBLE, 50, 50, 400, 300, nullptr, nullptr);
        LOGFONTW font{};
        font.lfHeight = -11;
        lstrcpyW(font.lfFaceName, L"MS Sans Serif");
        m_font.CreateFontIndirect(&font);
    }

    HWND AddStatic(const char* text, DWORD style, RECT rect) {
        HWND hStatic = CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                                       rect.right - rect.left, rect.bottom - rect.top, m_parent.m_hWnd, nullptr,
                                       nullptr, nullptr);
        SendMessageA(hStatic, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.m_hObject), FALSE);
        return hStatic;
    }

    // The extent the label measures with: the host font, underlined.
    SIZE Extent(const char* text) const {
        LOGFONTW logFont{};
        GetObjectW(m_font.m_hObject, sizeof logFont, &logFont);
        logFont.lfUnderline = TRUE;
        CFont underlined;
        underlined.CreateFontIndirect(&logFont);
        CClientDC dc(m_parent.m_hWnd);
        CObjectSelection font(dc, underlined.m_hObject);
        SIZE extent{};
        GetTextExtentPoint32A(dc, text, lstrlenA(text), &extent);
        return extent;
    }

    CRect RectInParent(HWND hWnd) const {
        CRect rect;
        ::GetWindowRect(hWnd, &rect);
        ::MapWindowPoints(nullptr, m_parent.m_hWnd, reinterpret_cast<LPPOINT>(&rect), 2);
        return rect;
    }

    COLORREF PaintColor(HWND hLabel) {
        CClientDC dc(hLabel);
        SetTextColor(dc, RGB(1, 2, 3));
        m_parent.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(static_cast<HDC>(dc)),
                             reinterpret_cast<LPARAM>(hLabel));
        return GetTextColor(dc);
    }

    void Click(HWND hLabel) {
        m_parent.SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hLabel), STN_CLICKED),
                             reinterpret_cast<LPARAM>(hLabel));
    }

    CWnd m_parent;
    CFont m_font;
};

const char* const kAddress = "https://umbrix.example.org";

}  // namespace

namespace {

UINT g_addToolSize = 0;

LRESULT CALLBACK WatchAddTool(int nCode, WPARAM wParam, LPARAM lParam) {
    auto* sent = reinterpret_cast<CWPSTRUCT*>(lParam);
    if (nCode == HC_ACTION && sent->message == TTM_ADDTOOLW)
        g_addToolSize = reinterpret_cast<TOOLINFOW*>(sent->lParam)->cbSize;
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
}

}  // namespace

TEST(CLinkLabel, AttachmentAddsNotifyUnderlinesAndTakesTheTextAsAddress) {
    LabelHost host;
    CLinkLabel label;
    g_addToolSize = 0;
    CHookHandle hook(SetWindowsHookExA(WH_CALLWNDPROC, &WatchAddTool, nullptr, GetCurrentThreadId()));
    ASSERT_TRUE(label.SubclassWindow(host.AddStatic(kAddress, SS_LEFT, {12, 130, 113, 143})));
    hook.Close();
    EXPECT_TRUE(label.GetStyle() & SS_NOTIFY);
    EXPECT_EQ(label.m_url, kAddress);
    LOGFONTA used{};
    GetObjectA(label.GetFontHandle(), sizeof used, &used);
    EXPECT_EQ(used.lfUnderline, 1);
    EXPECT_EQ(label.GetFontHandle(), label.GetLinkFont());
    EXPECT_NE(label.GetHoverCursor(), nullptr);  // the system's hand: the prefix has no help program
    EXPECT_NE(label.GetToolTip().m_hWnd, nullptr);

    // One tool: the label's client area after fitting, with the address as its text, registered
    // with a record size that every version of the common controls takes (Wine takes any).
    EXPECT_GT(g_addToolSize, 0u);
    EXPECT_LE(g_addToolSize, static_cast<UINT>(TTTOOLINFOW_V2_SIZE));
    EXPECT_EQ(label.GetToolTip().SendMessage(TTM_GETTOOLCOUNT), 1);
    wchar_t text[256] = {};
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.lpszText = text;
    ASSERT_TRUE(label.GetToolTip().SendMessage(TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_EQ(tool.hwnd, label.m_hWnd);
    EXPECT_EQ(tool.uId, 1u);
    CRect client;
    label.GetClientRect(&client);
    EXPECT_TRUE(EqualRect(&tool.rect, &client));
    EXPECT_EQ(client.Width(), host.Extent(kAddress).cx);
    EXPECT_EQ(client.Height(), host.Extent(kAddress).cy);
    EXPECT_EQ(std::wstring(text), AfxToWide(kAddress));
}

TEST(CLinkLabel, EmptyTemplateTextLeavesAddressAndTextEmpty) {
    LabelHost host;
    CLinkLabel label;
    ASSERT_TRUE(label.SubclassWindow(host.AddStatic("", SS_LEFT, {0, 0, 50, 10})));
    EXPECT_TRUE(label.m_url.IsEmpty());
    EXPECT_TRUE(label.GetWindowTextString().IsEmpty());
}

TEST(CLinkLabel, FitToTextKeepsTheSideItsAlignmentNames) {
    LabelHost host;
    SIZE text = host.Extent(kAddress);

    CLinkLabel left;
    left.SubclassWindow(host.AddStatic(kAddress, SS_LEFT, {12, 130, 113, 143}));
    CRect r = host.RectInParent(left.m_hWnd);
    EXPECT_EQ(r.left, 12);
    EXPECT_EQ(r.top, 130);
    EXPECT_EQ(r.Width(), text.cx);
    EXPECT_EQ(r.Height(), text.cy);

    // Odd differences show that the halves are truncated toward zero, not rounded.
    CLinkLabel centredImage;
    int oldHeight = text.cy - 3;  // d = -3 / 2 = -1: one pixel out at top and bottom
    centredImage.SubclassWindow(host.AddStatic(kAddress, SS_LEFT | SS_CENTERIMAGE, {10, 40, 300, 40 + oldHeight}));
    r = host.RectInParent(centredImage.m_hWnd);
    EXPECT_EQ(r.top, 39);
    EXPECT_EQ(r.Height(), oldHeight + 2);

    CLinkLabel centred;
    int oldWidth = text.cx + 39;  // d = 19: the new width is one more than the text's
    centred.SubclassWindow(host.AddStatic(kAddress, SS_CENTER, {10, 70, 10 + oldWidth, 80}));
    r = host.RectInParent(centred.m_hWnd);
    EXPECT_EQ(r.left, 29);
    EXPECT_EQ(r.Width(), text.cx + 1);

    CLinkLabel right;
    right.SubclassWindow(host.AddStatic(kAddress, SS_RIGHT, {10, 100, 390, 110}));
    r = host.RectInParent(right.m_hWnd);
    EXPECT_EQ(r.right, 390);
    EXPECT_EQ(r.left, 390 - text.cx);
}

TEST(CLinkLabel, FitToTextOffLeavesTheRectangle) {
    LabelHost host;
    CLinkLabel label;
    label.m_fitToText = FALSE;
    label.SubclassWindow(host.AddStatic(kAddress, SS_LEFT, {12, 130, 113, 143}));
    CRect r = host.RectInParent(label.m_hWnd);
    EXPECT_EQ(r.Width(), 101);
    EXPECT_EQ(r.Height(), 13);
}

TEST(CLinkLabel, HoverTakesCaptureAndTheEdgesCountAsOutside) {
    LabelHost host;
    CLinkLabel label;
    HWND hLabel = host.AddStatic(kAddress, SS_LEFT, {10, 10, 200, 20});
    label.SubclassWindow(hLabel);
    CRect client;
    label.GetClientRect(&client);
    EXPECT_EQ(host.PaintColor(hLabel), RGB(0, 0, 238));

    label.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    EXPECT_TRUE(label.IsHovering());
    EXPECT_EQ(GetCapture(), hLabel);
    EXPECT_EQ(host.PaintColor(hLabel), label.GetHoverColor());

    label.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(client.right - 1, client.bottom - 1));
    EXPECT_TRUE(label.IsHovering());
    label.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(client.right, 0));
    EXPECT_FALSE(label.IsHovering());
    EXPECT_NE(GetCapture(), hLabel);

    label.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    label.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(0, client.bottom));
    EXPECT_FALSE(label.IsHovering());
    label.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    label.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(static_cast<WORD>(-1), 2));  // left of the label
    EXPECT_FALSE(label.IsHovering());

    // Losing the capture ends hovering: to another window (Alt+Space's menu), or released.
    label.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    ASSERT_EQ(GetCapture(), hLabel);
    SetCapture(host.m_parent.m_hWnd);
    EXPECT_FALSE(label.IsHovering());
    EXPECT_EQ(host.PaintColor(hLabel), RGB(0, 0, 238));
    ReleaseCapture();
    label.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    ASSERT_EQ(GetCapture(), hLabel);
    ReleaseCapture();
    EXPECT_FALSE(label.IsHovering());
    label.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_TRUE(label.IsHovering());  // and the next move over it starts hovering again
    EXPECT_EQ(GetCapture(), hLabel);
    ReleaseCapture();
}

TEST(CLinkLabel, PointerIsTheLabelsOwn) {
    LabelHost host;
    CLinkLabel label;
    label.SubclassWindow(host.AddStatic(kAddress, SS_LEFT, {10, 10, 200, 20}));
    EXPECT_EQ(
        label.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(label.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
        TRUE);
    EXPECT_EQ(GetCursor(), label.GetHoverCursor());
}

TEST(CLinkLabel, SuccessfulClickMarksVisitedFailedClickBeepsReportsAndClears) {
    LabelHost host;
    TempDirectory records;
    SetEnvironmentVariableA("UMBRIX_LINK_RECORDS", records.AnsiPath().c_str());
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string opener = self;
    opener = opener.substr(0, opener.rfind('\\') + 1) + "link_recorder.exe";

    // An address the shell can open: with the tests' recorder as the prefix's https program.
    HttpsOpener https(opener);
    CLinkLabel label;
    HWND hLabel = host.AddStatic(kAddress, SS_LEFT, {10, 10, 380, 20});
    label.SubclassWindow(hLabel);
    MessageBoxRecorder boxes;
    host.Click(hLabel);
    EXPECT_TRUE(label.IsVisited());
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(host.PaintColor(hLabel), RGB(85, 26, 139));
    label.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    EXPECT_EQ(host.PaintColor(hLabel), label.GetHoverColor());  // hovering wins over visited
    label.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(30000, 1));
    EXPECT_EQ(host.PaintColor(hLabel), RGB(85, 26, 139));

    // A scheme that is never passed on: refused as access denied.
    label.m_url = "umbrixtest-nowhere:abc";
    host.Click(hLabel);
    EXPECT_FALSE(label.IsVisited());
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text,
              L"Unable to open hyperlink:\n\nThe operating system denied\naccess to the specified file.");
    EXPECT_EQ(boxes.Boxes()[0].flags, 48u);
    EXPECT_EQ(host.PaintColor(hLabel), RGB(0, 0, 238));
    for (int waited = 0; records.Names().empty() && waited < 5000; waited += 20) Sleep(20);
}

namespace {

HWND g_hTip = nullptr;
std::vector<UINT> g_relayed;

LRESULT CALLBACK WatchTooltip(int nCode, WPARAM wParam, LPARAM lParam) {
    auto* sent = reinterpret_cast<CWPSTRUCT*>(lParam);
    if (nCode == HC_ACTION && sent->hwnd == g_hTip && sent->message == TTM_RELAYEVENT)
        g_relayed.push_back(reinterpret_cast<MSG*>(sent->lParam)->message);
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
}

}  // namespace

TEST(CLinkLabel, EveryMessageIsRelayedToTheTooltipAndNoneConsumed) {
    LabelHost host;
    CLinkLabel label;
    label.SubclassWindow(host.AddStatic(kAddress, SS_LEFT, {10, 10, 200, 20}));
    g_hTip = label.GetToolTip().m_hWnd;
    g_relayed.clear();
    CHookHandle hook(SetWindowsHookExA(WH_CALLWNDPROC, &WatchTooltip, nullptr, GetCurrentThreadId()));
    for (UINT message : {UINT(WM_MOUSEMOVE), UINT(WM_LBUTTONDOWN), UINT(WM_KEYDOWN), UINT(WM_USER + 3)}) {
        MSG msg{label.m_hWnd, message, 0, 0, 0, {0, 0}};
        EXPECT_FALSE(AfxPreTranslateMessage(&msg)) << message;
    }
    hook.Close();
    EXPECT_EQ(g_relayed, (std::vector<UINT>{WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_KEYDOWN, WM_USER + 3}));
}

namespace {

// The label's pixels as they are on the screen, row by row.
std::vector<COLORREF> Pixels(HWND hLabel) {
    UpdateWindow(GetParent(hLabel));
    UpdateWindow(hLabel);
    CRect client;
    GetClientRect(hLabel, &client);
    CClientDC screen(hLabel);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < client.Height(); ++y)
        for (int x = 0; x < client.Width(); ++x) pixels.push_back(GetPixel(screen, x, y));
    return pixels;
}

// The places where two pictures of the label differ lie all on its edge (the focus rectangle).
void ExpectDifferenceOnTheEdgeOnly(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b, HWND hLabel) {
    CRect client;
    GetClientRect(hLabel, &client);
    ASSERT_EQ(a.size(), b.size());
    int nDiffering = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] == b[i]) continue;
        ++nDiffering;
        int x = static_cast<int>(i) % client.Width();
        int y = static_cast<int>(i) / client.Width();
        EXPECT_TRUE(x == 0 || y == 0 || x == client.Width() - 1 || y == client.Height() - 1) << x << "," << y;
    }
    EXPECT_GT(nDiffering, 0);
}

}  // namespace

// Each painting starts from the parent's background: the focus rectangle comes and goes
// without traces, and repainting the focused label (hover, a visit) draws it again the same.
TEST(CLinkLabel, FocusShowsTheFocusRectangleOnceAndLeavesNoTraceWhenItGoes) {
    LabelHost host;
    CLinkLabel label;
    HWND hLabel = host.AddStatic(kAddress, SS_LEFT | WS_TABSTOP, {10, 10, 200, 20});
    label.SubclassWindow(hLabel);
    SetForegroundWindow(host.m_parent.m_hWnd);
    // As after the first Tab. (Wine shows keyboard cues always: it never sets them hidden.)
    host.m_parent.SendMessage(WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS));
    const std::vector<COLORREF> plain = Pixels(hLabel);

    SetFocus(hLabel);
    ASSERT_EQ(GetFocus(), hLabel);
    const std::vector<COLORREF> focused = Pixels(hLabel);
    ExpectDifferenceOnTheEdgeOnly(plain, focused, hLabel);

    label.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    label.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(30000, 1));
    EXPECT_EQ(Pixels(hLabel), focused);
    label.Invalidate(FALSE);  // a repaint without erasing
    EXPECT_EQ(Pixels(hLabel), focused);

    SetFocus(host.m_parent.m_hWnd);
    EXPECT_EQ(Pixels(hLabel), plain);
}

// This Wine cannot switch high contrast on (SPI_SETHIGHCONTRAST fails), so the colours are
// read for both settings.
TEST(CLinkLabel, HighContrastTakesTheSystemsLinkAndTextColours) {
    LabelHost host;
    CLinkLabel label;
    HWND hLabel = host.AddStatic(kAddress, SS_LEFT, {10, 10, 200, 20});
    label.SubclassWindow(hLabel);
    EXPECT_EQ(label.GetTextColor(TRUE), GetSysColor(COLOR_HOTLIGHT));
    EXPECT_EQ(label.GetTextColor(FALSE), RGB(0, 0, 238));
    label.MarkVisited(TRUE);
    EXPECT_EQ(label.GetTextColor(TRUE), GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(label.GetTextColor(FALSE), RGB(85, 26, 139));
    label.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    EXPECT_EQ(label.GetTextColor(TRUE), label.GetHoverColor());
    ReleaseCapture();
}

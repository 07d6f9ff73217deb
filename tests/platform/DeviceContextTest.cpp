// The drawing state of a device context goes back to what it was, by the owner that changed it.
#include "platform/AfxWin.h"

#include <gtest/gtest.h>

#include <cwchar>

TEST(DeviceContexts, AWindowsContextGetsBackTheFontASelectionReplaced) {
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "dc", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    LOGFONTW logFont{};
    logFont.lfHeight = 20;
    std::wcscpy(logFont.lfFaceName, L"Arial");
    CFont font;
    ASSERT_TRUE(font.CreateFontIndirect(&logFont));

    CClientDC dc(wnd.m_hWnd);
    ASSERT_NE(dc.m_hDC, nullptr);
    EXPECT_EQ(WindowFromDC(dc), wnd.m_hWnd);
    HGDIOBJ hBefore = GetCurrentObject(dc, OBJ_FONT);
    {
        CObjectSelection selection(dc, font.m_hObject);
        EXPECT_EQ(selection.Previous(), hBefore);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font.m_hObject);
    }
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), hBefore);
}

// Owners of platform handles: a search handle and the drawing state of a device context must
// be given back exactly once, by the owner that holds them last.
#include "platform/AfxWin.h"
#include "tests/support/TempDirectory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <utility>

namespace {

// An open search lists on (or reports the end); FindNextFile on a closed one would touch
// freed memory under Wine, so only open searches are probed.
bool Lists(HANDLE hSearch) {
    WIN32_FIND_DATAW data;
    return FindNextFileW(hSearch, &data) || GetLastError() == ERROR_NO_MORE_FILES;
}

}  // namespace

TEST(FindHandle, OnlyTheLastOwnerHoldsTheSearchAndAFailedSearchHoldsNothing) {
    TempDirectory dir;
    for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.txt", L"d.txt"}) dir.AddFile(name);
    WIN32_FIND_DATAW data;
    HANDLE hSearch = FindFirstFileW((dir.Path() + L"\\*").c_str(), &data);
    ASSERT_NE(hSearch, INVALID_HANDLE_VALUE);

    CFindHandle last;
    {
        CFindHandle first(hSearch);
        EXPECT_TRUE(first);
        CFindHandle second(std::move(first));
        EXPECT_FALSE(first);
        last = std::move(second);
        EXPECT_FALSE(second);
    }
    EXPECT_EQ(last.Get(), hSearch);
    EXPECT_TRUE(Lists(hSearch)) << "a moved-from owner closed the search";
    last = CFindHandle();
    EXPECT_FALSE(last);

    CFindHandle none(FindFirstFileW((dir.Path() + L"\\missing\\*").c_str(), &data));
    EXPECT_FALSE(none);
    EXPECT_EQ(none.Get(), INVALID_HANDLE_VALUE);
}

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

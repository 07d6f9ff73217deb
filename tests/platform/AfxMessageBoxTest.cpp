#include "platform/AfxMessageBox.h"

#include "platform/AfxModuleState.h"
#include "platform/SystemError.h"
#include "tests/support/MessageBoxRecorder.h"

#include <gtest/gtest.h>

TEST(AfxMessageBox, GoesThroughTheSeamWithTheApplicationNameAsCaption) {
    MessageBoxRecorder boxes(IDCANCEL);
    EXPECT_EQ(AfxMessageBox("Hallo", MB_OK | MB_ICONEXCLAMATION, 0), IDCANCEL);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, L"Hallo");
    EXPECT_EQ(boxes.Boxes()[0].caption, L"platform_strings_test");
    EXPECT_EQ(boxes.Boxes()[0].flags, UINT(MB_OK | MB_ICONEXCLAMATION));
}

TEST(AfxMessageBox, ApplicationNameCanBeSetAndHandlersNest) {
    AfxSetAppName("Umbrix");
    {
        MessageBoxRecorder outer;
        {
            MessageBoxRecorder inner(IDNO);
            EXPECT_EQ(AfxShowMessageBox(nullptr, "t", "c", MB_YESNO), IDNO);
            EXPECT_EQ(inner.Boxes().size(), 1u);
        }
        AfxMessageBox("after");
        ASSERT_EQ(outer.Boxes().size(), 1u);
        EXPECT_EQ(outer.Boxes()[0].caption, L"Umbrix");
    }
    AfxSetAppName(nullptr);
    EXPECT_EQ(AfxGetAppName(), "platform_strings_test");
}

// Captioned with the program's name like every box; what failed stands under the system's text.
TEST(SystemErrorBox, ShowsTheErrorsTextAndTheCallInAStopBoxWithTheGivenOwner) {
    MessageBoxRecorder boxes;
    AfxSetAppName("Umbrix");
    HWND hOwner = GetDesktopWindow();
    SetLastError(ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(AfxShowLastError(hOwner, "GetLastError - SetCurrentDirectory failed"), IDOK);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_FALSE(boxes.Boxes()[0].text.empty());
    EXPECT_EQ(boxes.Boxes()[0].text,
              AfxFormatSystemMessage(ERROR_PATH_NOT_FOUND) + L"\n\n(GetLastError - SetCurrentDirectory failed)");
    EXPECT_EQ(boxes.Boxes()[0].caption, L"Umbrix");
    EXPECT_EQ(boxes.Boxes()[0].flags, UINT(MB_OK | MB_ICONHAND));
    EXPECT_EQ(boxes.Boxes()[0].hOwner, hOwner);

    // A code found by the program itself, whatever the last error is.
    SetLastError(ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(AfxShowSystemError(nullptr, "GetLastError", ERROR_INVALID_NAME), IDOK);
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_EQ(boxes.Boxes()[1].text, AfxFormatSystemMessage(ERROR_INVALID_NAME) + L"\n\n(GetLastError)");
    EXPECT_EQ(boxes.Boxes()[1].caption, L"Umbrix");
    EXPECT_EQ(boxes.Boxes()[1].flags, UINT(MB_OK | MB_ICONHAND));
    EXPECT_EQ(boxes.Boxes()[1].hOwner, nullptr);
    AfxSetAppName(nullptr);
}

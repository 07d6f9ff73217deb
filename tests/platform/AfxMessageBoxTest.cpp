#include "platform/AfxMessageBox.h"

#include "platform/AfxModuleState.h"
#include "platform/SystemError.h"
#include "tests/support/MessageBoxRecorder.h"

#include <gtest/gtest.h>

TEST(AfxMessageBox, GoesThroughTheSeamWithTheApplicationNameAsCaption) {
    MessageBoxRecorder boxes(IDCANCEL);
    EXPECT_EQ(AfxMessageBox("Hallo", MB_OK | MB_ICONEXCLAMATION, 0), IDCANCEL);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "Hallo");
    EXPECT_EQ(boxes.Boxes()[0].caption, "platform_strings_test");
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
        EXPECT_EQ(outer.Boxes()[0].caption, "Umbrix");
    }
    AfxSetAppName(nullptr);
    EXPECT_EQ(AfxGetAppName(), "platform_strings_test");
}

TEST(AfxShowLastError, ShowsTheLastErrorsTextInAStopBoxWithTheGivenOwnerAndCaption) {
    MessageBoxRecorder boxes;
    HWND hOwner = GetDesktopWindow();
    SetLastError(ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(AfxShowLastError(hOwner, "GetLastError - SetCurrentDirectory failed"), IDOK);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_FALSE(boxes.Boxes()[0].text.IsEmpty());
    EXPECT_EQ(boxes.Boxes()[0].text, AfxFormatSystemMessage(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(boxes.Boxes()[0].caption, "GetLastError - SetCurrentDirectory failed");
    EXPECT_EQ(boxes.Boxes()[0].flags, UINT(MB_OK | MB_ICONHAND));
    EXPECT_EQ(boxes.Boxes()[0].hOwner, hOwner);
}

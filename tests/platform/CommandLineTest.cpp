#include "platform/CCommandLineInfo.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

BOOL ShowSplashAfter(std::vector<const char*> args) {
    args.insert(args.begin(), "umbrix.exe");
    CCommandLineInfo info;
    AfxParseArguments(info, static_cast<int>(args.size()), args.data());
    return info.m_bShowSplash;
}

}  // namespace

TEST(CommandLine, SplashFlagIsClearedOnlyByTheQuietSwitches) {
    EXPECT_TRUE(ShowSplashAfter({}));
    EXPECT_TRUE(ShowSplashAfter({"file.txt", "/p", "-unknown", "nologo"}));
    EXPECT_FALSE(ShowSplashAfter({"/nologo"}));
    EXPECT_FALSE(ShowSplashAfter({"-NOLOGO"}));
    EXPECT_FALSE(ShowSplashAfter({"x", "/embedding"}));
    EXPECT_FALSE(ShowSplashAfter({"-Automation", "y"}));
    EXPECT_TRUE(ShowSplashAfter({"/nologox"}));
}

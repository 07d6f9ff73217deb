// Wine's exact paths: the one spelling under which a change of case alone reaches the disk,
// and under which a name that Win32 path rules would change ("Music.") is itself.
#include "wine/WineHost.h"

#include "filesystem/CUniqueHandle.h"
#include "filesystem/ExtendedPath.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/UnixShell.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

using Names = std::vector<std::wstring>;

bool HasPrefix(const std::wstring& text, const std::wstring& prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

TEST(WineHost, ExactPathIsTheUnixNamespaceAndRenamesByCaseAlone) {
    ASSERT_TRUE(wine::IsHost()) << "these tests run under Wine";
    TempDirectory dir;
    dir.AddFile(L"Readme.TXT");
    std::wstring exact = wine::ExactPath(dir.Path());
    EXPECT_TRUE(HasPrefix(exact, L"\\\\?\\unix\\")) << Utf8(exact);
    std::string unixPath = wine::UnixFileName(dir.Path());
    for (char& ch : unixPath)
        if (ch == '/') ch = '\\';
    EXPECT_EQ(Utf8(exact), "\\\\?\\unix" + unixPath);

    ASSERT_TRUE(MoveFileExW(AfxJoinPath(exact, L"Readme.TXT").c_str(), AfxJoinPath(exact, L"readme.txt").c_str(), 0));
    EXPECT_EQ(dir.Names(), (Names{L"readme.txt"}));
}

TEST(WineHost, ATrailingDotSurvivesTheLookUpSoMusicDotAndMusicStayTwoFolders) {
    TempDirectory dir;
    std::string unixDir = UnixPath(dir.Path());
    RunUnixShell("cd " + ShellQuote(unixDir) +
                 " && mkdir Music Music. && : > Music/plain.mp3 && : > Music./dotted.mp3");

    std::wstring dotted = dir.Path() + L"\\Music.";
    EXPECT_EQ(wine::UnixFileName(dotted), unixDir + "/Music.");
    std::wstring exact = wine::ExactPath(dotted);
    WIN32_FIND_DATAW data;
    CFindHandle search(FindFirstFileW(AfxJoinPath(exact, L"*.mp3").c_str(), &data));
    ASSERT_TRUE(search) << Utf8(exact);
    EXPECT_STREQ(data.cFileName, L"dotted.mp3");
}

TEST(WineHost, APathWhoseParentIsMissingHasNoLinuxNameAndFallsBackToTheExtendedForm) {
    // Wine maps a missing last component, but not a missing directory above it.
    TempDirectory dir;
    std::wstring path = dir.Path() + L"\\missing\\deeper";
    EXPECT_EQ(wine::UnixFileName(path), "");
    EXPECT_EQ(wine::UnixNamespacePath(path), L"");
    EXPECT_EQ(wine::ExactPath(path), L"\\\\?\\" + path);
    EXPECT_EQ(wine::UnixFileName(dir.Path() + L"\\missing"), UnixPath(dir.Path()) + "/missing");
}

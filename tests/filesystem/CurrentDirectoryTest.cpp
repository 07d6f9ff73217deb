#include "filesystem/CurrentDirectory.h"

#include "tests/support/Observations.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/TestDrive.h"

#include <gtest/gtest.h>

namespace {

class CurrentDirectoryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SetCurrentDirectoryW(dir.Path().c_str())); }
    void TearDown() override { AfxSetCurrentDirectory(L"C:\\"); }

    // A sub-directory whose whole path is exactly this long.
    std::wstring DirectoryOfLength(size_t length, wchar_t fill) {
        std::wstring name(length - dir.Path().size() - 1, fill);
        dir.AddDirectory(name);
        return dir.Path() + L"\\" + name;
    }

    TempDirectory dir;
};

}  // namespace

TEST_F(CurrentDirectoryTest, UpTo259CharactersTheProcessMovesBeyondTheDirectoryIsKept) {
    std::wstring longest = DirectoryOfLength(AFX_MAX_CURRENT_DIRECTORY, L'a');
    ASSERT_EQ(longest.size(), 259u);
    ASSERT_TRUE(AfxSetCurrentDirectory(longest));
    EXPECT_EQ(WideCurrentDirectory(), longest);
    EXPECT_EQ(AfxGetCurrentDirectory(), longest);

    std::wstring deeper = DirectoryOfLength(AFX_MAX_CURRENT_DIRECTORY + 1, L'b');
    ASSERT_TRUE(AfxSetCurrentDirectory(deeper));
    EXPECT_EQ(WideCurrentDirectory(), longest) << "the process must stay where it was";
    EXPECT_EQ(AfxGetCurrentDirectory(), deeper);

    // Past 1,024 characters, and back to one the process can take: the kept one is forgotten.
    std::wstring deepest = deeper;
    while (deepest.size() <= 1024) {
        deepest += L"\\" + std::wstring(200, L'c');
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + deepest).c_str(), nullptr));
    }
    ASSERT_TRUE(AfxSetCurrentDirectory(deepest));
    EXPECT_EQ(AfxGetCurrentDirectory(), deepest);
    ASSERT_TRUE(AfxSetCurrentDirectory(dir.Path()));
    EXPECT_EQ(WideCurrentDirectory(), dir.Path());
    EXPECT_EQ(AfxGetCurrentDirectory(), dir.Path());
}

// Path parsing would make "Music." the folder "Music": the program keeps the exact one.
TEST_F(CurrentDirectoryTest, ANameThatPathRulesChangeIsKeptAndNotTakenForItsTwin) {
    dir.AddDirectory(L"Music");
    dir.AddDirectory(L"Music.");
    ASSERT_TRUE(AfxSetCurrentDirectory(dir.Path() + L"\\Music."));
    EXPECT_EQ(WideCurrentDirectory(), dir.Path());
    EXPECT_EQ(AfxGetCurrentDirectory(), dir.Path() + L"\\Music.");
    ASSERT_TRUE(AfxSetCurrentDirectory(dir.Path() + L"\\Music"));
    EXPECT_EQ(WideCurrentDirectory(), dir.Path() + L"\\Music");
    EXPECT_EQ(AfxGetCurrentDirectory(), dir.Path() + L"\\Music");
}

TEST_F(CurrentDirectoryTest, WhatIsNoDirectoryIsRefusedAndChangesNothing) {
    std::wstring kept = DirectoryOfLength(290, L'k');
    ASSERT_TRUE(AfxSetCurrentDirectory(kept));
    dir.AddFile(L"Datei.txt");
    const struct {
        std::wstring path;
        DWORD error;
    } refused[] = {
        {dir.Path() + L"\\nirgends", ERROR_FILE_NOT_FOUND},
        {kept + L"\\nirgends", ERROR_FILE_NOT_FOUND},  // too deep to try as current directory
        {dir.Path() + L"\\Datei.txt", ERROR_DIRECTORY},
    };
    for (const auto& attempt : refused) {
        SetLastError(0);
        EXPECT_FALSE(AfxSetCurrentDirectory(attempt.path)) << Utf8(attempt.path);
        // Plain Win32 calls may say "path" where the extended ones say "file".
        DWORD error = GetLastError();
        if (attempt.error == ERROR_FILE_NOT_FOUND && error == ERROR_PATH_NOT_FOUND) error = ERROR_FILE_NOT_FOUND;
        EXPECT_EQ(error, attempt.error) << Utf8(attempt.path);
        EXPECT_EQ(AfxGetCurrentDirectory(), kept);
        EXPECT_EQ(WideCurrentDirectory(), dir.Path());
    }
}

// Someone else moving the process's current directory (a common dialog, a library) ends the
// program's own idea of where it is.
TEST_F(CurrentDirectoryTest, TheKeptDirectoryGoesWhenTheProcessMovesOn) {
    std::wstring kept = DirectoryOfLength(280, L'k');
    ASSERT_TRUE(AfxSetCurrentDirectory(kept));
    ASSERT_TRUE(SetCurrentDirectoryW(L"C:\\"));
    EXPECT_EQ(AfxGetCurrentDirectory(), L"C:\\");
    // Coming back to where it was kept does not bring the kept directory back either.
    ASSERT_TRUE(SetCurrentDirectoryW(dir.Path().c_str()));
    EXPECT_EQ(AfxGetCurrentDirectory(), dir.Path());
}

// "X:" is the directory drive X remembers; for the drive of a kept directory that is the kept one.
TEST_F(CurrentDirectoryTest, ADriveAloneGoesToTheDirectoryItRemembers) {
    TestDrive drive;
    TempDirectory disk(drive.Root());
    disk.AddDirectory(L"gemerkt");
    std::wstring letter = drive.Root().substr(0, 2);
    ASSERT_TRUE(SetEnvironmentVariableW((L"=" + letter).c_str(), (letter + L"\\gemerkt").c_str()));
    ASSERT_TRUE(AfxSetCurrentDirectory(letter));
    EXPECT_EQ(WideCurrentDirectory(), letter + L"\\gemerkt");

    std::wstring deep = letter + L"\\gemerkt\\" + std::wstring(250, L't');
    disk.AddDirectory(deep.substr(3));
    ASSERT_TRUE(AfxSetCurrentDirectory(deep));
    ASSERT_TRUE(AfxSetCurrentDirectory(L"C:"));
    ASSERT_TRUE(AfxSetCurrentDirectory(letter));
    EXPECT_EQ(AfxGetCurrentDirectory(), letter + L"\\gemerkt") << "the kept directory is gone once the process moved";

    ASSERT_TRUE(AfxSetCurrentDirectory(deep));
    ASSERT_TRUE(AfxSetCurrentDirectory(letter));
    EXPECT_EQ(AfxGetCurrentDirectory(), deep);
    AfxSetCurrentDirectory(L"C:\\");
    SetEnvironmentVariableW((L"=" + letter).c_str(), nullptr);
}

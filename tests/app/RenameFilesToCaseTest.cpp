#include "app/RenameFilesToCase.h"

#include "filesystem/CUniqueHandle.h"
#include "filesystem/CurrentDirectory.h"
#include "filesystem/ExtendedPath.h"
#include "platform/AfxModuleState.h"
#include "tests/renaming/RunMessages.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/Observations.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/TestDrive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Names = std::vector<std::wstring>;
using Texts = std::vector<std::wstring>;

class RenameFilesToCaseTest : public ::testing::Test {
protected:
    void Run(CaseDirection direction, const std::wstring& path) { RenameFilesToCase(direction, path); }

    TempDirectory dir;
    MessageBoxRecorder boxes;
};

}  // namespace

TEST_F(RenameFilesToCaseTest, EveryKindOfDottedNameGoesToLowerCase) {
    for (const wchar_t* name : {L"Readme.TXT", L"A.b.C", L"NoExt", L".Profile", L"X..Y"}) dir.AddFile(name);
    Run(CaseDirection::Lower, dir.Path());
    EXPECT_EQ(dir.Names(), (Names{L".profile", L"a.b.c", L"noext", L"readme.txt", L"x..y"}));
    EXPECT_EQ(dir.Contents(L"readme.txt"), "Readme.TXT");
    EXPECT_EQ(boxes.Texts(), (Texts{kLowerDone}));
    EXPECT_EQ(boxes.Boxes()[0].flags, UINT(MB_OK));
}

TEST_F(RenameFilesToCaseTest, EveryKindOfDottedNameGoesToUpperCase) {
    for (const wchar_t* name : {L"Readme.TXT", L"A.b.C", L"NoExt", L".Profile", L"X..Y"}) dir.AddFile(name);
    Run(CaseDirection::Upper, dir.Path());
    EXPECT_EQ(dir.Names(), (Names{L".PROFILE", L"A.B.C", L"NOEXT", L"README.TXT", L"X..Y"}));
    EXPECT_EQ(boxes.Texts(), (Texts{kUpperDone}));
}

TEST_F(RenameFilesToCaseTest, SubdirectoriesAndTheirContentsKeepTheirNames) {
    dir.AddDirectory(L"Docs");
    dir.AddFile(L"Docs\\Inner.TXT");
    dir.AddFile(L"Top.TXT");
    Run(CaseDirection::Upper, dir.Path());
    EXPECT_EQ(dir.Names(), (Names{L"Docs", L"TOP.TXT"}));
    EXPECT_EQ(dir.Names(L"Docs"), (Names{L"Inner.TXT"}));
}

TEST_F(RenameFilesToCaseTest, HiddenSystemAndReadOnlyFilesAreRenamed) {
    dir.AddFile(L"Hidden.Txt");
    dir.AddFile(L"System.Txt");
    dir.AddFile(L"ReadOnly.Txt");
    SetFileAttributesW((dir.Path() + L"\\Hidden.Txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW((dir.Path() + L"\\System.Txt").c_str(), FILE_ATTRIBUTE_SYSTEM);
    SetFileAttributesW((dir.Path() + L"\\ReadOnly.Txt").c_str(), FILE_ATTRIBUTE_READONLY);
    Run(CaseDirection::Lower, dir.Path());
    EXPECT_EQ(dir.Names(), (Names{L"hidden.txt", L"readonly.txt", L"system.txt"}));
}

TEST_F(RenameFilesToCaseTest, OnlySubdirectoriesGiveTheFinalMessageAndNoRename) {
    dir.AddDirectory(L"Alpha");
    dir.AddDirectory(L"BETA");
    Run(CaseDirection::Lower, dir.Path());
    EXPECT_EQ(dir.Names(), (Names{L"Alpha", L"BETA"}));
    EXPECT_EQ(boxes.Texts(), (Texts{kLowerDone}));
}

TEST_F(RenameFilesToCaseTest, EmptyDriveRootReportsNoFiles) {
    TestDrive drive;
    Run(CaseDirection::Lower, drive.Root());
    EXPECT_EQ(boxes.Texts(), (Texts{kNoFiles}));
    EXPECT_EQ(boxes.Boxes()[0].flags, UINT(MB_OK));
}

TEST_F(RenameFilesToCaseTest, TwoCharacterDriveFormRenamesTheRootNotTheDrivesCurrentDirectory) {
    TestDrive drive;
    TempDirectory root(drive.Root());
    root.AddFile(L"Root.TXT");
    root.AddDirectory(L"Deeper");
    root.AddFile(L"Deeper\\Inner.TXT");
    // Make the drive remember Deeper as its current directory, as a shell would.
    SetEnvironmentVariableA((std::string("=") + drive.Letter() + ":").c_str(), (drive.AnsiRoot() + "Deeper").c_str());
    SetCurrentDirectoryA((drive.AnsiRoot() + "Deeper").c_str());
    SetCurrentDirectoryA("C:\\");

    Run(CaseDirection::Lower, drive.Root().substr(0, 2));
    EXPECT_EQ(root.Names(), (Names{L"Deeper", L"root.txt"}));
    EXPECT_EQ(root.Names(L"Deeper"), (Names{L"Inner.TXT"}));
    EXPECT_EQ(WideCurrentDirectory(), drive.Root());
}

TEST_F(RenameFilesToCaseTest, CurrentDirectoryStaysAtTheChosenDirectory) {
    dir.AddFile(L"One.TXT");
    Run(CaseDirection::Lower, dir.Path());
    EXPECT_EQ(WideCurrentDirectory(), dir.Path());
}

TEST_F(RenameFilesToCaseTest, CaseTwinsBothSurviveWithTheirContents) {
    dir.AddFile(L"a.txt", "lower twin");
    dir.AddFileOnLinux(L"A.TXT", "upper twin");
    dir.AddFile(L"Other.Txt");
    for (CaseDirection direction : {CaseDirection::Lower, CaseDirection::Upper}) {
        Run(direction, dir.Path());
        EXPECT_EQ(dir.Contents(L"a.txt"), "lower twin");
        EXPECT_EQ(dir.Contents(L"A.TXT"), "upper twin");
    }
    EXPECT_EQ(dir.Names(), (Names{L"A.TXT", L"OTHER.TXT", L"a.txt"}));
}

TEST_F(RenameFilesToCaseTest, FileNameMatchingADirectoryIgnoringCaseIsLeftAlone) {
    dir.AddDirectory(L"report");
    dir.AddFileOnLinux(L"REPORT", "file");
    Run(CaseDirection::Lower, dir.Path());
    EXPECT_EQ(dir.Names(), (Names{L"REPORT", L"report"}));
}

TEST_F(RenameFilesToCaseTest, UmlautsFollowTheirCasePairs) {
    dir.AddFile(L"Gr\u00F6\u00DFe.txt");
    dir.AddFile(L"\u00E4pfel.DOC");
    Run(CaseDirection::Upper, dir.Path());
    EXPECT_EQ(dir.Names(), (Names{L"GR\u00D6\u00DFE.TXT", L"\u00C4PFEL.DOC"}));
    Run(CaseDirection::Lower, dir.Path());
    EXPECT_EQ(dir.Names(), (Names{L"gr\u00F6\u00DFe.txt", L"\u00E4pfel.doc"}));
}

TEST_F(RenameFilesToCaseTest, FileHeldOpenKeepsItsNameIsNamedAndTheOthersAreRenamed) {
    dir.AddFile(L"Busy.TXT");
    dir.AddFile(L"Free.TXT");
    CFileHandle busy(CreateFileW((dir.Path() + L"\\Busy.TXT").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(busy);
    Run(CaseDirection::Lower, dir.Path());
    busy.Close();
    EXPECT_EQ(dir.Names(), (Names{L"Busy.TXT", L"free.txt"}));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Texts()[0], std::wstring(kNotAll) + L"\nBusy.TXT");
    EXPECT_EQ(boxes.Boxes()[0].flags, UINT(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(boxes.Boxes()[0].caption, AfxToWide(AfxGetAppName()));
}

TEST_F(RenameFilesToCaseTest, FinalBoxNamesTwentyFilesAndCountsTheRest) {
    std::vector<CFileHandle> held;
    for (int i = 0; i < 23; ++i) {
        wchar_t name[16];
        swprintf(name, 16, L"Held%02d.TXT", i);
        dir.AddFile(name);
        held.emplace_back(CreateFileW((dir.Path() + L"\\" + name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held.back());
    }
    dir.AddFile(L"Already.txt");
    Run(CaseDirection::Upper, dir.Path());
    held.clear();
    std::wstring expected = kNotAll;
    for (int i = 0; i < 20; ++i) expected += L"\nHeld" + std::wstring(i < 10 ? L"0" : L"") + std::to_wstring(i) + L".TXT";
    expected += L"\n\u2026 und 3 weitere";
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_EQ(boxes.Texts()[0], expected);
    EXPECT_EQ(dir.Names().back(), L"Held22.TXT");
    EXPECT_EQ(dir.Names().front(), L"ALREADY.TXT");
}

TEST_F(RenameFilesToCaseTest, CaseTwinsAreNamedAsKept) {
    dir.AddFile(L"a.txt", "lower twin");
    dir.AddFileOnLinux(L"A.TXT", "upper twin");
    Run(CaseDirection::Lower, dir.Path());
    EXPECT_EQ(boxes.Texts(), (Texts{std::wstring(kNotAll) + L"\nA.TXT"}));
}

TEST_F(RenameFilesToCaseTest, NoStagingFolderOrTemporaryNameIsLeftBehind) {
    for (int i = 0; i < 50; ++i) dir.AddFile(L"File" + std::to_wstring(i) + L".DAT");
    dir.AddFile(L".umbrix-staging");  // a name of ours that is taken already
    Run(CaseDirection::Lower, dir.Path());
    Names names = dir.Names();
    ASSERT_EQ(names.size(), 51u);
    EXPECT_EQ(names.front(), L".umbrix-staging");
    for (size_t i = 1; i < names.size(); ++i) EXPECT_EQ(names[i].substr(0, 4), L"file") << Utf8(names[i]);
}

TEST_F(RenameFilesToCaseTest, VanishedDirectoryRenamesNothingAnywhere) {
    TempDirectory other;
    other.AddFile(L"Innocent.TXT");
    SetCurrentDirectoryW(other.Path().c_str());
    std::wstring gone = dir.Path() + L"\\Vanished";
    Run(CaseDirection::Lower, gone);
    EXPECT_EQ(other.Names(), (Names{L"Innocent.TXT"}));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].flags, UINT(MB_OK | MB_ICONHAND));
    // The path it is about, then the system's own words.
    const std::wstring said = L"Das Verzeichnis \"" + gone + L"\" ist nicht erreichbar: ";
    EXPECT_EQ(boxes.Boxes()[0].text.substr(0, said.size()), said) << Utf8(boxes.Boxes()[0].text);
    EXPECT_GT(boxes.Boxes()[0].text.size(), said.size());
}

TEST_F(RenameFilesToCaseTest, KeptNamesBeyondTheCodePageAreShownAsThemselves) {
    dir.AddFile(L"\u0101bc.TXT");
    dir.AddFile(L"\u041F\u0430\u043F\u043A\u0430.TXT");
    HANDLE held[] = {CreateFileW((dir.Path() + L"\\\u0101bc.TXT").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr),
                     CreateFileW((dir.Path() + L"\\\u041F\u0430\u043F\u043A\u0430.TXT").c_str(), GENERIC_READ,
                                 FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)};
    Run(CaseDirection::Lower, dir.Path());
    for (HANDLE file : held) CloseHandle(file);
    EXPECT_EQ(boxes.Texts(), (Texts{std::wstring(kNotAll) + L"\n\u0101bc.TXT\n\u041F\u0430\u043F\u043A\u0430.TXT"}));
}

TEST_F(RenameFilesToCaseTest, FoldersNamedOutsideTheCodePageAreEnteredAndRenamed) {
    for (const wchar_t* folder : {L"\u03A9mega", L"\u041F\u0430\u043F\u043A\u0430", L"\u8868"}) {
        dir.AddDirectory(folder);
        dir.AddFile(std::wstring(folder) + L"\\Inner.TXT");
        Run(CaseDirection::Lower, dir.Path() + L"\\" + folder);
        EXPECT_EQ(dir.Names(folder), (Names{L"inner.txt"})) << Utf8(folder);
        EXPECT_EQ(WideCurrentDirectory(), dir.Path() + L"\\" + folder);
    }
    EXPECT_EQ(boxes.Texts(), (Texts{kLowerDone, kLowerDone, kLowerDone}));
}

TEST_F(RenameFilesToCaseTest, MusicWithATrailingDotIsItselfAndTheNextDialogStartsThere) {
    dir.AddDirectory(L"Music");
    dir.AddFile(L"Music\\Song.MP3");
    dir.AddDirectory(L"Music.");
    dir.AddFile(L"Music.\\Other.MP3");
    SetCurrentDirectoryW(dir.Path().c_str());
    Run(CaseDirection::Lower, dir.Path() + L"\\Music.");
    EXPECT_EQ(dir.Names(L"Music"), (Names{L"Song.MP3"}));
    EXPECT_EQ(dir.Names(L"Music."), (Names{L"other.mp3"}));
    EXPECT_EQ(boxes.Texts(), (Texts{kLowerDone}));
    // The platform would make "Music" current; the program keeps "Music." itself instead.
    EXPECT_EQ(WideCurrentDirectory(), dir.Path());
    EXPECT_EQ(AfxGetCurrentDirectory(), dir.Path() + L"\\Music.");
}

TEST_F(RenameFilesToCaseTest, DirectoriesPast260And1024CharactersAreRenamedAndKeptAsCurrent) {
    std::wstring relative;
    std::wstring component = L"Ordner_" + std::wstring(90, L'x');
    for (size_t length : {size_t{260}, size_t{1024}}) {
        while (dir.Path().size() + relative.size() <= length + 10) {
            relative += (relative.empty() ? L"" : L"\\") + component + std::to_wstring(relative.size());
            dir.AddDirectory(relative);
        }
        dir.AddFile(relative + L"\\Tief.TXT");
        std::wstring deep = dir.Path() + L"\\" + relative;
        ASSERT_GT(deep.size(), length);
        SetCurrentDirectoryW(dir.Path().c_str());
        Run(CaseDirection::Upper, deep);
        EXPECT_EQ(dir.Names(relative), (Names{L"TIEF.TXT"})) << deep.size();
        EXPECT_EQ(boxes.Texts().back(), kUpperDone);
        // Too deep to be made current: the process stays, the program remembers the directory.
        EXPECT_EQ(WideCurrentDirectory(), dir.Path());
        EXPECT_EQ(AfxGetCurrentDirectory(), deep);
    }
    EXPECT_EQ(boxes.Texts().size(), 2u);
}

TEST_F(RenameFilesToCaseTest, PathThatNamesNoFolderRenamesNothingAnywhere) {
    dir.AddDirectory(L"abc");
    dir.AddFile(L"abc\\Plain.TXT");
    SetCurrentDirectoryW(dir.Path().c_str());
    for (const wchar_t* missing : {L"\\?bc", L"\\abc\\Plain.TXT", L"\\nirgends"}) {
        Run(CaseDirection::Lower, dir.Path() + missing);
        EXPECT_EQ(dir.Names(L"abc"), (Names{L"Plain.TXT"})) << Utf8(missing);
        EXPECT_EQ(WideCurrentDirectory(), dir.Path());
    }
    ASSERT_EQ(boxes.Boxes().size(), 3u);
    for (const MessageBoxRequest& box : boxes.Boxes()) {
        EXPECT_EQ(box.flags, UINT(MB_OK | MB_ICONHAND));
        EXPECT_EQ(box.text.rfind(L"Das Verzeichnis \"" + dir.Path() + L"\\", 0), 0u) << Utf8(box.text);
    }
}

// Names that the platform's path rules, short names or code page would turn into another
// name: each file is renamed exactly, or stays where it is and is named as kept.
#include "filesystem/CUniqueHandle.h"
#include "renaming/CaseConversion.h"
#include "renaming/ChangeCaseOnDisk.h"
#include "tests/support/TempDirectory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Names = std::vector<std::wstring>;
class HostileNamesTest : public ::testing::Test {
protected:
    // The files that kept their names.
    Names Run(CaseDirection direction) { return ChangeCaseOnDisk(direction, dir.ExactPath()).kept; }

    // The 8.3 alias the platform gives a file, as its listing reports it.
    std::wstring ShortName(const std::wstring& name) const {
        WIN32_FIND_DATAW data;
        if (!CFindHandle(FindFirstFileW((dir.Path() + L"\\" + name).c_str(), &data))) return std::wstring();
        return data.cAlternateFileName;
    }

    TempDirectory dir;
};

}  // namespace

TEST_F(HostileNamesTest, NamesUpToTheLongestAreRenamedInBothDirections) {
    std::wstring longest = std::wstring(251, L'L') + L".Txt";  // 255 characters
    std::wstring nearly = L"Nearly-" + std::wstring(238, L'x') + L".DAT";
    dir.AddFilesOnLinux({longest, nearly, L"Short.TXT"});
    EXPECT_EQ(Run(CaseDirection::Lower), Names{});
    Names lower{std::wstring(251, L'l') + L".txt", L"nearly-" + std::wstring(238, L'x') + L".dat", L"short.txt"};
    EXPECT_EQ(dir.Names(), lower);
    EXPECT_EQ(dir.Contents(lower[0]), Utf8(longest));

    EXPECT_EQ(Run(CaseDirection::Upper), Names{});
    EXPECT_EQ(dir.Names().front(), std::wstring(251, L'L') + L".TXT");
    EXPECT_EQ(dir.Names().size(), 3u);
}

TEST_F(HostileNamesTest, TrailingDotsBlanksAndDeviceNamesAreRenamedAsThemselves) {
    dir.AddFilesOnLinux({L"Trail.", L"Blank ", L"Nul .Txt", L"Con.Txt", L"Trail"});
    EXPECT_EQ(Run(CaseDirection::Upper), Names{});
    EXPECT_EQ(dir.Names(), (Names{L"BLANK ", L"CON.TXT", L"NUL .TXT", L"TRAIL", L"TRAIL."}));
    EXPECT_EQ(dir.Contents(L"TRAIL."), "Trail.");
    EXPECT_EQ(dir.Contents(L"TRAIL"), "Trail");
}

TEST_F(HostileNamesTest, NewNameEqualToAnotherFilesShortNameKeepsTheFileInPlace) {
    dir.AddFile(L"Long File Name.txt", "long");
    std::wstring alias = ShortName(L"Long File Name.txt");
    ASSERT_GT(alias.size(), 2u) << "the platform gave no short name";
    // The alias spelled with a lower-case first letter: its upper-case form is the alias.
    std::wstring lookalike = alias;
    lookalike[0] = static_cast<wchar_t>(towlower(lookalike[0]));
    dir.AddFileOnLinux(lookalike, "look-alike");  // Win32 would find the long name's alias

    Names kept = Run(CaseDirection::Upper);
    EXPECT_EQ(dir.Names(), (Names{L"LONG FILE NAME.TXT", lookalike}));
    EXPECT_EQ(dir.Contents(L"LONG FILE NAME.TXT"), "long");
    EXPECT_EQ(dir.Contents(lookalike), "look-alike");
    EXPECT_EQ(kept, (Names{lookalike}));
}

TEST_F(HostileNamesTest, LettersBeyondTheCodePageTakeTheirUnicodeCase) {
    dir.AddFile(L"\u03A9mega.TXT", "omega");
    dir.AddFile(L"\u00C4rger_\u03A9mega.txt", "both");
    dir.AddFile(L"\u0101bc.TXT", "a macron");
    dir.AddFile(L"abc.TXT", "plain");
    dir.AddFile(L"Ma\u00DF_\u00B5.txt", "sharp s");
    EXPECT_EQ(Run(CaseDirection::Lower), Names{});
    EXPECT_EQ(dir.Names(), (Names{L"abc.txt", L"ma\u00DF_\u00B5.txt", L"\u00E4rger_\u03C9mega.txt", L"\u0101bc.txt",
                                  L"\u03C9mega.txt"}));
    EXPECT_EQ(dir.Contents(L"abc.txt"), "plain");
    EXPECT_EQ(dir.Contents(L"\u0101bc.txt"), "a macron");
    EXPECT_EQ(Run(CaseDirection::Upper), Names{});
    EXPECT_EQ(dir.Names(), (Names{L"ABC.TXT", L"MA\u00DF_\u00B5.TXT", L"\u00C4RGER_\u03A9MEGA.TXT", L"\u0100BC.TXT",
                                  L"\u03A9MEGA.TXT"}));
}

TEST(CaseConversion, CodePagePairsUnicodeLettersAndLengthsHold) {
    EXPECT_EQ(ConvertedName(CaseDirection::Upper, L"\u00E4\u00F6\u00FC\u00FF\u0161\u0153\u00DF\u00B5x"),
              L"\u00C4\u00D6\u00DC\u0178\u0160\u0152\u00DF\u00B5X");
    EXPECT_EQ(ConvertedName(CaseDirection::Lower, L"\u00C4\u0178\u0160\u0152\u03A3\u0416Q"),
              L"\u00E4\u00FF\u0161\u0153\u03C3\u0436q");
    // A character outside the basic plane is two units; neither is a letter on its own.
    std::wstring emoji = L"A\U0001F600b";
    EXPECT_EQ(ConvertedName(CaseDirection::Upper, emoji), L"A\U0001F600B");
    EXPECT_EQ(CaseFoldKey(L"Stra\u00DFe.\u00E4"), L"STRA\u00DFE.\u00C4");
}

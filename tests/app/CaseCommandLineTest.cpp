// The command line of a run read into direction, directory and quiet flag, and the directory
// made absolute: as a batch file, a command prompt and Explorer's menu entries hand them over.
#include "app/CaseCommandLine.h"
#include "app/CommandLineRun.h"

#include "tests/support/TempDirectory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Args = std::vector<std::wstring>;

CaseCommand Read(const std::wstring& commandLine) { return ReadCaseCommand(SplitCommandLine(commandLine)); }

}  // namespace

TEST(CaseCommandLine, ArgumentsAreSplitAtBlanksOutsideQuotesWithBackslashesKept) {
    const struct {
        const wchar_t* line;
        Args args;
    } cases[] = {
        {L"umbrix.exe", {}},
        {L"umbrix.exe   ", {}},
        {L"\"C:\\Program Files\\Umbrix\\umbrix.exe\" /klein \"%1\"", {L"/klein", L"%1"}},
        // The shell's "%1" of a drive's root: the backslash before the quote is the root's.
        {L"\"C:\\Program Files\\Umbrix\\umbrix.exe\" /klein \"D:\\\"", {L"/klein", L"D:\\"}},
        {L"umbrix.exe /gross \"C:\\Eigene Dateien\\\" /still", {L"/gross", L"C:\\Eigene Dateien\\", L"/still"}},
        {L"umbrix.exe\t/klein\t\tC:\\a  b", {L"/klein", L"C:\\a", L"b"}},
        {L"umbrix.exe /klein C:\\\"Eigene Dateien\"\\Briefe", {L"/klein", L"C:\\Eigene Dateien\\Briefe"}},
        {L"umbrix.exe /klein \"\"", {L"/klein", L""}},
        {L"umbrix.exe /klein \"\\\\server\\share\\Mein Ordner\"", {L"/klein", L"\\\\server\\share\\Mein Ordner"}},
        {L"umbrix.exe /klein \"C:\\\u65E5\u672C \u0394\u03B5\u03BB\u03C4\u03B1\"",
         {L"/klein", L"C:\\\u65E5\u672C \u0394\u03B5\u03BB\u03C4\u03B1"}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.args) << Utf8(c.line);
}

TEST(CaseCommandLine, WellFormedRunsGiveDirectionDirectoryAndQuietFlag) {
    const struct {
        const wchar_t* line;
        CaseDirection direction;
        const wchar_t* directory;
        bool bQuiet;
    } cases[] = {
        {L"umbrix.exe /klein C:\\Fotos", CaseDirection::Lower, L"C:\\Fotos", false},
        {L"umbrix.exe /gross C:\\Fotos", CaseDirection::Upper, L"C:\\Fotos", false},
        {L"umbrix.exe -KLEIN Fotos", CaseDirection::Lower, L"Fotos", false},
        {L"umbrix.exe -Gross ..\\Fotos", CaseDirection::Upper, L"..\\Fotos", false},
        {L"umbrix.exe /GRO\u00DF .", CaseDirection::Upper, L".", false},
        {L"umbrix.exe C:\\Fotos /gross", CaseDirection::Upper, L"C:\\Fotos", false},
        {L"umbrix.exe /still /klein \"D:\\\"", CaseDirection::Lower, L"D:\\", true},
        {L"umbrix.exe /gross -STILL \"C:\\Mein Ordner\\\"", CaseDirection::Upper, L"C:\\Mein Ordner\\", true},
        {L"umbrix.exe /nologo /klein /klein C:\\x", CaseDirection::Lower, L"C:\\x", false},
    };
    for (const auto& c : cases) {
        CaseCommand command = Read(c.line);
        EXPECT_TRUE(command.bGiven) << Utf8(c.line);
        EXPECT_EQ(command.error, L"") << Utf8(c.line);
        EXPECT_EQ(command.direction, c.direction) << Utf8(c.line);
        EXPECT_EQ(command.directory, c.directory) << Utf8(c.line);
        EXPECT_EQ(command.bQuiet, c.bQuiet) << Utf8(c.line);
    }
}

// /endung and /name choose the part beside a direction; /vorschau is a dry run without windows.
TEST(CaseCommandLine, PartAndDryRunSwitchesGoWithADirection) {
    const struct {
        const wchar_t* line;
        CaseDirection direction;
        NamePart part;
        bool bPreview;
    } cases[] = {
        {L"umbrix.exe /klein C:\\Fotos", CaseDirection::Lower, NamePart::Whole, false},
        {L"umbrix.exe /klein /endung C:\\Fotos", CaseDirection::Lower, NamePart::Extension, false},
        {L"umbrix.exe -ENDUNG /gross C:\\Fotos", CaseDirection::Upper, NamePart::Extension, false},
        {L"umbrix.exe /gross /Name C:\\Fotos", CaseDirection::Upper, NamePart::Stem, false},
        {L"umbrix.exe /vorschau /klein C:\\Fotos", CaseDirection::Lower, NamePart::Whole, true},
        {L"umbrix.exe /still /gross /name -Vorschau C:\\Fotos", CaseDirection::Upper, NamePart::Stem, true},
    };
    for (const auto& c : cases) {
        CaseCommand command = Read(c.line);
        EXPECT_TRUE(command.bGiven) << Utf8(c.line);
        EXPECT_EQ(command.error, L"") << Utf8(c.line);
        EXPECT_EQ(command.direction, c.direction) << Utf8(c.line);
        EXPECT_EQ(command.part, c.part) << Utf8(c.line);
        EXPECT_EQ(command.bPreview, c.bPreview) << Utf8(c.line);
        EXPECT_EQ(command.bQuiet, c.bPreview || std::wstring(c.line).find(L"/still") != std::wstring::npos)
            << "a dry run shows no window: " << Utf8(c.line);
        EXPECT_EQ(command.directory, L"C:\\Fotos") << Utf8(c.line);
    }
}

TEST(CaseCommandLine, MalformedRunsSayWhatIsWrongAndGiveNoDirectory) {
    const struct {
        const wchar_t* line;
        const wchar_t* said;  // a part of the error text
    } cases[] = {
        {L"umbrix.exe /klein /gross C:\\x", L"einander aus"},
        {L"umbrix.exe -gross -klein C:\\x", L"einander aus"},
        {L"umbrix.exe /klein", L"Es fehlt das Verzeichnis"},
        {L"umbrix.exe /gross /still", L"Es fehlt das Verzeichnis"},
        {L"umbrix.exe /klein \"\"", L"Es fehlt das Verzeichnis"},
        {L"umbrix.exe /klein C:\\Eigene Dateien", L"\"C:\\Eigene\" und \"Dateien\" sind zwei"},
        {L"umbrix.exe /klein C:\\a C:\\b C:\\c", L"\"C:\\a\" und \"C:\\b\""},
        {L"umbrix.exe /klein /rekursiv C:\\x", L"Unbekannter Schalter: \"/rekursiv\""},
        {L"umbrix.exe /klein C:\\x -", L"Unbekannter Schalter: \"-\""},
        {L"umbrix.exe /still C:\\x", L"/still gilt nur zusammen mit /klein oder /gross"},
        {L"umbrix.exe /still", L"/still gilt nur zusammen"},
        {L"umbrix.exe /kleiner C:\\x /gross", L"Unbekannter Schalter: \"/kleiner\""},
        {L"umbrix.exe /klein /endung /name C:\\x", L"/endung und /name schlie"},
        {L"umbrix.exe /endung C:\\x", L"/endung gilt nur zusammen mit /klein oder /gross"},
        {L"umbrix.exe C:\\x -NAME", L"/name gilt nur zusammen"},
        {L"umbrix.exe /vorschau C:\\x", L"/vorschau gilt nur zusammen"},
        {L"umbrix.exe /vorschau /gross", L"Es fehlt das Verzeichnis"},
    };
    for (const auto& c : cases) {
        CaseCommand command = Read(c.line);
        EXPECT_TRUE(command.bGiven) << Utf8(c.line);
        EXPECT_NE(command.error.find(c.said), std::wstring::npos) << Utf8(c.line) << ": " << Utf8(command.error);
        EXPECT_EQ(command.directory, L"") << Utf8(c.line);
    }
    // Quiet is known even when the line is wrong: the error then goes to standard error.
    EXPECT_TRUE(Read(L"umbrix.exe /still /klein").bQuiet);
}

TEST(CaseCommandLine, WithoutARunsSwitchTheLineIsReadAsBefore) {
    for (const wchar_t* line :
         {L"umbrix.exe", L"umbrix.exe /nologo", L"umbrix.exe C:\\Fotos", L"umbrix.exe /Embedding",
          L"umbrix.exe /kleiner C:\\x", L"umbrix.exe \"/klein C:\\x\"", L"umbrix.exe klein C:\\x"}) {
        CaseCommand command = Read(line);
        EXPECT_FALSE(command.bGiven) << Utf8(line);
        EXPECT_EQ(command.error, L"") << Utf8(line);
    }
}

TEST(CaseCommandLine, DirectoriesAreMadeAbsoluteWithNamesKeptExactly) {
    const struct {
        const wchar_t* given;
        const wchar_t* current;
        const wchar_t* absolute;
    } cases[] = {
        {L"C:\\Fotos", L"D:\\x", L"C:\\Fotos"},
        {L"C:\\Fotos\\", L"D:\\x", L"C:\\Fotos"},
        {L"C:\\Fotos\\\\", L"D:\\x", L"C:\\Fotos"},
        {L"D:\\", L"C:\\x", L"D:\\"},
        {L"d:\\.", L"C:\\x", L"d:\\"},
        {L"C:/Fotos/2026/", L"D:\\x", L"C:\\Fotos\\2026"},
        {L"Fotos", L"C:\\Benutzer\\Eva", L"C:\\Benutzer\\Eva\\Fotos"},
        {L"Fotos\\", L"C:\\", L"C:\\Fotos"},
        {L".", L"C:\\Benutzer\\Eva", L"C:\\Benutzer\\Eva"},
        {L"..", L"C:\\Benutzer\\Eva", L"C:\\Benutzer"},
        {L"..\\..\\..\\..", L"C:\\Benutzer\\Eva", L"C:\\"},
        {L".\\a\\..\\b", L"C:\\x", L"C:\\x\\b"},
        {L"\\Daten", L"C:\\Benutzer\\Eva", L"C:\\Daten"},
        {L"C:", L"C:\\Benutzer\\Eva", L"C:\\Benutzer\\Eva"},
        {L"c:Fotos", L"C:\\Benutzer\\Eva", L"C:\\Benutzer\\Eva\\Fotos"},
        // Names that path parsing would change stay as they are.
        {L"Musik.", L"C:\\x", L"C:\\x\\Musik."},
        {L"C:\\Musik. \\Alben ", L"D:\\", L"C:\\Musik. \\Alben "},
        {L"\u65E5\u672C\\\u0394\u03B5\u03BB\u03C4\u03B1", L"C:\\x",
         L"C:\\x\\\u65E5\u672C\\\u0394\u03B5\u03BB\u03C4\u03B1"},
        // Network paths, and the extended forms of both.
        {L"\\\\server\\share\\Mein Ordner\\", L"C:\\x", L"\\\\server\\share\\Mein Ordner"},
        {L"\\\\server\\share", L"C:\\x", L"\\\\server\\share"},
        {L"\\\\server\\share\\a\\..\\..", L"C:\\x", L"\\\\server\\share"},
        {L"Fotos", L"\\\\server\\share\\Eva", L"\\\\server\\share\\Eva\\Fotos"},
        {L"\\Daten", L"\\\\server\\share\\Eva", L"\\\\server\\share\\Daten"},
        {L"\\\\?\\C:\\Fotos\\", L"D:\\x", L"C:\\Fotos"},
        {L"\\\\?\\UNC\\server\\share\\Fotos", L"D:\\x", L"\\\\server\\share\\Fotos"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AbsoluteDirectory(c.given, c.current), c.absolute) << Utf8(c.given) << " in " << Utf8(c.current);
}

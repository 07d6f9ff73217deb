#include "platform/CString.h"

#include <gtest/gtest.h>

#include <string>

TEST(CString, ValueSemanticsAndConcatenation) {
    CString a("Verzeichnis");
    CString b = a;
    b += " Auswahl";
    EXPECT_STREQ(a, "Verzeichnis");
    EXPECT_STREQ(b, "Verzeichnis Auswahl");
    EXPECT_STREQ("X:" + CString("\\") + "dir" + '\\', "X:\\dir\\");
    EXPECT_TRUE(CString(nullptr).IsEmpty());
    EXPECT_EQ(CString("ab", 1), "a");
}

TEST(CString, FormatHasNoLengthLimit) {
    std::string longText(5000, 'x');
    CString s;
    s.Format("%s|%d|%c: ", longText.c_str(), -5, 'D');
    EXPECT_EQ(s.GetLength(), 5000 + 7);
    EXPECT_EQ(s.Right(7), "|-5|D: ");
}

TEST(CString, FindCharacterAndSubstring) {
    CString command("\"C:\\browser.exe\" \"%1\" -x %1");
    EXPECT_EQ(command.Find('\\'), 3);
    EXPECT_EQ(command.Find("\"%1\""), 17);
    EXPECT_EQ(command.Find("%1", 20), 25);
    EXPECT_EQ(command.Find("none"), -1);
    EXPECT_EQ(command.Find('q'), -1);
    EXPECT_EQ(command.Left(3), "\"C:");
    EXPECT_EQ(command.Left(0), "");
    EXPECT_EQ(command.Left(500), command);
}

// The German letters of code page 1252 convert in pairs; sharp s and micro have no pair.
TEST(CString, CaseConversionFollowsCodePage1252) {
    CString upper(
        "Gr\xF6\xDF"
        "e \xE4pfel \xFC \xFF \x9A \x9C \xB5 Readme.TXT");
    upper.MakeUpper();
    EXPECT_STREQ(upper,
                 "GR\xD6\xDF"
                 "E \xC4PFEL \xDC \x9F \x8A \x8C \xB5 README.TXT");
    CString lower(upper);
    lower.MakeLower();
    EXPECT_STREQ(lower,
                 "gr\xF6\xDF"
                 "e \xE4pfel \xFC \xFF \x9A \x9C \xB5 readme.txt");
}

TEST(CString, LiteralsAreCodePage1252Bytes) {
    const char* text = "gewählten große";
    EXPECT_STREQ(text,
                 "gew\xE4hlten gro\xDF"
                 "e");
}

TEST(CString, ComparisonAndBuffer) {
    EXPECT_EQ(CString("abc").Compare("abd") < 0, true);
    EXPECT_EQ(CString("\xC4RGER").CompareNoCase("\xE4rger"), 0);
    CString buffer;
    char* raw = buffer.GetBuffer(10);
    strcpy(raw, "C:\\x");
    buffer.ReleaseBuffer();
    EXPECT_EQ(buffer.GetLength(), 4);
    EXPECT_EQ(buffer, "C:\\x");
}

TEST(CString, LoadStringOfMissingResourceIsEmpty) {
    CString s("old");
    EXPECT_FALSE(s.LoadString(40000));
    EXPECT_TRUE(s.IsEmpty());
}

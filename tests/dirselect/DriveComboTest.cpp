#include "dirselect/CDriveCombo.h"

#include "tests/dirselect/TreeReading.h"
#include "platform/AfxModuleState.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/TestDrive.h"

#include <gtest/gtest.h>

namespace {

class DriveComboTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(combo.CreateEx(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWN | CBS_SORT, 0,
                                   0, 200, 150, parent.m_hWnd, reinterpret_cast<HMENU>(UINT_PTR{1005})));
    }
    void TearDown() override { SetCurrentDirectoryA("C:\\"); }

    std::vector<std::wstring> Entries() const {
        std::vector<std::wstring> entries;
        for (int i = 0; i < combo.GetCount(); ++i) entries.push_back(combo.GetLBTextWide(i));
        return entries;
    }
    int IndexOf(char letter) const {
        std::vector<std::wstring> entries = Entries();
        for (size_t i = 0; i < entries.size(); ++i)
            if (entries[i][0] == static_cast<wchar_t>(letter)) return static_cast<int>(i);
        return -1;
    }
    std::wstring Selected() const {
        return combo.GetCurSel() >= 0 ? combo.GetLBTextWide(combo.GetCurSel()) : std::wstring();
    }

    // A label outside the program's code page shows as itself.
    TestDrive labelled{L"Archiv \u00DC \u03A9"};
    TestDrive plain;
    TestDrive notReady{std::wstring(), TestDrive::State::NotReady};
    MessageBoxRecorder boxes;
    CTestParent parent;
    CDriveCombo combo;
};

std::wstring Entry(char letter, const std::wstring& label = std::wstring()) {
    return std::wstring(1, static_cast<wchar_t>(letter)) + L": " + label;
}

char MissingLetter() {
    DWORD drives = GetLogicalDrives();
    for (char letter = 'Z'; letter >= 'A'; --letter)
        if (!(drives & (1u << (letter - 'A')))) return letter;
    return 0;
}

}  // namespace

TEST_F(DriveComboTest, ListsEveryDriveInLetterOrderWithItsLabelAndSelectsTheCurrentOne) {
    ASSERT_TRUE(SetCurrentDirectoryA(plain.AnsiRoot().c_str()));
    SetErrorMode(0);
    ASSERT_TRUE(combo.FillDrives());

    std::vector<std::wstring> expected;
    DWORD drives = GetLogicalDrives();
    for (int bit = 0; bit < 26; ++bit) {
        if (!(drives & (1u << bit))) continue;
        char letter = static_cast<char>('A' + bit);
        expected.push_back(letter == labelled.Letter() ? Entry(letter, L"Archiv \u00DC \u03A9") : Entry(letter));
    }
    EXPECT_EQ(Entries(), expected);
    EXPECT_NE(IndexOf(notReady.Letter()), -1);  // listed without a label, and no prompt
    EXPECT_EQ(Selected(), Entry(plain.Letter()));
    EXPECT_EQ(GetErrorMode(), UINT(SEM_FAILCRITICALERRORS));  // and left so for good
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(DriveComboTest, SelectDriveIgnoresCaseAndLeavesTheSelectionForAMissingLetter) {
    ASSERT_TRUE(SetCurrentDirectoryA(labelled.AnsiRoot().c_str()));
    ASSERT_TRUE(combo.FillDrives());
    EXPECT_EQ(Selected(), Entry(labelled.Letter(), L"Archiv \u00DC \u03A9"));

    combo.SelectDrive(static_cast<char>(plain.Letter() - 'A' + 'a'));
    EXPECT_EQ(Selected(), Entry(plain.Letter()));

    char missing = MissingLetter();
    ASSERT_NE(missing, 0);
    combo.SelectDrive(missing);
    EXPECT_EQ(Selected(), Entry(plain.Letter()));
}

TEST_F(DriveComboTest, ReadinessNeedsAnEntryInTheRootAndRefusesWithAnExclamationBox) {
    ASSERT_TRUE(combo.FillDrives());
    EXPECT_TRUE(combo.IsDriveReady(IndexOf(labelled.Letter())));  // the label file is an entry
    EXPECT_TRUE(boxes.Boxes().empty());

    EXPECT_FALSE(combo.IsDriveReady(IndexOf(notReady.Letter())));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, L"Drive " + Entry(notReady.Letter()).substr(0, 2) + L" is not ready.");
    EXPECT_EQ(boxes.Boxes()[0].caption, AfxToWide(AfxGetAppName()));  // the program's name, as on every box
    EXPECT_EQ(boxes.Boxes()[0].flags, 0x30u);
    EXPECT_EQ(boxes.Boxes()[0].hOwner, combo.m_hWnd);

    // An empty root yields no entry at all: not ready either.
    EXPECT_FALSE(combo.IsDriveReady(IndexOf(plain.Letter())));
    TempDirectory(plain.Root()).AddDirectory(L"etwas");
    EXPECT_TRUE(combo.IsDriveReady(IndexOf(plain.Letter())));
    EXPECT_EQ(boxes.Boxes().size(), 2u);
}

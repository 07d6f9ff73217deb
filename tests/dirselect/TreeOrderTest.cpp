#include "dirselect/CDirectoryTree.h"

#include "filesystem/CUniqueHandle.h"
#include "tests/dirselect/TreeReading.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/UnixShell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <commctrl.h>

namespace {

using Texts = std::vector<std::string>;

// Names that byte order, case-insensitive order and the platform's word order all put
// differently: case twins (only the Linux side can make them), umlauts, digits, punctuation.
const char* const kAwkwardNames[] = {"b",
                                     "B",
                                     "a",
                                     "A",
                                     "Zebra",
                                     "zebra",
                                     "\xC3\x84pfel",
                                     "apfel",
                                     "Apfel",
                                     "\xC3\xA4",
                                     "\xC3\x84",
                                     "u",
                                     "\xC3\xBC",
                                     "\xC3\x9C",
                                     "e",
                                     "\xC3\xA9",
                                     "Stra\xC3\x9F"
                                     "e",
                                     "strasse",
                                     "\xC3\x9F",
                                     "ss",
                                     "9",
                                     "10",
                                     "012",
                                     "1-2",
                                     "12",
                                     "co-op",
                                     "coop",
                                     "Co-Op",
                                     "it's",
                                     "its",
                                     "_unter",
                                     "unter_",
                                     "#raute",
                                     "~tilde",
                                     "a b",
                                     "a.b",
                                     "a_b",
                                     "(klammer)",
                                     "[eckig]",
                                     "!ausruf",
                                     "z",
                                     "\xC3\xA6sir",
                                     "aesir",
                                     "\xC5\x93uvre",
                                     "oeuvre"};

// Many more names from the awkward letters, reproducibly shuffled together.
std::vector<std::string> MixedNames() {
    const char* const pieces[] = {"a",        "A", "\xC3\xA4", "\xC3\x84", "o", "\xC3\xB6", "ss",
                                  "\xC3\x9F", "-", "'",        "1",        "2", "10",       "_",
                                  ".",        " ", "z",        "Z",        "e", "\xC3\xA9", "\xC5\x93"};
    std::vector<std::string> names;
    unsigned seed = 12345;
    while (names.size() < 300) {
        std::string name;
        for (int i = 0, length = 1 + static_cast<int>(seed % 5); i < length; ++i) {
            seed = seed * 1103515245u + 12345u;
            name += pieces[(seed >> 16) % std::size(pieces)];
        }
        // Names the file system keeps differently from how they were written are left out.
        if (name.back() == '.' || name.back() == ' ' || name == "-") continue;
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
    return names;
}

// The listing as the tree will see it: FindFirstFile's order of the directory's entries.
Texts ListingOrder(const std::string& dir) {
    Texts names;
    WIN32_FIND_DATAA data;
    CFindHandle search(FindFirstFileA((dir + "\\*.*").c_str(), &data));
    if (!search) return names;
    do {
        std::string name = data.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search.Get(), &data));
    return names;
}

}  // namespace

TEST(TreeOrder, ListingIsInExactlyTheOrderOfSortedInsertion) {
    AfxInitCommonControls();
    TempDirectory dir;
    std::string script = "cd " + ShellQuote(UnixPath(dir.Path())) + " && mkdir";
    for (const char* name : kAwkwardNames) script += " " + ShellQuote(name);
    for (const std::string& name : MixedNames()) script += " " + ShellQuote("m" + name);
    RunUnixShell(script);
    Texts listing = ListingOrder(dir.AnsiPath());
    ASSERT_EQ(listing.size(), std::size(kAwkwardNames) + 300);

    CTestParent parent;
    CDirectoryTree tree;
    CTreeCtrl sorted;
    ASSERT_TRUE(tree.CreateEx(0, WC_TREEVIEWA, "", WS_CHILD, 0, 0, 100, 100, parent.m_hWnd, nullptr));
    ASSERT_TRUE(sorted.CreateEx(0, WC_TREEVIEWA, "", WS_CHILD, 0, 0, 100, 100, parent.m_hWnd, nullptr));
    for (const std::string& name : listing) sorted.InsertItem(AfxToWide(name.c_str()).c_str(), 0, 1, TVI_ROOT, TVI_SORT);

    ASSERT_TRUE(SetCurrentDirectoryA(dir.AnsiPath().c_str()));
    ASSERT_TRUE(tree.ShowPath());
    WaitForListing(tree);
    std::vector<std::wstring> shown = ChildTexts(tree, tree.GetSelectedItem());
    std::vector<std::wstring> expectedWide = ChildTexts(sorted, TVI_ROOT);
    EXPECT_EQ(shown, expectedWide);
    Texts expected;
    for (const std::wstring& name : expectedWide) expected.push_back(AfxFromWide(name).GetString());

    // The names are awkward enough: the control's order is neither byte order nor the
    // listing's own order, and it keeps case twins apart in a fixed order.
    Texts bytes = listing;
    std::sort(bytes.begin(), bytes.end());
    EXPECT_NE(expected, bytes);
    EXPECT_NE(expected, listing);
    auto lower = std::find(expected.begin(), expected.end(), "zebra");
    auto upper = std::find(expected.begin(), expected.end(), "Zebra");
    EXPECT_EQ(upper - lower, 1);
    SetCurrentDirectoryA("C:\\");
}

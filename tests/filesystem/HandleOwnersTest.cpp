// Owners of kernel handles: searches, files, kernel objects and registry keys must be given
// back exactly once, by the owner that holds them last.
#include "filesystem/CUniqueHandle.h"
#include "tests/support/TempDirectory.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

// An open search lists on (or reports the end); FindNextFile on a closed one would touch
// freed memory under Wine, so only open searches are probed.
bool Lists(HANDLE hSearch) {
    WIN32_FIND_DATAW data;
    return FindNextFileW(hSearch, &data) || GetLastError() == ERROR_NO_MORE_FILES;
}

}  // namespace

TEST(FindHandle, OnlyTheLastOwnerHoldsTheSearchAndAFailedSearchHoldsNothing) {
    TempDirectory dir;
    for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.txt", L"d.txt"}) dir.AddFile(name);
    WIN32_FIND_DATAW data;
    HANDLE hSearch = FindFirstFileW((dir.Path() + L"\\*").c_str(), &data);
    ASSERT_NE(hSearch, INVALID_HANDLE_VALUE);

    CFindHandle last;
    {
        CFindHandle first(hSearch);
        EXPECT_TRUE(first);
        CFindHandle second(std::move(first));
        EXPECT_FALSE(first);
        last = std::move(second);
        EXPECT_FALSE(second);
    }
    EXPECT_EQ(last.Get(), hSearch);
    EXPECT_TRUE(Lists(hSearch)) << "a moved-from owner closed the search";
    last = CFindHandle();
    EXPECT_FALSE(last);

    CFindHandle none(FindFirstFileW((dir.Path() + L"\\missing\\*").c_str(), &data));
    EXPECT_FALSE(none);
    EXPECT_EQ(none.Get(), INVALID_HANDLE_VALUE);
}

TEST(FileHandle, TheFileIsFreeAgainOnceItsOwnerHasGoneOrClosedIt) {
    TempDirectory dir;
    dir.AddFile(L"locked.txt");
    std::wstring path = dir.Path() + L"\\locked.txt";
    auto openAlone = [&] {
        return CFileHandle(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    };
    {
        CFileHandle first = openAlone();
        ASSERT_TRUE(first);
        CFileHandle second = openAlone();
        EXPECT_FALSE(second);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    }
    CFileHandle again = openAlone();
    ASSERT_TRUE(again) << "the owner that went kept the file open";
    EXPECT_TRUE(again.Close());
    EXPECT_FALSE(again);
    EXPECT_TRUE(again.Close()) << "an empty owner has nothing to close";
    EXPECT_TRUE(openAlone());

    HANDLE hTaken = openAlone().Release();
    ASSERT_NE(hTaken, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(openAlone()) << "a released handle was closed by its former owner";
    CloseHandle(hTaken);
}

TEST(KernelAndRegistryHandles, ReceivingANewHandleClosesTheOldOneAndTheLastOwnerClosesItsOwn) {
    HANDLE hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(hEvent, nullptr);
    DWORD flags = 0;
    {
        CKernelHandle event(hEvent);
        CKernelHandle moved(std::move(event));
        EXPECT_FALSE(event);
        EXPECT_TRUE(GetHandleInformation(hEvent, &flags));
    }
    EXPECT_FALSE(GetHandleInformation(hEvent, &flags)) << "the last owner left the event open";

    CRegistryKey key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, key.Receive()), ERROR_SUCCESS);
    HKEY hFirst = key.Get();
    DWORD subKeys = 0;
    ASSERT_EQ(RegQueryInfoKeyW(hFirst, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr),
              ERROR_SUCCESS);
    // The registry may hand out the same value again, so the old key is looked at before.
    HKEY* slot = key.Receive();
    EXPECT_EQ(*slot, nullptr);
    EXPECT_EQ(RegQueryInfoKeyW(hFirst, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr),
              ERROR_INVALID_HANDLE)
        << "Receive left the key it held open";
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Environment", 0, KEY_READ, slot), ERROR_SUCCESS);
    EXPECT_TRUE(key);
}

// The installation folder added to PATH and taken away again: every other entry, the
// separators and the value's type exactly as they were, at any length; an entry the user had
// already is neither doubled nor taken away.
#include "installer/SearchPathEntry.h"

#include "filesystem/CUniqueHandle.h"
#include "tests/support/TempDirectory.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

const std::wstring kFolder = L"C:\\Program Files\\Umbrix";

}  // namespace

TEST(SearchPathEntry, AddedAtTheEndAndTakenAwayGivesTheSameTextBack) {
    const std::wstring longPath = std::wstring(L"%SystemRoot%\\system32;") + std::wstring(3000, L'x') +
                                  L";D:\\Werkzeuge";
    for (const std::wstring& path :
         {std::wstring(), std::wstring(L"C:\\Windows"), std::wstring(L"C:\\Windows;"), std::wstring(L"a;;b;"),
          std::wstring(L";a"), longPath, std::wstring(L"C:\\Program Files\\Umbrix Alt;C:\\Program Files")}) {
        std::optional<std::wstring> added = WithSearchPathEntry(path, kFolder);
        ASSERT_TRUE(added) << Utf8(path);
        EXPECT_EQ(*added, path.empty() ? kFolder : path + L";" + kFolder);
        EXPECT_EQ(WithoutSearchPathEntry(*added, kFolder), path) << Utf8(path);
    }
}

TEST(SearchPathEntry, AnEntryAlreadyThereIsNotAddedAgain) {
    for (const wchar_t* path :
         {L"C:\\Program Files\\Umbrix", L"a;c:\\program files\\umbrix\\;b", L"C:\\PROGRAM FILES\\UMBRIX;x"})
        EXPECT_EQ(WithSearchPathEntry(path, kFolder), std::nullopt) << Utf8(path);
}

TEST(SearchPathEntry, TakingAwayRemovesOnlyTheLastEntryThatIsTheFolder) {
    const struct {
        const wchar_t* path;
        std::optional<std::wstring> without;
    } cases[] = {
        {L"C:\\Program Files\\Umbrix;a;b", L"a;b"},  // moved to the front by the user
        {L"a;C:\\Program Files\\Umbrix;b", L"a;b"},
        {L"C:\\Program Files\\Umbrix;a;C:\\Program Files\\Umbrix", L"C:\\Program Files\\Umbrix;a"},
        {L"a;c:\\program files\\umbrix", L"a"},
        {L"a;C:\\Program Files\\Umbrix\\;b", std::nullopt},  // not what the setup wrote
        {L"a;C:\\Program Files\\Umbrix2", std::nullopt},
        {L"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(WithoutSearchPathEntry(c.path, kFolder), c.without) << Utf8(c.path);
}

namespace {

// A key of the test's own in the user's registry, holding a "PATH" as Wine spells it.
class TestEnvironmentKey {
public:
    TestEnvironmentKey() {
        RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr,
                        m_key.Receive(), nullptr);
    }
    ~TestEnvironmentKey() {
        m_key.Close();
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
    }
    bool Set(const std::wstring& text, DWORD dwType) {
        return RegSetValueExW(m_key.Get(), L"PATH", 0, dwType, reinterpret_cast<const BYTE*>(text.c_str()),
                              static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    // The one value of the key: its name, type and text.
    std::wstring Read(DWORD& dwType, std::wstring& name) const {
        wchar_t nameBuffer[64];
        DWORD nName = 64, dwSize = 0;
        if (RegEnumValueW(m_key.Get(), 0, nameBuffer, &nName, nullptr, &dwType, nullptr, &dwSize) != ERROR_SUCCESS)
            return L"<none>";
        name.assign(nameBuffer, nName);
        std::wstring text(dwSize / sizeof(wchar_t), L'\0');
        RegQueryValueExW(m_key.Get(), name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()), &dwSize);
        text.resize(text.find(L'\0') == std::wstring::npos ? text.size() : text.find(L'\0'));
        return text;
    }

    static constexpr wchar_t kKey[] = L"Software\\Umbrix Test\\Environment";

private:
    CRegistryKey m_key;
};

}  // namespace

// In the registry: name, type and every character of a PATH far past NSIS's 1,024 characters.
TEST(SearchPathEntry, TheValueKeepsItsNameTypeAndEveryOtherEntry) {
    TestEnvironmentKey key;
    const std::wstring before = L"%SystemRoot%\\system32;" + std::wstring(5000, L'p') + L";";
    ASSERT_TRUE(key.Set(before, REG_EXPAND_SZ));
    EXPECT_EQ(AddSearchPathEntry(HKEY_CURRENT_USER, TestEnvironmentKey::kKey, kFolder), SearchPathChange::Changed);
    EXPECT_EQ(AddSearchPathEntry(HKEY_CURRENT_USER, TestEnvironmentKey::kKey, kFolder), SearchPathChange::NothingToDo);
    DWORD dwType = 0;
    std::wstring name;
    EXPECT_EQ(key.Read(dwType, name), before + L";" + kFolder);
    EXPECT_EQ(dwType, DWORD(REG_EXPAND_SZ));
    EXPECT_EQ(name, L"PATH");

    EXPECT_EQ(RemoveSearchPathEntry(HKEY_CURRENT_USER, TestEnvironmentKey::kKey, kFolder), SearchPathChange::Changed);
    EXPECT_EQ(RemoveSearchPathEntry(HKEY_CURRENT_USER, TestEnvironmentKey::kKey, kFolder),
              SearchPathChange::NothingToDo);
    EXPECT_EQ(key.Read(dwType, name), before);
    EXPECT_EQ(dwType, DWORD(REG_EXPAND_SZ));
    EXPECT_EQ(name, L"PATH");

    ASSERT_TRUE(key.Set(L"C:\\Windows", REG_SZ));  // a plain string stays one
    EXPECT_EQ(AddSearchPathEntry(HKEY_CURRENT_USER, TestEnvironmentKey::kKey, kFolder), SearchPathChange::Changed);
    EXPECT_EQ(key.Read(dwType, name), L"C:\\Windows;" + kFolder);
    EXPECT_EQ(dwType, DWORD(REG_SZ));
    EXPECT_EQ(AddSearchPathEntry(HKEY_CURRENT_USER, L"Software\\Umbrix Test\\Fehlt", kFolder),
              SearchPathChange::Failed);
}

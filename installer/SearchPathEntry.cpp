#include "installer/SearchPathEntry.h"

#include "filesystem/CUniqueHandle.h"

#include <vector>

namespace {

bool SameText(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

std::wstring WithoutFinalBackslash(std::wstring path) {
    while (path.size() > 3 && path.back() == L'\\') path.pop_back();
    return path;
}

// Where each entry of a PATH text begins and ends.
struct Entry {
    size_t begin;
    size_t end;
};

std::vector<Entry> Entries(const std::wstring& path) {
    std::vector<Entry> entries;
    size_t begin = 0;
    for (;;) {
        size_t end = path.find(L';', begin);
        if (end == std::wstring::npos) end = path.size();
        entries.push_back({begin, end});
        if (end == path.size()) return entries;
        begin = end + 1;
    }
}

struct PathValue {
    std::wstring name = L"Path";  // as the key spells it
    DWORD dwType = REG_EXPAND_SZ;
    std::wstring text;
    bool bPresent = false;
};

// The value's own name, in whatever case the key holds it.
std::wstring ValueName(HKEY hKey) {
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nLength = 256;
        LONG status = RegEnumValueW(hKey, i, name, &nLength, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) return L"Path";
        if (status == ERROR_SUCCESS && SameText(std::wstring(name, nLength), L"Path"))
            return std::wstring(name, nLength);
    }
}

bool ReadPath(HKEY hKey, PathValue& value) {
    value.name = ValueName(hKey);
    DWORD dwSize = 0;
    LONG status = RegQueryValueExW(hKey, value.name.c_str(), nullptr, &value.dwType, nullptr, &dwSize);
    if (status == ERROR_FILE_NOT_FOUND) {
        value.dwType = REG_EXPAND_SZ;
        return true;
    }
    if (status != ERROR_SUCCESS || (value.dwType != REG_SZ && value.dwType != REG_EXPAND_SZ)) return false;
    std::vector<wchar_t> buffer(dwSize / sizeof(wchar_t) + 1, L'\0');
    dwSize = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (RegQueryValueExW(hKey, value.name.c_str(), nullptr, &value.dwType, reinterpret_cast<BYTE*>(buffer.data()),
                         &dwSize) != ERROR_SUCCESS)
        return false;
    value.text.assign(buffer.data());  // up to the terminating zero, which the value may lack
    value.bPresent = true;
    return true;
}

bool WritePath(HKEY hKey, const PathValue& value, const std::wstring& text) {
    return RegSetValueExW(hKey, value.name.c_str(), 0, value.dwType, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

template <class Change>
SearchPathChange ChangeSearchPath(HKEY hRoot, const wchar_t* pszKey, Change change) {
    CRegistryKey key;
    if (RegOpenKeyExW(hRoot, pszKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_WOW64_64KEY, key.Receive()) !=
        ERROR_SUCCESS)
        return SearchPathChange::Failed;
    PathValue value;
    if (!ReadPath(key.Get(), value)) return SearchPathChange::Failed;
    std::optional<std::wstring> changed = change(value);
    if (!changed) return SearchPathChange::NothingToDo;
    return WritePath(key.Get(), value, *changed) ? SearchPathChange::Changed : SearchPathChange::Failed;
}

}  // namespace

std::optional<std::wstring> WithSearchPathEntry(const std::wstring& path, const std::wstring& folder) {
    std::wstring wanted = WithoutFinalBackslash(folder);
    for (const Entry& entry : Entries(path))
        if (SameText(WithoutFinalBackslash(path.substr(entry.begin, entry.end - entry.begin)), wanted))
            return std::nullopt;
    return path.empty() ? folder : path + L";" + folder;
}

std::optional<std::wstring> WithoutSearchPathEntry(const std::wstring& path, const std::wstring& folder) {
    std::vector<Entry> entries = Entries(path);
    for (size_t i = entries.size(); i-- > 0;) {
        const Entry& entry = entries[i];
        if (!SameText(path.substr(entry.begin, entry.end - entry.begin), folder)) continue;
        if (entries.size() == 1) return std::wstring();
        // The separator before it, or after it for the first entry.
        size_t begin = i > 0 ? entry.begin - 1 : entry.begin;
        size_t end = i > 0 ? entry.end : entry.end + 1;
        return path.substr(0, begin) + path.substr(end);
    }
    return std::nullopt;
}

SearchPathChange AddSearchPathEntry(HKEY hRoot, const wchar_t* pszKey, const std::wstring& folder) {
    return ChangeSearchPath(hRoot, pszKey,
                            [&folder](const PathValue& value) { return WithSearchPathEntry(value.text, folder); });
}

SearchPathChange RemoveSearchPathEntry(HKEY hRoot, const wchar_t* pszKey, const std::wstring& folder) {
    return ChangeSearchPath(hRoot, pszKey, [&folder](const PathValue& value) -> std::optional<std::wstring> {
        if (!value.bPresent) return std::nullopt;
        return WithoutSearchPathEntry(value.text, folder);
    });
}

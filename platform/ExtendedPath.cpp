#include "platform/ExtendedPath.h"

#include <cwctype>

namespace {

using UnixFileNameFunction = char*(CDECL*)(LPCWSTR);

UnixFileNameFunction WineUnixFileName() {
    static const auto function = reinterpret_cast<UnixFileNameFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    return function;
}

std::wstring FromUtf8Exactly(const char* text) {
    int count = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
    if (count <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(count), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, wide.data(), count);
    wide.pop_back();
    return wide;
}

bool IsReservedDeviceName(const std::wstring& name) {
    std::wstring stem = name.substr(0, name.find_first_of(L". "));
    for (wchar_t& ch : stem) ch = static_cast<wchar_t>(std::towupper(ch));
    static const wchar_t* const devices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* device : devices)
        if (stem == device) return true;
    bool numbered = stem.size() == 4 && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0);
    return numbered && stem[3] >= L'1' && stem[3] <= L'9';
}

}  // namespace

std::wstring AfxExtendedPath(const std::wstring& absolutePath) {
    std::wstring path = absolutePath;
    if (path.compare(0, 4, L"\\\\?\\") == 0) return path;
    while (path.size() > 3 && path.back() == L'\\') path.pop_back();
    if (path.size() == 2 && path[1] == L':') path += L'\\';
    if (path.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + path.substr(2);
    return L"\\\\?\\" + path;
}

bool AfxIsWine() {
    static const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
}

std::string AfxWineUnixFileName(const std::wstring& absolutePath) {
    UnixFileNameFunction unixFileName = WineUnixFileName();
    if (!AfxIsWine() || !unixFileName) return std::string();
    // The extended form, so that a trailing dot or blank is not dropped on the way.
    char* unixPath = unixFileName(AfxExtendedPath(absolutePath).c_str());
    if (!unixPath) return std::string();
    std::string result(unixPath);
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

std::wstring AfxUnixNamespacePath(const std::wstring& absolutePath) {
    std::string unixPath = AfxWineUnixFileName(absolutePath);
    if (unixPath.empty()) return std::wstring();
    std::wstring wide = FromUtf8Exactly(unixPath.c_str());
    // A backslash inside a Linux name cannot be spelled in a Windows path.
    if (wide.empty() || wide[0] != L'/' || wide.find(L'\\') != std::wstring::npos) return std::wstring();
    for (wchar_t& ch : wide)
        if (ch == L'/') ch = L'\\';
    return L"\\\\?\\unix" + wide;
}

std::wstring AfxExactPath(const std::wstring& absolutePath) {
    std::wstring unixPath = AfxUnixNamespacePath(absolutePath);
    return unixPath.empty() ? AfxExtendedPath(absolutePath) : unixPath;
}

std::wstring AfxJoinPath(const std::wstring& directory, const std::wstring& name) {
    if (!directory.empty() && directory.back() == L'\\') return directory + name;
    return directory + L'\\' + name;
}

bool AfxPathRulesKeepName(const std::wstring& name) {
    if (name.empty() || name == L"." || name == L"..") return false;
    if (name.back() == L'.' || name.back() == L' ') return false;
    if (name.find_first_of(L"<>:\"/\\|?*") != std::wstring::npos) return false;
    for (wchar_t ch : name)
        if (ch < 32) return false;
    return !IsReservedDeviceName(name);
}

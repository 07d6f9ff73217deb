#include "wine/WineHost.h"

#include "filesystem/ExtendedPath.h"

#include <windows.h>

#include <memory>

namespace {

using UnixFileNameFunction = char*(CDECL*)(LPCWSTR);

// kernel32's export under Wine; Windows has no such function.
UnixFileNameFunction WineUnixFileNameFunction() {
    static const auto function = reinterpret_cast<UnixFileNameFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    return function;
}

// wine_get_unix_file_name's result, given back to the process heap.
struct ProcessHeapDeleter {
    void operator()(char* block) const { HeapFree(GetProcessHeap(), 0, block); }
};

std::wstring FromUtf8Exactly(const char* text) {
    int count = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
    if (count <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(count), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, wide.data(), count);
    wide.pop_back();
    return wide;
}

}  // namespace

namespace wine {

bool IsHost() {
    static const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
}

std::string UnixFileName(const std::wstring& absolutePath) {
    UnixFileNameFunction unixFileName = WineUnixFileNameFunction();
    if (!IsHost() || !unixFileName) return std::string();
    // The extended form, so that a trailing dot or blank is not dropped on the way.
    std::unique_ptr<char, ProcessHeapDeleter> unixPath(unixFileName(AfxExtendedPath(absolutePath).c_str()));
    return unixPath ? std::string(unixPath.get()) : std::string();
}

std::wstring UnixNamespacePath(const std::wstring& absolutePath) {
    std::string unixPath = UnixFileName(absolutePath);
    if (unixPath.empty()) return std::wstring();
    std::wstring wide = FromUtf8Exactly(unixPath.c_str());
    // A backslash inside a Linux name cannot be spelled in a Windows path.
    if (wide.empty() || wide[0] != L'/' || wide.find(L'\\') != std::wstring::npos) return std::wstring();
    for (wchar_t& ch : wide)
        if (ch == L'/') ch = L'\\';
    return L"\\\\?\\unix" + wide;
}

std::wstring ExactPath(const std::wstring& absolutePath) {
    std::wstring unixPath = UnixNamespacePath(absolutePath);
    return unixPath.empty() ? AfxExtendedPath(absolutePath) : unixPath;
}

}  // namespace wine

#include "tests/support/Observations.h"

std::string CurrentDirectory() {
    char buffer[1024] = {};
    GetCurrentDirectoryA(sizeof buffer, buffer);
    return buffer;
}

std::string WindowText(HWND hWnd) {
    auto length = static_cast<size_t>(SendMessageA(hWnd, WM_GETTEXTLENGTH, 0, 0));
    std::string text(length + 1, '\0');
    auto copied = static_cast<size_t>(
        SendMessageA(hWnd, WM_GETTEXT, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(text.data())));
    text.resize(copied < length ? copied : length);
    return text;
}

std::wstring WideCurrentDirectory() {
    std::wstring path(GetCurrentDirectoryW(0, nullptr), L'\0');
    path.resize(GetCurrentDirectoryW(static_cast<DWORD>(path.size()), path.data()));
    return path;
}

std::wstring WideWindowText(HWND hWnd) {
    auto length = static_cast<size_t>(SendMessageW(hWnd, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(length + 1, L'\0');
    auto copied = static_cast<size_t>(
        SendMessageW(hWnd, WM_GETTEXT, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(text.data())));
    text.resize(copied < length ? copied : length);
    return text;
}

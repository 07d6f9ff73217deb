#pragma once
// What only Wine offers, in one place: telling Wine from Windows, the Linux file name behind a
// Windows path, and Wine's Unix namespace ("\\?\unix\..."), where a path is looked up exactly,
// with no search ignoring case, so that a change of case alone really renames a file there.
// On Windows every function here answers "none", and the exact path is the extended one.
#include <string>

namespace wine {

// Whether the program runs on Wine rather than on Windows.
bool IsHost();

// The Linux path (UTF-8) of an absolute Windows path; empty on Windows or when there is none.
std::string UnixFileName(const std::wstring& absolutePath);

// The path in Wine's Unix namespace, or an empty string on Windows or when the Linux path
// cannot be spelled there (bytes that are not UTF-8, a backslash inside a Linux name).
std::wstring UnixNamespacePath(const std::wstring& absolutePath);

// The path that names exactly this file or directory: Wine's Unix namespace where there is
// one, else the extended form ("\\?\X:\...").
std::wstring ExactPath(const std::wstring& absolutePath);

}  // namespace wine

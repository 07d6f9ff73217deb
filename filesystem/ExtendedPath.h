#pragma once
// Paths that the platform takes literally. Plain Win32 paths are parsed: a trailing dot or
// blank is dropped, device names such as "NUL" win over files, and ANSI calls pass through a
// 260-character buffer. An extended path ("\\?\X:\...") is used as it stands.
#include <windows.h>

#include <string>

// "X:\dir" -> "\\?\X:\dir", "\\server\share\dir" -> "\\?\UNC\server\share\dir". A drive root
// keeps its backslash; any other trailing backslash goes.
std::wstring AfxExtendedPath(const std::wstring& absolutePath);

// directory and name joined by exactly one backslash.
std::wstring AfxJoinPath(const std::wstring& directory, const std::wstring& name);

// Whether Win32 path parsing leaves this one path component as it is: no trailing dot or
// blank, no wildcard or separator, no device name, not "." or "..".
bool AfxPathRulesKeepName(const std::wstring& name);

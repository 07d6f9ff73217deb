#pragma once
// Paths that the platform takes literally. Plain Win32 paths are parsed: a trailing dot or
// blank is dropped, device names such as "NUL" win over files, and ANSI calls pass through a
// 260-character buffer. An extended path ("\\?\X:\...") is used as it stands, and under Wine
// a path in its Unix namespace ("\\?\unix\...") is looked up exactly, with no search ignoring
// case, so that a change of case alone really renames a file there.
#include <windows.h>

#include <string>

// "X:\dir" -> "\\?\X:\dir", "\\server\share\dir" -> "\\?\UNC\server\share\dir". A drive root
// keeps its backslash; any other trailing backslash goes.
std::wstring AfxExtendedPath(const std::wstring& absolutePath);

// Whether the program runs on Wine rather than on Windows.
bool AfxIsWine();

// The Linux path (UTF-8) of a Windows path under Wine; empty on Windows or when there is none.
std::string AfxWineUnixFileName(const std::wstring& absolutePath);

// The directory in Wine's Unix namespace, or an empty string on Windows or when the directory
// has no Unix path that the namespace can spell.
std::wstring AfxUnixNamespacePath(const std::wstring& absolutePath);

// The path that names exactly this directory: Wine's Unix namespace where there is one, else
// the extended form.
std::wstring AfxExactPath(const std::wstring& absolutePath);

// directory and name joined by exactly one backslash.
std::wstring AfxJoinPath(const std::wstring& directory, const std::wstring& name);

// Whether Win32 path parsing leaves this one path component as it is: no trailing dot or
// blank, no wildcard or separator, no device name, not "." or "..".
bool AfxPathRulesKeepName(const std::wstring& name);

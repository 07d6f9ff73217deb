#pragma once
// The process's current directory as the program knows it: one reader, and one way to move
// it. A directory that the platform cannot make current exactly is kept here instead and read
// back in its place for as long as the process's own current directory stays where it was:
// one deeper than 259 characters (ANSI calls refuse it, and under Wine a dialog program
// crashed soon after SetCurrentDirectoryW took one), or one whose name path parsing changes
// ("Music." would be "Music").
#include <windows.h>

#include <string>

// Empty, with the error in GetLastError, when the current directory cannot be read.
std::wstring AfxGetCurrentDirectory();

// path: an absolute directory, or "X:" for the directory that drive X remembers. FALSE, with
// the error in GetLastError, when there is no such directory; nothing changes then.
BOOL AfxSetCurrentDirectory(const std::wstring& path);

// The longest path that is ever made the process's current directory.
constexpr size_t AFX_MAX_CURRENT_DIRECTORY = MAX_PATH - 1;

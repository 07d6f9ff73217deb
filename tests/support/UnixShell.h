#pragma once
// Runs a shell script on the Linux side of Wine and waits until it has finished. Only there
// can a test make what Win32 itself refuses to, such as two files whose names differ in case.
#include <string>

// Throws when the script does not finish within a few seconds.
void RunUnixShell(const std::string& script);

// The Linux path of a Windows path (Wine only).
std::string UnixPath(const std::wstring& windowsPath);

// Quotes a text for the shell.
std::string ShellQuote(const std::string& text);

#pragma once
// Runs a shell script on the Linux side of Wine and waits until it has finished. Only there
// can a test make what Win32 itself refuses to, such as two files whose names differ in case.
#include <string>

// The script runs with `sh -e`: the first command that fails ends it. Throws when it failed
// (the message holds its exit status and what it wrote) or did not end within timeoutMs.
void RunUnixShell(const std::string& script, unsigned long timeoutMs = 10000);

// The Linux path of a Windows path (Wine only).
std::string UnixPath(const std::wstring& windowsPath);

// Quotes a text for the shell.
std::string ShellQuote(const std::string& text);

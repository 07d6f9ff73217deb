#pragma once
// A run started from the command line ("umbrix.exe /klein DIR"): no splash, no main dialog;
// the same run as from the main dialog's buttons, its progress window and end box standing
// alone (or, with /still, no window at all), and its end as the process's exit code.
#include "app/CaseCommandLine.h"

#include <string>

// The exit code of a command line that makes no run: nothing was done.
constexpr int kExitNothingDone = 2;

// The directory given, made absolute against currentDirectory ("X:\..." or "\\server\share\..."):
// "." and ".." are taken away, a final backslash goes (a drive's root keeps it), '/' is read
// as '\'. Every other name is kept exactly, trailing dots and blanks included.
std::wstring AbsoluteDirectory(const std::wstring& given, const std::wstring& currentDirectory);

// Runs what the command line asks (a run, the undo, the usage), or reports what is wrong with
// it; returns the exit code. A run or undo can be stopped from outside (CStopFromOutside).
int RunFromCommandLine(const CaseCommand& command);

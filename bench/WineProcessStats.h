#pragma once
// What Linux knows of the processes of this Wine prefix, read through drive Z: (Wine only):
// their CPU time, which a busy machine stretches far less than the wall clock, and their peak
// resident set. Wine's own figures fall short here: GetProcessTimes of another process counts
// its first thread only.
#include <cstddef>
#include <set>

namespace WineProcessStats {

// The Linux processes of this prefix whose command line holds the text (every one for ""): the
// prefix's own (wineserver, explorer with the desktop, services), its display and its
// programs. Empty where the Linux side cannot be read (not under Wine).
std::set<int> ProcessesOf(const char* pszCommandText);
// The one of ProcessesOf that is not in before (a process just started); 0 when none or many.
int NewProcess(const char* pszCommandText, const std::set<int>& before);
// User and system time so far, in seconds; negative when the process is gone.
double CpuSeconds(int nUnixPid);
// The peak resident set (VmHWM) in bytes; 0 when the process is gone.
size_t PeakResidentBytes(int nUnixPid);

}  // namespace WineProcessStats

#pragma once
// Explorer starts one copy of the program for each folder chosen, within a fraction of a
// second, but a busy machine may take seconds to bring each one up. The copy that renames the
// folders handed over to it therefore waits, before its run ends, for every other copy that
// exists by then to decide what it does with its command line (hand its folder over, wait its
// turn, or open the main dialog). A copy says so with a named event of its session, which goes
// when the copy ends; a copy that has ended has decided too.
#include <atomic>
#include <windows.h>

// This copy has decided; said once, for the rest of its life. Every copy says it, as soon as
// it knows.
void AnnounceDecided();

// Waits until every other copy of the program in this session that exists now has decided or
// ended, or bStop is set, or dwLongest milliseconds have passed (a copy hung in its start must
// not hold a run forever).
void WaitForStartingCopies(const std::atomic<bool>& bStop, DWORD dwLongest);

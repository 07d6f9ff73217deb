#pragma once
// Explorer starts one copy of the program for each folder chosen, within a fraction of a
// second, but a busy machine may take seconds to bring each one up. A run that takes folders
// handed over therefore waits, before it takes no more, for every other copy that exists by
// then to say what it does with its command line (hand its folder over, wait its turn, or open
// the main dialog), and for every copy that waits for the turn with a folder of the run's kind
// to hand it over. A copy says so by named events of its session, which go when it ends; a
// copy that has ended has said all it will.
#include <windows.h>

#include <atomic>
#include <string>

// This copy has said what it does. Every copy says it, as soon as it knows.
void AnnounceDecided();

// This copy waits for the turn with a folder it would hand over to a run of that kind; until
// NoLongerWaiting, a run of that kind waits for it at its end.
void AnnounceWaiting(const std::wstring& kind);
void NoLongerWaiting();

// Waits until every other copy of the program in this session that exists now has said what
// it does, and none waits with a folder of this kind, or they have ended; or until bStop is set
// or dwLongest milliseconds have passed (a copy hung in its start must not hold a run forever).
void WaitForStartingCopies(const std::wstring& kind, const std::atomic<bool>& bStop, DWORD dwLongest);

#pragma once
// The files the rename benchmarks work on: names of 14 characters or more in three spellings,
// made on the Linux side and checked on disk after every run, because a case-only rename can
// report success and change nothing.
#include "tests/support/TempDirectory.h"

#include <string>
#include <vector>

using Names = std::vector<std::wstring>;

enum class Spelling { Mixed, Lower, Upper };

// The same count of names in each spelling name the same files; each spelling changes every
// name of the others, one stem holds a letter of the code page beyond ASCII.
Names MakeNames(int count, Spelling spelling);

// The directory sizes a benchmark works on: its arguments, else UMBRIX_BENCH_SIZES, else
// defaults ("20000 100000").
std::vector<int> BenchSizes(int argc, char** argv, const char* defaults);

// Ends the benchmark at once with the message, leaving whatever it made for a look.
[[noreturn]] void Fail(const std::string& what);

// Made on the Linux side: through Win32 each new name would cost a scan of the directory.
void CreateFiles(const TempDirectory& dir, const Names& names);

// Fails unless the directory holds exactly these names; step names what came before.
void Verify(const TempDirectory& dir, Names expected, const char* step);

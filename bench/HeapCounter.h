#pragma once
// Counts the bytes the program holds through operator new, so that a benchmark can report how
// much memory an operation needed at its peak: the heap behind the operators of
// tests/support/ReplacedNew.cpp, in every executable that links the two.
#include <cstddef>

namespace HeapCounter {

std::size_t BytesInUse();
std::size_t PeakBytes();
// Starts a new peak from what is in use now.
void ResetPeak();

}  // namespace HeapCounter

#pragma once
// The heap behind the program's operator new and delete (tests/support/ReplacedNew.cpp, linked
// beside it), so that memory can be made to run out on
// the threads a test starts beside its own: while armed, allocations on any thread other than
// the one that armed it fail with std::bad_alloc once a given number of them has succeeded.
// Everything comes from malloc.
namespace FailingHeap {

// Counts, from now on, the allocations of the other threads; nothing fails.
void Count();
// From now on the other threads' allocations fail after nAllowed more have succeeded.
void FailAfter(long nAllowed);
// Allocations of other threads since the last Count or FailAfter (failed ones included).
long Allocations();
// Nothing fails and nothing is counted any more.
void Disarm();

}  // namespace FailingHeap

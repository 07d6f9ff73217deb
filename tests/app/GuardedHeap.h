#pragma once
// The heap behind the program's operator new and delete (tests/support/ReplacedNew.cpp, linked
// beside it). Objects of one watched size get pages of
// their own, and deleting one makes its pages inaccessible instead of handing them back: a
// later use of the object ends the test program at once with a message and exit code 3 (no
// debugger, no hanging), and a second delete is counted instead of corrupting the heap.
// Everything else comes from malloc.
#include <cstddef>

namespace GuardedHeap {

void Watch(std::size_t size);  // from now on; 0 watches nothing new. Resets the counts.
int Deletes();                 // deletes of watched objects since Watch
int DoubleDeletes();           // deletes of objects that were already deleted, since Watch

}  // namespace GuardedHeap

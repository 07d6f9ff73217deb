#pragma once
// The program's global operator new and delete, in every form, handed to a heap of the
// program's own. A test or benchmark program that lists ReplacedNew.cpp among its sources
// defines these two; it is kept out of the support library, since every program would then
// take it.
#include <cstddef>

namespace ReplacedNew {

void* Allocate(std::size_t size);    // throws std::bad_alloc where there is no memory
void Release(void* block) noexcept;  // never null

}  // namespace ReplacedNew

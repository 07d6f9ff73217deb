#include "tests/support/ReplacedNew.h"

#include <new>

namespace {

void ReleaseBlock(void* block) noexcept {
    if (block) ReplacedNew::Release(block);
}

}  // namespace

void* operator new(std::size_t size) { return ReplacedNew::Allocate(size); }
void* operator new[](std::size_t size) { return ReplacedNew::Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return ReplacedNew::Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* block) noexcept { ReleaseBlock(block); }
void operator delete[](void* block) noexcept { ReleaseBlock(block); }
void operator delete(void* block, std::size_t) noexcept { ReleaseBlock(block); }
void operator delete[](void* block, std::size_t) noexcept { ReleaseBlock(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { ReleaseBlock(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { ReleaseBlock(block); }

#include "tests/app/FailingHeap.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<DWORD> s_dwArmingThread{0};  // 0: disarmed
std::atomic<long> s_nAllocations{0};
std::atomic<long> s_nAllowed{-1};  // -1: counting only

void Arm(long nAllowed) {
    s_nAllocations = 0;
    s_nAllowed = nAllowed;
    s_dwArmingThread = GetCurrentThreadId();
}

void* Allocate(std::size_t size) {
    DWORD dwArming = s_dwArmingThread.load();
    if (dwArming != 0 && GetCurrentThreadId() != dwArming) {
        long nBefore = s_nAllocations.fetch_add(1);
        long nAllowed = s_nAllowed.load();
        if (nAllowed >= 0 && nBefore >= nAllowed) throw std::bad_alloc();
    }
    void* block = std::malloc(size ? size : 1);
    if (!block) throw std::bad_alloc();
    return block;
}

}  // namespace

namespace FailingHeap {

void Count() { Arm(-1); }
void FailAfter(long nAllowed) { Arm(nAllowed); }
long Allocations() { return s_nAllocations.load(); }
void Disarm() { s_dwArmingThread = 0; }

}  // namespace FailingHeap

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }

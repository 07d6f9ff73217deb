#include "tests/app/FailingHeap.h"

#include "tests/support/ReplacedNew.h"

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

}  // namespace

void* ReplacedNew::Allocate(std::size_t size) {
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

void ReplacedNew::Release(void* block) noexcept { std::free(block); }

namespace FailingHeap {

void Count() { Arm(-1); }
void FailAfter(long nAllowed) { Arm(nAllowed); }
long Allocations() { return s_nAllocations.load(); }
void Disarm() { s_dwArmingThread = 0; }

}  // namespace FailingHeap

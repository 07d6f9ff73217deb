#include "tests/app/GuardedHeap.h"

#include "tests/support/ReplacedNew.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

// A fixed table, so that keeping the books allocates nothing.
constexpr int kMaxWatched = 256;
void* s_blocks[kMaxWatched];
bool s_freed[kMaxWatched];
int s_nBlocks = 0;
std::size_t s_watchedSize = 0;
int s_nDeletes = 0;
int s_nDoubleDeletes = 0;

int FindBlock(void* p) {
    for (int i = 0; i < s_nBlocks; ++i)
        if (s_blocks[i] == p) return i;
    return -1;
}

// A touch of a deleted watched object: no debugger, no unwinding, just the news and an end.
LONG CALLBACK StopAtUseAfterDelete(EXCEPTION_POINTERS* pInfo) {
    const EXCEPTION_RECORD* pRecord = pInfo->ExceptionRecord;
    if (pRecord->ExceptionCode != EXCEPTION_ACCESS_VIOLATION || pRecord->NumberParameters < 2)
        return EXCEPTION_CONTINUE_SEARCH;
    auto address = static_cast<char*>(reinterpret_cast<void*>(pRecord->ExceptionInformation[1]));
    for (int i = 0; i < s_nBlocks; ++i) {
        auto* block = static_cast<char*>(s_blocks[i]);
        if (s_freed[i] && address >= block && address < block + 4096) {
            std::fprintf(stderr, "GuardedHeap: deleted object at %p used at code address %p\n", s_blocks[i],
                         pRecord->ExceptionAddress);
            std::fflush(stderr);
            TerminateProcess(GetCurrentProcess(), 3);
        }
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

void* ReplacedNew::Allocate(std::size_t size) {
    if (size == s_watchedSize && s_nBlocks < kMaxWatched) {
        void* p = VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (p) {
            s_freed[s_nBlocks] = false;
            s_blocks[s_nBlocks++] = p;
            return p;
        }
    }
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

void ReplacedNew::Release(void* p) noexcept {
    int i = FindBlock(p);
    if (i < 0) {
        std::free(p);
        return;
    }
    if (s_freed[i]) {
        ++s_nDoubleDeletes;
        return;
    }
    s_freed[i] = true;
    ++s_nDeletes;
    DWORD old = 0;
    VirtualProtect(p, s_watchedSize, PAGE_NOACCESS, &old);
}

void GuardedHeap::Watch(std::size_t size) {
    static PVOID s_handler = AddVectoredExceptionHandler(1, &StopAtUseAfterDelete);
    (void)s_handler;
    s_watchedSize = size;
    s_nDeletes = 0;
    s_nDoubleDeletes = 0;
}

int GuardedHeap::Deletes() { return s_nDeletes; }
int GuardedHeap::DoubleDeletes() { return s_nDoubleDeletes; }

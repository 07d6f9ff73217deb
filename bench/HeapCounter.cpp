#include "bench/HeapCounter.h"

#include "tests/support/ReplacedNew.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

// Each block carries its size in front, so that delete knows how much it gives back.
constexpr std::size_t kHeader = alignof(std::max_align_t);

std::atomic<std::size_t> s_inUse{0};
std::atomic<std::size_t> s_peak{0};

}  // namespace

void* ReplacedNew::Allocate(std::size_t size) {
    void* raw = std::malloc(size + kHeader);
    if (!raw) throw std::bad_alloc();
    *static_cast<std::size_t*>(raw) = size;
    std::size_t now = s_inUse.fetch_add(size) + size;
    std::size_t peak = s_peak.load();
    while (now > peak && !s_peak.compare_exchange_weak(peak, now)) {}
    return static_cast<char*>(raw) + kHeader;
}

void ReplacedNew::Release(void* block) noexcept {
    void* raw = static_cast<char*>(block) - kHeader;
    s_inUse.fetch_sub(*static_cast<std::size_t*>(raw));
    std::free(raw);
}

std::size_t HeapCounter::BytesInUse() { return s_inUse.load(); }
std::size_t HeapCounter::PeakBytes() { return s_peak.load(); }
void HeapCounter::ResetPeak() { s_peak.store(s_inUse.load()); }

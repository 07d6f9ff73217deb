#pragma once
// What a rename run and the thread that watches it share: a count and a stop request. The run
// writes the counts and reads the request; the watcher reads the counts and writes the request.
// Nothing else passes between them while the run lasts.
#include <atomic>
#include <cstddef>

struct CaseRunControl {
    std::atomic<size_t> nTotal{0};  // files the run will try, set once after the listing
    std::atomic<size_t> nDone{0};   // files handled so far (renamed or kept)
    std::atomic<bool> bStopRequested{false};
};

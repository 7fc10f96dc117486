#pragma once
#include <cstdint>

namespace Bench {

// Counts heap allocations made on the counting thread while counting is on:
// C++ `new` (the show's own code) and `malloc` (which includes the GL
// driver's allocations on that thread).
struct AllocationCounts {
    uint64_t news;
    uint64_t mallocs;
};

void StartCountingAllocations();
AllocationCounts StopCountingAllocations();

} // namespace Bench

#pragma once
#include <cstdint>

namespace Bench {

// Counts heap allocations made on the counting thread while counting is on,
// split by who asked: the show's own code (anything linked into this
// executable, standard-library templates included) or the libraries it
// calls (the GL driver, whose shader compiler is itself C++).
struct AllocationCounts {
    uint64_t ownCode;
    uint64_t libraries;
};

void StartCountingAllocations();
AllocationCounts StopCountingAllocations();

} // namespace Bench

// This binary's own global allocation functions: they count the allocations made by a thread
// while it counts, and can refuse a chosen non-throwing allocation.
#pragma once

#include <cstddef>

namespace allocation_probe {

void StartCounting();
// The allocations the calling thread made since StartCounting.
std::size_t StopCounting();

// The nth non-throwing allocation of exactly `size` bytes from now on, on any thread, returns
// null.
void RefuseNothrowAllocation(std::size_t size, int nth);

}  // namespace allocation_probe

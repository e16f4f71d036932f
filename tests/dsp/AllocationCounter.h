// Counts heap allocations made by this test program while counting is switched on.
#pragma once

namespace velmar::test {

void StartCountingAllocations();
// Switches counting off and returns the allocations made since the start.
long StopCountingAllocations();

} // namespace velmar::test

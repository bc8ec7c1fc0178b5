#pragma once

// How the process takes memory from the system.
namespace MemoryPolicy {

// Large blocks (sorting a million rows, listing a million results) are mapped on their own and go back
// to the system as soon as they are freed, instead of staying in the heap as the allocator's threshold
// for mapping them grows. Call once, before anything large is allocated.
void returnLargeBlocksAtOnce();

} // namespace MemoryPolicy

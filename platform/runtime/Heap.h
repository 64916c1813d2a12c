#pragma once

#include <cstddef>

namespace DewlightPlatform {

// Hands the heap freed by a large piece of work (a full ledger read or merged) back to the
// system: the allocator keeps it otherwise, and for a long-running tray process that is
// tens of megabytes held for nothing. Cheap for a small heap; called after reading or writing
// a stored text of at least `largeText` bytes, or merging at least `largeDrinks` records.
void returnFreedHeap();
inline constexpr std::size_t largeText = 256 * 1024;
inline constexpr std::size_t largeDrinks = 1000;

} // namespace DewlightPlatform

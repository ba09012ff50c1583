#pragma once
// The memory bound of the frame buffer list. Frames are kept uncompressed for the whole
// capture, so a long capture could take all the memory of the PC; the bound stops keeping
// frames while the PC still has a quarter of its physical memory free (or, in tests, at a
// fixed number of bytes held by the list).

#include <cstdint>
#include <optional>

namespace Frame_Buffer {
// Physical memory in bytes, as /proc/meminfo reports it; 0 when unknown.
struct Memory_State {
  std::int64_t total = 0;
  std::int64_t available = 0;
};
Memory_State Read_Memory_State();

// Bytes the list may hold in all when it holds held_bytes now and the PC has the memory
// given: what is available beyond a quarter of the total, plus what the list already has.
// Unknown memory gives no bound.
std::int64_t Budget_For(const Memory_State &memory, std::int64_t held_bytes);

// A fixed bound in bytes held by the list, replacing the physical-memory rule; nullopt
// goes back to that rule.
void Set_Memory_Limit(std::optional<std::int64_t> bytes);
std::optional<std::int64_t> Memory_Limit();

// Bytes of pixel data the list holds now.
std::int64_t Held_Bytes();

// Takes the memory state afresh; the bound then holds until the next refresh.
void Refresh_Budget();
// Whether one more record of record_bytes still fits under the bound. Refreshes the budget
// now and then, so memory others take meanwhile is counted.
bool Room_For(std::int64_t record_bytes);
} // namespace Frame_Buffer

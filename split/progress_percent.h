#pragma once
#include <cstdint>

namespace vpk::split {

// round(done / total * 100) with halves to even, clamped to 0..100. A total of 0 or less (nothing to
// do, or a damaged header) reads as finished: 100.
std::uint8_t ProgressPercent(std::uint64_t done, std::int64_t total);

}  // namespace vpk::split

#pragma once
// Free bytes of a drive by number (1 = A:, 3 = C:), or -1 when the system cannot tell (no disk, no
// such drive). A simulated medium's capacity bounds the answer.
#include <cstdint>

namespace vpk {

std::int64_t DiskFree(int driveNumber);

}  // namespace vpk

#include "split/progress_percent.h"

namespace vpk::split {

std::uint8_t ProgressPercent(std::uint64_t done, std::int64_t total) {
    if (total <= 0) return 100;
    const auto whole = static_cast<std::uint64_t>(total);
    if (done >= whole) return 100;
    // done < total here, so done * 100 cannot overflow for any total a file system can hold.
    const std::uint64_t scaled = done * 100;
    std::uint64_t percent = scaled / whole;
    const std::uint64_t twiceRest = (scaled % whole) * 2;
    if (twiceRest > whole || (twiceRest == whole && (percent & 1) != 0)) ++percent;
    return static_cast<std::uint8_t>(percent);
}

}  // namespace vpk::split

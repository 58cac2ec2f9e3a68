#pragma once
// Durations shown to the user and waiting while the windows stay alive.
#include <cstdint>
#include <string>

namespace vpk {

// "MM:SS Sec." for stop - start milliseconds (minutes keep every digit past two); "00:00 Sec." when
// stop is before start.
std::string ElapsedText(std::uint64_t startMs, std::uint64_t stopMs);
// Pumps pending events until ms milliseconds of the installed clock have passed.
void WaitMs(std::uint64_t ms);

}  // namespace vpk

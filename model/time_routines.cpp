#include "model/time_routines.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/clock.h"
#include "platform/event_pump.h"

namespace vpk {

std::string ElapsedText(std::uint64_t startMs, std::uint64_t stopMs) {
    const std::uint64_t seconds = stopMs > startMs ? (stopMs - startMs) / 1000 : 0;
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%02llu:%02llu Sec.", static_cast<unsigned long long>(seconds / 60),
                  static_cast<unsigned long long>(seconds % 60));
    return buffer;
}

void WaitMs(std::uint64_t ms) {
    Clock& clock = Clock::Current();
    const std::uint64_t start = clock.TickMs();
    while (clock.TickMs() - start < ms) {
        ProcessPendingEvents();
        // A short sleep keeps the wait from spinning a core; events are still handled promptly.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

}  // namespace vpk

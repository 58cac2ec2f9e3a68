// DOS packed date/time: bits 31..25 year-1980, 24..21 month, 20..16 day, 15..11 hour, 10..5 minute,
// 4..0 seconds/2, in local time.
#include <algorithm>
#include <ctime>

#include "platform/file_system.h"

namespace vpk {

namespace {
constexpr std::uint32_t kFirstDos = (0u << 25) | (1u << 21) | (1u << 16);  // 1980-01-01 00:00:00
constexpr std::uint32_t kLastDos = (127u << 25) | (12u << 21) | (31u << 16) | (23u << 11) | (59u << 5) | 29u;
}  // namespace

std::uint32_t DosDateTimeFromUnix(std::int64_t unixTime) {
    const std::time_t t = static_cast<std::time_t>(unixTime);
    std::tm tm{};
    if (!localtime_r(&t, &tm)) return unixTime < 0 ? kFirstDos : kLastDos;
    const int year = tm.tm_year + 1900;
    if (year < 1980) return kFirstDos;
    if (year > 2107) return kLastDos;
    return (static_cast<std::uint32_t>(year - 1980) << 25) |
           (static_cast<std::uint32_t>(tm.tm_mon + 1) << 21) |
           (static_cast<std::uint32_t>(tm.tm_mday) << 16) | (static_cast<std::uint32_t>(tm.tm_hour) << 11) |
           (static_cast<std::uint32_t>(tm.tm_min) << 5) | static_cast<std::uint32_t>(tm.tm_sec / 2);
}

std::int64_t UnixFromDosDateTime(std::uint32_t dos) {
    // Stored values may be damaged (an archive from anywhere): out-of-range fields are clamped so the
    // result is always a real time.
    std::tm tm{};
    tm.tm_year = static_cast<int>(dos >> 25) + 80;
    tm.tm_mon = std::clamp(static_cast<int>((dos >> 21) & 0x0F), 1, 12) - 1;
    tm.tm_mday = std::clamp(static_cast<int>((dos >> 16) & 0x1F), 1, 31);
    tm.tm_hour = std::min(static_cast<int>((dos >> 11) & 0x1F), 23);
    tm.tm_min = std::min(static_cast<int>((dos >> 5) & 0x3F), 59);
    tm.tm_sec = std::min(static_cast<int>(dos & 0x1F) * 2, 58);
    // Not mktime: it looks at the time zone file again on every call (two system calls per extracted
    // file). The fields are read as UTC, then moved by the offset in force at that moment, found in two
    // steps so a change of offset between the two readings is followed.
    const std::time_t asUtc = timegm(&tm);
    std::time_t t = asUtc;
    for (int step = 0; step < 2; ++step) {
        std::tm local{};
        if (!localtime_r(&t, &local)) break;
        t = asUtc - local.tm_gmtoff;
    }
    return static_cast<std::int64_t>(t);
}

}  // namespace vpk

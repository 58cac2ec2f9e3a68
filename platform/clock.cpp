#include "platform/clock.h"

#include <ctime>

namespace vpk {

namespace {

Clock* installed = nullptr;

LocalDateTime FromUnix(std::int64_t unixTime, int millisecond) {
    const std::time_t t = static_cast<std::time_t>(unixTime);
    std::tm tm{};
    localtime_r(&t, &tm);
    LocalDateTime at;
    at.year = tm.tm_year + 1900;
    at.month = tm.tm_mon + 1;
    at.day = tm.tm_mday;
    at.hour = tm.tm_hour;
    at.minute = tm.tm_min;
    at.second = tm.tm_sec;
    at.millisecond = millisecond;
    at.dayOfWeek = tm.tm_wday + 1;
    return at;
}

std::int64_t ToUnix(const LocalDateTime& at) {
    std::tm tm{};
    tm.tm_year = at.year - 1900;
    tm.tm_mon = at.month - 1;
    tm.tm_mday = at.day;
    tm.tm_hour = at.hour;
    tm.tm_min = at.minute;
    tm.tm_sec = at.second;
    tm.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&tm));
}

}  // namespace

Clock& Clock::Current() {
    static SystemClock system;
    return installed ? *installed : system;
}

void Clock::Install(Clock* clock) {
    installed = clock;
}

std::uint64_t SystemClock::TickMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::uint64_t>(ts.tv_sec) * 1000u + static_cast<std::uint64_t>(ts.tv_nsec / 1'000'000);
}

LocalDateTime SystemClock::Now() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return FromUnix(ts.tv_sec, static_cast<int>(ts.tv_nsec / 1'000'000));
}

std::int64_t SystemClock::UnixNow() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return ts.tv_sec;
}

FixedClock::FixedClock(const LocalDateTime& at) {
    Set(at);
}

LocalDateTime FixedClock::Now() {
    return FromUnix(unix_, static_cast<int>(subMs_));
}

void FixedClock::Advance(std::uint64_t ms) {
    ticks_ += ms;
    subMs_ += ms;
    unix_ += static_cast<std::int64_t>(subMs_ / 1000);
    subMs_ %= 1000;
}

void FixedClock::Set(const LocalDateTime& at) {
    // Through mktime, so an out-of-range field (31 February) lands on the real date it stands for.
    unix_ = ToUnix(at);
    subMs_ = at.millisecond >= 0 && at.millisecond < 1000 ? static_cast<std::uint64_t>(at.millisecond) : 0;
}

}  // namespace vpk

#pragma once
// Time as the programs see it. The real clock follows the system clock (so faketime works); tests
// install a FixedClock. Call from the user-interface thread.
#include <cstdint>

namespace vpk {

struct LocalDateTime {
    int year = 1980, month = 1, day = 1;     // month 1..12
    int hour = 0, minute = 0, second = 0, millisecond = 0;
    int dayOfWeek = 3;                       // 1 = Sunday … 7 = Saturday
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual std::uint64_t TickMs() = 0;        // milliseconds, monotonic
    virtual LocalDateTime Now() = 0;           // local date and time
    virtual std::int64_t UnixNow() = 0;        // seconds since the epoch

    static Clock& Current();                   // the installed clock (the system one by default)
    static void Install(Clock* clock);         // nullptr restores the system clock; caller owns it
};

class SystemClock : public Clock {
public:
    std::uint64_t TickMs() override;
    LocalDateTime Now() override;
    std::int64_t UnixNow() override;
};

// A clock that stands still until told to move: Advance() moves ticks and date together.
class FixedClock : public Clock {
public:
    explicit FixedClock(const LocalDateTime& at);
    std::uint64_t TickMs() override { return ticks_; }
    LocalDateTime Now() override;
    std::int64_t UnixNow() override { return unix_; }
    void Advance(std::uint64_t ms);
    void Set(const LocalDateTime& at);

private:
    std::uint64_t ticks_ = 1000;
    std::int64_t unix_ = 0;
    std::uint64_t subMs_ = 0;
};

}  // namespace vpk

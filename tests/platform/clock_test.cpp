#include "platform/clock.h"

#include <gtest/gtest.h>

#include <ctime>
#include <memory>
#include <thread>

namespace vpk {
namespace {

// The checks every clock passes, real or fixed.
class ClockConformance : public ::testing::TestWithParam<std::string> {
  protected:
    void SetUp() override {
        if (GetParam() == "system") {
            clock_ = std::make_unique<SystemClock>();
        } else {
            clock_ = std::make_unique<FixedClock>(LocalDateTime{2024, 2, 29, 23, 59, 59, 500, 0});
        }
    }
    // Lets time pass: the real clock by sleeping, the fixed one by being told.
    void Pass(std::uint64_t ms) {
        if (auto* fixed = dynamic_cast<FixedClock*>(clock_.get())) {
            fixed->Advance(ms);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        }
    }
    std::unique_ptr<Clock> clock_;
};

TEST_P(ClockConformance, TicksAreMonotonicAndFollowTime) {
    const std::uint64_t t0 = clock_->TickMs();
    Pass(30);
    const std::uint64_t t1 = clock_->TickMs();
    EXPECT_GE(t1 - t0, 30u);
    EXPECT_LT(t1 - t0, 2000u);
}

TEST_P(ClockConformance, NowAgreesWithUnixTimeAndWeekday) {
    const std::int64_t unix = clock_->UnixNow();
    const LocalDateTime now = clock_->Now();
    const std::time_t t = static_cast<std::time_t>(unix);
    std::tm tm{};
    localtime_r(&t, &tm);
    EXPECT_NEAR(now.second + 60 * (now.minute + 60 * now.hour),
                tm.tm_sec + 60 * (tm.tm_min + 60 * tm.tm_hour), 1);
    EXPECT_EQ(now.dayOfWeek, tm.tm_wday + 1);
    EXPECT_GE(now.dayOfWeek, 1);
    EXPECT_LE(now.dayOfWeek, 7);
    EXPECT_GE(now.month, 1);
    EXPECT_LE(now.month, 12);
    EXPECT_GE(now.millisecond, 0);
    EXPECT_LT(now.millisecond, 1000);
    Pass(1100);
    EXPECT_GE(clock_->UnixNow(), unix + 1);
}

INSTANTIATE_TEST_SUITE_P(BothClocks, ClockConformance, ::testing::Values("system", "fixed"));

TEST(FixedClock, AdvanceCarriesIntoTheDateAndWeekday) {
    FixedClock clock({2024, 2, 29, 23, 59, 59, 500, 0});
    EXPECT_EQ(clock.Now().dayOfWeek, 5);  // Thursday
    clock.Advance(600);
    const LocalDateTime next = clock.Now();
    EXPECT_EQ(next.year, 2024);
    EXPECT_EQ(next.month, 3);
    EXPECT_EQ(next.day, 1);
    EXPECT_EQ(next.hour, 0);
    EXPECT_EQ(next.second, 0);
    EXPECT_EQ(next.millisecond, 100);
    EXPECT_EQ(next.dayOfWeek, 6);
    clock.Set({2023, 7, 3, 8, 0, 0, 0, 0});
    EXPECT_EQ(clock.Now().day, 3);
    EXPECT_EQ(clock.Now().dayOfWeek, 2);  // Monday
}

TEST(ClockInstall, InstalledClockIsCurrentUntilRemoved) {
    FixedClock fixed({2001, 1, 1, 0, 0, 0, 0, 0});
    Clock::Install(&fixed);
    EXPECT_EQ(&Clock::Current(), &fixed);
    EXPECT_EQ(Clock::Current().Now().year, 2001);
    Clock::Install(nullptr);
    EXPECT_NE(&Clock::Current(), &fixed);
    EXPECT_GE(Clock::Current().Now().year, 2024);
}

}  // namespace
}  // namespace vpk

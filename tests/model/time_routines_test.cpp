#include "model/time_routines.h"

#include "model_fixture.h"
#include "platform/event_pump.h"

namespace vpk {
namespace {

using test::ModelTest;

TEST(ElapsedTextTest, MinutesAndSeconds) {
    struct Case {
        std::uint64_t start, stop;
        const char* text;
    } cases[] = {
        {1000, 62500, "01:01 Sec."},  // 61500 ms
        {0, 999, "00:00 Sec."},      {0, 59999, "00:59 Sec."},
        {0, 6000000, "100:00 Sec."}, {5000, 1000, "00:00 Sec."},  // a stop before the start
    };
    for (const auto& c : cases) EXPECT_EQ(ElapsedText(c.start, c.stop), c.text) << c.stop - c.start;
}

class WaitMsTest : public ModelTest {};

TEST_F(WaitMsTest, PumpsUntilTheClockHasMoved) {
    // Each pumped batch of events takes 100 ms of the fixed clock.
    struct AdvancingPump : EventPump {
        FixedClock* clock;
        int calls = 0;
        explicit AdvancingPump(FixedClock* c) : clock(c) {}
        void ProcessPending() override {
            ++calls;
            clock->Advance(100);
        }
    } pump(&clock_);
    EventPump::Install(&pump);
    const std::uint64_t start = clock_.TickMs();
    WaitMs(450);
    EventPump::Install(nullptr);
    EXPECT_EQ(pump.calls, 5);
    EXPECT_EQ(clock_.TickMs() - start, 500u);
}

}  // namespace
}  // namespace vpk

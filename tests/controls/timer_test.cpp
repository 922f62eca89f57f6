#include "headless/Timer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/controls/control_test_support.h"
#include "tests/controls/timer_contract.h"

namespace scenova::test {
namespace {

struct HeadlessTimerFactory {
    static constexpr int64_t kSlackMs = 0;

    HeadlessWorld world;
    headless::Timer timer{world.ctx, "ExitTimer"};

    ITimer& Timer() { return timer; }
    void Advance(int64_t ms) { world.loop.AdvanceBy(headless::Millis(ms)); }
    int64_t NowMs() { return world.loop.Now() / 1000; }
};

class HeadlessTimerTest : public ::testing::Test {
protected:
    HeadlessWorld world;
    headless::Timer timer{world.ctx, "ExitTimer"};
};

// A lifetime fault the sanitizers see: the timer is destroyed inside its own tick.
TEST_F(HeadlessTimerTest, TimerReleasedByItsOwnHandlerStops) {
    auto owned = std::make_unique<headless::Timer>(world.ctx, "ExitTimer");
    int ticks = 0;
    owned->Advise({[&] {
        ++ticks;
        owned.reset();  // the window unloads from inside the tick
    }});
    owned->Interval(300);
    owned->Enabled(true);
    world.loop.AdvanceBy(headless::Seconds(2));
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(world.loop.NextDue(), -1);
}

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Headless, TimerContract, HeadlessTimerFactory);

}  // namespace scenova::test

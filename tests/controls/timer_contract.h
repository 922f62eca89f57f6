#pragma once

// What the window relies on from its timer, on every platform. Include in one
// source file of a test program and instantiate with a factory F: F() makes a
// fresh timer; ITimer& Timer(); void Advance(int64_t ms) lets time pass,
// delivering ticks; int64_t NowMs() since F(); static kSlackMs, how late a
// tick may come.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "platform/Timer.h"
#include "tests/controls/control_test_support.h"

namespace scenova::test {

template <class F>
class TimerContract : public ::testing::Test {
protected:
    // Records the time of every tick; `then` runs inside the handler.
    void Record(std::function<void()> then = {}) {
        timer.Advise({[this, then = std::move(then)] {
            ticks.push_back(factory.NowMs());
            if (then) {
                then();
            }
        }});
    }

    void ExpectTicksAt(const std::vector<int64_t>& expected) {
        ASSERT_EQ(ticks.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_GE(ticks[i], expected[i]) << "tick " << i;
            EXPECT_LE(ticks[i], expected[i] + F::kSlackMs) << "tick " << i;
        }
    }

    F factory;
    ITimer& timer = factory.Timer();
    std::vector<int64_t> ticks;
};

TYPED_TEST_SUITE_P(TimerContract);

TYPED_TEST_P(TimerContract, FiresEveryIntervalOnlyWhileEnabled) {
    ITimer& timer = this->timer;
    this->Record();
    timer.Enabled(false);
    timer.Interval(200);
    this->factory.Advance(500);
    timer.Enabled(true);
    this->factory.Advance(450);
    timer.Enabled(false);
    this->factory.Advance(1000);
    timer.Interval(0);
    timer.Enabled(true);
    this->factory.Advance(1000);
    this->ExpectTicksAt({700, 900});
}

TYPED_TEST_P(TimerContract, SettingTheIntervalRestartsTheCountdown) {
    ITimer& timer = this->timer;
    this->Record();
    timer.Interval(300);
    timer.Enabled(true);
    this->factory.Advance(200);
    timer.Interval(300);
    EXPECT_EQ(ErrorOf([&] { timer.Interval(-1); }), err::InvalidPropertyValue);
    this->factory.Advance(400);
    this->ExpectTicksAt({500});
    EXPECT_EQ(timer.Interval(), 300);
}

TYPED_TEST_P(TimerContract, HandlerCanDisableAndRearmIt) {
    // The tick disables the timer and, while the count is low, enables it
    // again: one countdown at a time, each from the tick.
    ITimer& timer = this->timer;
    this->Record([&] {
        timer.Enabled(false);
        if (this->ticks.size() < 3) {
            timer.Enabled(true);
        }
    });
    timer.Interval(300);
    timer.Enabled(true);
    this->factory.Advance(3000);
    this->ExpectTicksAt({300, 600, 900});
    EXPECT_FALSE(timer.Enabled());
}

REGISTER_TYPED_TEST_SUITE_P(TimerContract, FiresEveryIntervalOnlyWhileEnabled,
                            SettingTheIntervalRestartsTheCountdown, HandlerCanDisableAndRearmIt);

}  // namespace scenova::test

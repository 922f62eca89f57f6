#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <limits>
#include <map>
#include <utility>

namespace scenova::headless {

// The headless message loop on a virtual clock. Nothing here sleeps: time
// moves only when the host advances it.
//
// Two kinds of work wait in the loop:
// - posted messages (events a control raises because of a call the
//   component made) run when pending messages are processed;
// - timed callbacks (timers, video time keeping) run when the clock is
//   advanced past their due time, in time order, each followed by the
//   processing of pending messages.
class EventLoop {
public:
    using Micros = int64_t;
    using TimerId = uint64_t;

    Micros Now() const { return m_now; }

    void Post(std::function<void()> message);
    // Runs posted messages until none is left, also those posted meanwhile,
    // then timed callbacks that are due by now. Returns how many ran.
    int ProcessPending();
    bool HasPending() const { return !m_posted.empty(); }

    TimerId At(Micros due, std::function<void()> callback);
    void Cancel(TimerId id);
    // The due time of the earliest timed callback, or -1 when there is none.
    Micros NextDue() const;
    // How many timed callbacks wait (for tests that bound the schedule).
    std::size_t PendingTimed() const { return m_timed.size(); }

    // Moves the clock forward by `duration`, running what falls due.
    void AdvanceBy(Micros duration);
    // Moves the clock to `time` (never backwards), running what falls due.
    void AdvanceTo(Micros time);

private:
    Micros m_now = 0;
    std::deque<std::function<void()>> m_posted;
    // Keyed by (due time, sequence) so callbacks due together run in the
    // order they were scheduled.
    std::map<std::pair<Micros, TimerId>, std::function<void()>> m_timed;
    std::map<TimerId, Micros> m_dueOf;
    TimerId m_nextId = 1;
};

// Seconds as microseconds, rounded; times beyond what the clock can hold
// (a movie whose header claims billions of years) saturate, and NaN is 0.
inline constexpr EventLoop::Micros Seconds(double seconds) {
    const double micros = seconds * 1e6 + (seconds >= 0 ? 0.5 : -0.5);
    // 2^63 as a double: the first value past the clock's range.
    constexpr double kBeyond = 9223372036854775808.0;
    if (!(micros > -kBeyond)) {
        return micros < 0 ? std::numeric_limits<EventLoop::Micros>::min() : 0;
    }
    return micros >= kBeyond ? std::numeric_limits<EventLoop::Micros>::max()
                             : static_cast<EventLoop::Micros>(micros);
}
inline constexpr EventLoop::Micros Millis(int64_t milliseconds) {
    return milliseconds * 1000;
}

}  // namespace scenova::headless

#include "model/Timer.h"

#include "runtime/RuntimeError.h"

namespace scenova::model {

void Timer::Interval(int32_t milliseconds) {
    m_ctx.Put(m_name, Member::Interval, milliseconds);
    if (milliseconds < 0) {
        Raise(err::InvalidPropertyValue);
    }
    m_interval = milliseconds;
    Restart();
}

void Timer::Enabled(bool value) {
    m_ctx.Put(m_name, Member::Enabled, value);
    m_enabled = value;
    Restart();
}

void Timer::Destroy() {
    m_destroyed = true;
    Disarm();
}

void Timer::Restart() {
    Disarm();
    if (m_enabled && m_interval > 0 && !m_destroyed) {
        Arm(m_interval);
    }
}

void Timer::Tick() {
    // The next tick is armed before the handler runs so that whatever the
    // handler does to the timer (disable, re-enable, new interval) replaces
    // it rather than adds to it. The handler may also release the timer
    // (its window unloads), so the raise works on copies and nothing of the
    // timer is touched after it.
    Restart();
    Context& ctx = m_ctx;
    const std::string name = m_name;
    const auto handler = m_events.Timer;
    ctx.Raise(name, Member::Timer, handler);
}

}  // namespace scenova::model

#include "headless/Timer.h"

#include "runtime/RuntimeError.h"

namespace scenova::headless {

Timer::Timer(Context& ctx, std::string name) : m_ctx(ctx), m_name(std::move(name)) {}

Timer::~Timer() {
    Cancel();
}

void Timer::Interval(int32_t milliseconds) {
    m_ctx.Put(m_name, "Interval", milliseconds);
    if (milliseconds < 0) {
        Raise(err::InvalidPropertyValue);
    }
    m_interval = milliseconds;
    Restart();
}

void Timer::Enabled(bool value) {
    m_ctx.Put(m_name, "Enabled", value);
    m_enabled = value;
    Restart();
}

void Timer::Destroy() {
    m_destroyed = true;
    Cancel();
}

std::optional<EventLoop::Micros> Timer::NextTick() const {
    if (!m_pending) {
        return std::nullopt;
    }
    return m_due;
}

void Timer::Restart() {
    Cancel();
    if (!m_enabled || m_interval <= 0 || m_destroyed) {
        return;
    }
    m_due = m_ctx.loop.Now() + Millis(m_interval);
    m_pending = m_ctx.loop.At(m_due, [this] { Tick(); });
}

void Timer::Cancel() {
    if (m_pending) {
        m_ctx.loop.Cancel(*m_pending);
        m_pending.reset();
    }
}

void Timer::Tick() {
    // The loop has dropped this callback; the next tick is scheduled before
    // the handler runs so that whatever the handler does to the timer
    // (disable, re-enable, new interval) replaces it rather than adds to it.
    // The handler may also release the timer (its window unloads), so the
    // raise works on copies and nothing of the timer is touched after it.
    m_pending.reset();
    Restart();
    Context& ctx = m_ctx;
    const std::string name = m_name;
    const auto handler = m_events.Timer;
    ctx.Raise(name, "Timer", handler);
}

}  // namespace scenova::headless

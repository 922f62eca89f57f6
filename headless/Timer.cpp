#include "headless/Timer.h"

namespace scenova::headless {

std::optional<EventLoop::Micros> Timer::NextTick() const {
    if (!m_pending) {
        return std::nullopt;
    }
    return m_due;
}

void Timer::Arm(int32_t milliseconds) {
    m_due = m_loop.Now() + Millis(milliseconds);
    m_pending = m_loop.At(m_due, [this] {
        m_pending.reset();  // the loop has dropped this callback
        Tick();
    });
}

void Timer::Disarm() {
    if (m_pending) {
        m_loop.Cancel(*m_pending);
        m_pending.reset();
    }
}

}  // namespace scenova::headless

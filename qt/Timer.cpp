#include "qt/Timer.h"

#include "runtime/RuntimeError.h"

namespace scenova::qt {

std::shared_ptr<Timer> Timer::Create(Context& ctx, std::string name) {
    auto timer = std::make_shared<Timer>(ctx, std::move(name));
    QObject::connect(timer->m_timer.get(), &QTimer::timeout, [weak = std::weak_ptr<Timer>(timer)] {
        if (const auto self = weak.lock()) {
            self->Tick();
        }
    });
    return timer;
}

Timer::Timer(Context& ctx, std::string name)
    : m_ctx(ctx), m_name(std::move(name)), m_timer(std::make_unique<QTimer>()) {
    // A coarse timer may fire a little early; the window's timer never does.
    m_timer->setTimerType(Qt::PreciseTimer);
}

void Timer::Interval(int32_t milliseconds) {
    if (milliseconds < 0) {
        Raise(err::InvalidPropertyValue);
    }
    m_interval = milliseconds;
    Restart();
}

void Timer::Enabled(bool value) {
    m_enabled = value;
    Restart();
}

void Timer::Destroy() {
    m_destroyed = true;
    m_timer->stop();
}

void Timer::Restart() {
    m_timer->stop();
    if (m_enabled && m_interval > 0 && !m_destroyed) {
        m_timer->start(m_interval);
    }
}

void Timer::Tick() {
    const auto handler = m_events.Timer;  // the handler may Advise anew
    m_ctx.Raise(m_name, "Timer", handler);
}

}  // namespace scenova::qt

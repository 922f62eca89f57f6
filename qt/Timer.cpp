#include "qt/Timer.h"

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
    : model::Timer(ctx, std::move(name)), m_timer(std::make_unique<QTimer>()) {
    // A coarse timer may fire a little early; the window's timer never does.
    m_timer->setTimerType(Qt::PreciseTimer);
    m_timer->setSingleShot(true);
}

}  // namespace scenova::qt

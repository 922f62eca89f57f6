#pragma once

#include <QTimer>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "platform/Timer.h"
#include "qt/Context.h"

namespace scenova::qt {

// A timer control on a QTimer. While enabled with a positive interval it
// raises Timer every Interval milliseconds; enabling it, or setting the
// interval while it is enabled, starts the countdown afresh. It starts
// disabled with interval 0, and a destroyed timer never fires again.
class Timer final : public ITimer, public std::enable_shared_from_this<Timer> {
public:
    static std::shared_ptr<Timer> Create(Context& ctx, std::string name);
    Timer(Context& ctx, std::string name);

    void Advise(TimerEvents events) override { m_events = std::move(events); }
    int32_t Interval() const override { return m_interval; }
    // A negative interval raises 380.
    void Interval(int32_t milliseconds) override;
    bool Enabled() const override { return m_enabled; }
    void Enabled(bool value) override;

    void Destroy();

private:
    void Restart();
    void Tick();

    Context& m_ctx;
    std::string m_name;
    TimerEvents m_events;
    int32_t m_interval = 0;
    bool m_enabled = false;
    bool m_destroyed = false;
    std::unique_ptr<QTimer> m_timer;
};

}  // namespace scenova::qt

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "headless/Context.h"
#include "headless/EventLoop.h"
#include "platform/Timer.h"

namespace scenova::headless {

// A timer on the virtual clock. While enabled with a positive interval it
// raises Timer every Interval milliseconds. Enabling it, or setting the
// interval while it is enabled, starts the countdown afresh from now. It
// starts disabled with interval 0, the way a window keeps a timer it arms
// only when needed.
class Timer final : public ITimer {
public:
    Timer(Context& ctx, std::string name);
    ~Timer() override;
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    void Advise(TimerEvents events) override { m_events = std::move(events); }
    int32_t Interval() const override { return m_interval; }
    // A negative interval raises 380.
    void Interval(int32_t milliseconds) override;
    bool Enabled() const override { return m_enabled; }
    void Enabled(bool value) override;

    // Destroyed with its window: it never fires again.
    void Destroy();
    bool IsDestroyed() const { return m_destroyed; }

    const std::string& Name() const { return m_name; }
    // The virtual time of the next tick, if one is due.
    std::optional<EventLoop::Micros> NextTick() const;

private:
    void Restart();
    void Cancel();
    void Tick();

    Context& m_ctx;
    std::string m_name;
    TimerEvents m_events;
    int32_t m_interval = 0;
    bool m_enabled = false;
    bool m_destroyed = false;
    std::optional<EventLoop::TimerId> m_pending;
    EventLoop::Micros m_due = 0;
};

}  // namespace scenova::headless

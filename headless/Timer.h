#pragma once

#include <optional>
#include <string>

#include "headless/Context.h"
#include "headless/EventLoop.h"
#include "model/Timer.h"

namespace scenova::headless {

// A timer on the virtual clock.
class Timer final : public model::Timer {
public:
    Timer(Context& ctx, std::string name) : model::Timer(ctx, std::move(name)), m_loop(ctx.loop) {}
    ~Timer() override { Disarm(); }
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    // The virtual time of the next tick, if one is due.
    std::optional<EventLoop::Micros> NextTick() const;

private:
    void Arm(int32_t milliseconds) override;
    void Disarm() override;

    EventLoop& m_loop;
    std::optional<EventLoop::TimerId> m_pending;
    EventLoop::Micros m_due = 0;
};

}  // namespace scenova::headless

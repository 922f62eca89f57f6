#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "model/Context.h"
#include "platform/Timer.h"

namespace scenova::model {

// A timer control as every platform keeps it. While enabled with a positive
// interval it raises Timer every Interval milliseconds. Enabling it, or
// setting the interval while it is enabled, starts the countdown afresh. It
// starts disabled with interval 0, the way a window keeps a timer it arms
// only when needed; a destroyed timer never fires again. A platform arms
// its clock (Arm, Disarm) and calls Tick when the countdown runs out.
class Timer : public ITimer {
public:
    Timer(Context& ctx, std::string name) : m_ctx(ctx), m_name(std::move(name)) {}

    void Advise(TimerEvents events) override { m_events = std::move(events); }
    int32_t Interval() const override { return m_interval; }
    // A negative interval raises 380.
    void Interval(int32_t milliseconds) override;
    bool Enabled() const override { return m_enabled; }
    void Enabled(bool value) override;

    // Destroyed with its window.
    void Destroy();
    bool IsDestroyed() const { return m_destroyed; }
    const std::string& Name() const { return m_name; }

protected:
    // One countdown of `milliseconds` from now, in place of any before.
    virtual void Arm(int32_t milliseconds) = 0;
    virtual void Disarm() = 0;
    // The countdown ran out.
    void Tick();

    Context& m_ctx;
    std::string m_name;

private:
    void Restart();

    TimerEvents m_events;
    int32_t m_interval = 0;
    bool m_enabled = false;
    bool m_destroyed = false;
};

}  // namespace scenova::model

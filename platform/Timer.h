#pragma once

#include <cstdint>
#include <functional>

namespace scenova {

struct TimerEvents {
    std::function<void()> Timer;
};

// A timer control: while enabled, raises Timer every Interval milliseconds.
class ITimer {
public:
    virtual ~ITimer() = default;
    virtual void Advise(TimerEvents events) = 0;
    virtual int32_t Interval() const = 0;
    virtual void Interval(int32_t milliseconds) = 0;
    virtual bool Enabled() const = 0;
    virtual void Enabled(bool value) = 0;
};

}  // namespace scenova

#pragma once

#include <windows.h>

#include <string>

#include "platform/Timer.h"

namespace scenova::win32 {

// A timer of the presentation window on the system's timer (SetTimer) of
// the window itself, so that any message loop that serves the window
// delivers it (a thread timer reaches only loops that fetch every message of
// the thread). While enabled with a positive interval it raises Timer every
// Interval milliseconds; enabling it, or setting the interval while enabled,
// restarts the countdown.
class Timer final : public ITimer {
public:
    Timer(std::string name, HWND window) : m_name(std::move(name)), m_window(window) {}
    ~Timer() override { Destroy(); }
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

private:
    static void CALLBACK Elapsed(HWND, UINT, UINT_PTR id, DWORD);
    void Restart();
    void Cancel();

    std::string m_name;
    HWND m_window;
    TimerEvents m_events;
    int32_t m_interval = 0;
    bool m_enabled = false;
    bool m_destroyed = false;
    UINT_PTR m_id = 0;
};

}  // namespace scenova::win32

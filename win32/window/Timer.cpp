#include "win32/window/Timer.h"

#include <map>

#include "runtime/RuntimeError.h"
#include "win32/window/EventErrors.h"

namespace scenova::win32 {

namespace {

// System timers carry no pointer: the running ones are found by their id,
// unique in the process.
std::map<UINT_PTR, Timer*>& Running() {
    static std::map<UINT_PTR, Timer*> running;
    return running;
}
UINT_PTR g_lastId = 0;

}  // namespace

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
    Cancel();
}

void Timer::Restart() {
    Cancel();
    if (m_destroyed || !m_enabled || m_interval <= 0) {
        return;
    }
    const UINT_PTR id = ++g_lastId;
    if (SetTimer(m_window, id, static_cast<UINT>(m_interval), &Timer::Elapsed) == 0) {
        Raise(err::OutOfMemory, m_name + ": no system timer left");
    }
    m_id = id;
    Running()[m_id] = this;
}

void Timer::Cancel() {
    if (m_id != 0) {
        KillTimer(m_window, m_id);
        Running().erase(m_id);
        m_id = 0;
    }
}

void CALLBACK Timer::Elapsed(HWND window, UINT, UINT_PTR id, DWORD) {
    auto it = Running().find(id);
    if (it == Running().end()) {
        KillTimer(window, id);  // a message that was queued before the cancel
        return;
    }
    Timer& timer = *it->second;
    // The handler may disable, re-arm or destroy the timer: run a copy.
    const auto handler = timer.m_events.Timer;
    if (handler) {
        RunHandler(timer.m_name + ".Timer", handler);
    }
}

}  // namespace scenova::win32

#include "headless/Video.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>

#include "formats/MovieFile.h"
#include "formats/SignalTimes.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"

namespace scenova::headless {

Video::Video(Context& ctx, std::string name) : ContainedControl(ctx, std::move(name)) {}

Video::~Video() {
    *m_alive = false;
    CancelTimer();
}

void Video::TimeFormat(float format) {
    m_ctx.Put(m_name, "TimeFormat", format);
    const double before = UnitsPerSecond();
    const double current = CurrentPosition();
    m_timeFormat = format;
    const double ratio = UnitsPerSecond() / before;
    if (ratio == 1.0) {
        return;
    }
    m_position = current * ratio;
    if (m_state == PlayState::Playing) {
        // Carry on from here in the new unit; what the clock has passed is
        // not raised again.
        m_end *= ratio;
        m_anchorClock = m_ctx.loop.Now();
        CancelTimer();
        m_next = static_cast<std::size_t>(
            std::partition_point(m_byTime.begin(), m_byTime.end(),
                                 [&](const Signal& s) { return DueAt(s.time) <= m_anchorClock; }) -
            m_byTime.begin());
        ScheduleNext();
    }
}

bool Video::OpenMovie(const std::string& path, double position) {
    m_ctx.Call(m_name, "OpenMovie", path, position);
    CancelTimer();
    m_state = PlayState::Stopped;
    m_range.reset();
    m_open = false;
    m_path.clear();
    m_durationSeconds = 0.0;
    m_position = 0.0;
    if (m_destroyed) {
        return false;
    }
    const std::optional<double> seconds = formats::ProbeMovieSeconds(path);
    if (!seconds) {
        return false;
    }
    m_open = true;
    m_path = path;
    m_durationSeconds = *seconds;
    m_position = Clamped(position);
    return true;
}

void Video::SetSignalTimes(std::string& times) {
    m_ctx.Call(m_name, "SetSignalTimes", times);
    std::vector<double> parsed = formats::ReadSignalTimes(times);
    std::vector<Signal> byTime;
    byTime.reserve(parsed.size());
    for (std::size_t i = 0; i < parsed.size(); ++i) {
        if (std::isfinite(parsed[i])) {
            byTime.push_back({parsed[i], static_cast<int16_t>(i + 1)});
        }
    }
    std::stable_sort(byTime.begin(), byTime.end(),
                     [](const Signal& a, const Signal& b) { return a.time < b.time; });
    m_ctx.elementsExamined += parsed.size();
    m_signalTimes = std::move(parsed);
    m_byTime = std::move(byTime);
    if (m_state == PlayState::Playing) {
        CancelTimer();
        const EventLoop::Micros now = m_ctx.loop.Now();
        m_next = static_cast<std::size_t>(
            std::partition_point(m_byTime.begin(), m_byTime.end(),
                                 [&](const Signal& s) { return DueAt(s.time) <= now; }) -
            m_byTime.begin());
        ScheduleNext();
    }
}

void Video::EnableSignals(bool enable) {
    m_ctx.Call(m_name, "EnableSignals", enable);
    m_signalsEnabled = enable;
}

void Video::SetPlayMode(int16_t mode) {
    m_ctx.Call(m_name, "SetPlayMode", mode);
    m_playMode = mode;
}

bool Video::PlayRange(double startTime, double endTime, bool lineFlag) {
    m_ctx.Call(m_name, "PlayRange", startTime, endTime, lineFlag);
    if (!m_open || !std::isfinite(startTime) || !std::isfinite(endTime) || startTime < 0.0 ||
        startTime > endTime) {
        return false;
    }
    const double end = std::min(endTime, Duration());
    if (startTime > end) {
        return false;
    }
    m_range = Range{startTime, end, lineFlag};
    m_end = end;
    PlayFrom(startTime);
    return true;
}

void Video::Seek(double position) {
    m_ctx.Call(m_name, "Seek", position);
    if (std::isnan(position)) {
        Raise(err::InvalidCall);
    }
    const double target = Clamped(position);
    if (m_state == PlayState::Playing) {
        PlayFrom(target);
    } else {
        m_position = target;
        PostSignalsAt(target);
    }
}

void Video::Stop() {
    m_ctx.Call(m_name, "Stop");
    Halt(PlayState::Stopped);
}

void Video::Pause() {
    m_ctx.Call(m_name, "Pause");
    if (m_state == PlayState::Playing) {
        Halt(PlayState::Paused);
    }
}

double Video::CurrentPosition() {
    if (m_state != PlayState::Playing) {
        return m_position;
    }
    const double seconds = static_cast<double>(m_ctx.loop.Now() - m_anchorClock) / 1e6;
    return std::min(m_end, m_position + seconds * UnitsPerSecond());
}

void Video::SetDuration(double duration) {
    Halt(PlayState::Stopped);
    const double units = std::isfinite(duration) && duration > 0.0 ? duration : 0.0;
    m_durationSeconds = units / UnitsPerSecond();
    m_position = Clamped(m_position);
}

void Video::Destroy() {
    m_destroyed = true;
    *m_alive = false;
    CancelTimer();
    m_state = PlayState::Stopped;
    m_open = false;
}

EventLoop::Micros Video::DueAt(double time) const {
    using Micros = EventLoop::Micros;
    // Rounded to the microsecond from the anchor, so that no error adds up
    // from one event to the next. Far-off times saturate (4e18 us is over a
    // hundred thousand years).
    double micros = std::floor((time - m_position) / UnitsPerSecond() * 1e6 + 0.5);
    if (!(micros > 0.0)) {
        return m_anchorClock;
    }
    micros = std::min(micros, 4e18);
    const auto offset = static_cast<Micros>(micros);
    if (m_anchorClock > std::numeric_limits<Micros>::max() - offset) {
        return std::numeric_limits<Micros>::max();
    }
    return m_anchorClock + offset;
}

double Video::Clamped(double position) {
    if (std::isnan(position)) {
        return 0.0;
    }
    return std::clamp(position, 0.0, Duration());
}

void Video::Halt(PlayState state) {
    if (m_state == PlayState::Playing) {
        m_position = CurrentPosition();
        CancelTimer();
    }
    m_state = state;
}

void Video::CancelTimer() {
    if (m_timer) {
        m_ctx.loop.Cancel(*m_timer);
        m_timer.reset();
    }
}

void Video::PlayFrom(double position) {
    CancelTimer();
    m_position = position;
    m_anchorClock = m_ctx.loop.Now();
    PostSignalsAt(position);
    // Times equal to the start were just posted; the timed ones come after.
    m_next = static_cast<std::size_t>(
        std::upper_bound(m_byTime.begin(), m_byTime.end(), position,
                         [](double p, const Signal& s) { return p < s.time; }) -
        m_byTime.begin());
    if (position >= m_end) {
        m_state = PlayState::Stopped;
        PostNotify();
        return;
    }
    m_state = PlayState::Playing;
    ScheduleNext();
}

void Video::ScheduleNext() {
    // Only the next event waits in the loop, so a lesson with thousands of
    // blocks costs one timer at a time.
    if (m_next < m_byTime.size() && m_byTime[m_next].time <= m_end) {
        m_timer = m_ctx.loop.At(DueAt(m_byTime[m_next].time), [this] { SignalDue(); });
    } else {
        m_timer = m_ctx.loop.At(DueAt(m_end), [this] { EndDue(); });
    }
}

void Video::SignalDue() {
    m_timer.reset();
    if (m_next >= m_byTime.size()) {
        ScheduleNext();
        return;
    }
    const int16_t number = m_byTime[m_next].number;
    ++m_next;
    // Scheduled before the handler runs, so whatever it does to playback
    // (stop, seek, play another range) replaces the schedule.
    ScheduleNext();
    if (m_signalsEnabled) {
        RaiseSignal(number);
    }
}

void Video::EndDue() {
    m_timer.reset();
    m_position = m_end;
    m_state = PlayState::Stopped;
    RaiseNotify();
}

void Video::PostSignalsAt(double position) {
    if (!m_open || !m_signalsEnabled) {
        return;
    }
    const auto [first, last] =
        std::equal_range(m_byTime.begin(), m_byTime.end(), Signal{position, 0},
                         [](const Signal& a, const Signal& b) { return a.time < b.time; });
    m_ctx.elementsExamined += static_cast<uint64_t>(last - first);
    for (auto it = first; it != last; ++it) {
        m_ctx.loop.Post([this, alive = m_alive, number = it->number] {
            if (*alive && m_signalsEnabled) {
                RaiseSignal(number);
            }
        });
    }
}

void Video::PostNotify() {
    m_ctx.loop.Post([this, alive = m_alive] {
        if (*alive) {
            RaiseNotify();
        }
    });
}

// The handler may release the control (its window unloads), so the raise
// works on copies and nothing of the control is touched after it.
void Video::RaiseSignal(int16_t number) {
    Context& ctx = m_ctx;
    const std::string name = m_name;
    const auto handler = m_events.SignalEvent;
    ctx.Raise(name, "SignalEvent", handler, number);
}

void Video::RaiseNotify() {
    Context& ctx = m_ctx;
    const std::string name = m_name;
    const auto handler = m_events.Notify;
    ctx.Raise(name, "Notify", handler);
}

}  // namespace scenova::headless

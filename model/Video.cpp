#include "model/Video.h"

#include <algorithm>
#include <cmath>

#include "formats/SignalTimes.h"
#include "runtime/RuntimeError.h"

namespace scenova::model {

void Video::TimeFormat(float format) {
    m_ctx.Put(m_name, Member::TimeFormat, format);
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
        Rebase();
        CancelWake();
        FindNext();
        ScheduleNext();
    }
}

bool Video::OpenMovie(const std::string& path, double position) {
    m_ctx.Call(m_name, Member::OpenMovie, path, position);
    CancelWake();
    m_state = PlayState::Stopped;
    m_range.reset();
    m_open = false;
    m_path.clear();
    m_durationSeconds = 0.0;
    m_position = 0.0;
    if (m_destroyed) {
        return false;
    }
    const std::optional<double> seconds = OpenMedia(path);
    if (!seconds) {
        CloseMedia();
        return false;
    }
    m_open = true;
    m_path = path;
    m_durationSeconds = *seconds;
    m_position = Clamped(position);
    ShowMedia(m_position / UnitsPerSecond());
    return true;
}

void Video::SetSignalTimes(std::string& times) {
    m_ctx.Call(m_name, Member::SetSignalTimes, times);
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
        CancelWake();
        FindNext();
        ScheduleNext();
    }
}

void Video::EnableSignals(bool enable) {
    m_ctx.Call(m_name, Member::EnableSignals, enable);
    m_signalsEnabled = enable;
}

void Video::SetPlayMode(int16_t mode) {
    m_ctx.Call(m_name, Member::SetPlayMode, mode);
    m_playMode = mode;
}

bool Video::PlayRange(double startTime, double endTime, bool lineFlag) {
    m_ctx.Call(m_name, Member::PlayRange, startTime, endTime, lineFlag);
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
    m_ctx.Call(m_name, Member::Seek, position);
    if (std::isnan(position)) {
        Raise(err::InvalidCall);
    }
    const double target = Clamped(position);
    if (m_state == PlayState::Playing) {
        PlayFrom(target);
        return;
    }
    m_position = target;
    if (m_open) {
        ShowMedia(target / UnitsPerSecond());
    }
    PostSignalsAt(target);
}

void Video::Stop() {
    m_ctx.Call(m_name, Member::Stop);
    Halt(PlayState::Stopped);
}

void Video::Pause() {
    m_ctx.Call(m_name, Member::Pause);
    if (m_state == PlayState::Playing) {
        Halt(PlayState::Paused);
    }
}

double Video::CurrentPosition() {
    if (m_state != PlayState::Playing) {
        return m_position;
    }
    return std::clamp(m_position + Elapsed() * UnitsPerSecond(), 0.0, m_end);
}

void Video::Destroy() {
    m_destroyed = true;
    *m_alive = false;
    CancelWake();
    m_state = PlayState::Stopped;
    m_open = false;
    CloseMedia();
}

void Video::SetDurationUnits(double duration) {
    Halt(PlayState::Stopped);
    const double units = std::isfinite(duration) && duration > 0.0 ? duration : 0.0;
    m_durationSeconds = units / UnitsPerSecond();
    m_position = Clamped(m_position);
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
        CancelWake();
        PauseMedia();
    }
    m_state = state;
}

void Video::PlayFrom(double position) {
    CancelWake();
    m_position = position;
    PostSignalsAt(position);
    // Times equal to the start were just posted; the timed ones come after.
    m_next = static_cast<std::size_t>(
        std::upper_bound(m_byTime.begin(), m_byTime.end(), position,
                         [](double p, const Signal& s) { return p < s.time; }) -
        m_byTime.begin());
    if (position >= m_end) {
        m_state = PlayState::Stopped;
        ShowMedia(position / UnitsPerSecond());
        PostNotify();
        return;
    }
    m_state = PlayState::Playing;
    PlayMedia(position / UnitsPerSecond());
    ScheduleNext();
}

void Video::FindNext() {
    m_next = static_cast<std::size_t>(
        std::partition_point(m_byTime.begin(), m_byTime.end(),
                             [&](const Signal& s) { return Passed(Ahead(s.time)); }) -
        m_byTime.begin());
}

void Video::ScheduleNext() {
    // Only the next event waits, so a lesson with thousands of blocks costs
    // one wake at a time.
    m_wakeForSignal = m_next < m_byTime.size() && m_byTime[m_next].time <= m_end;
    WakeAfter(Ahead(m_wakeForSignal ? m_byTime[m_next].time : m_end));
}

void Video::Due() {
    if (!m_wakeForSignal) {
        m_position = m_end;
        m_state = PlayState::Stopped;
        PauseMedia();
        RaiseNotify();
        return;
    }
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

void Video::MediaFailed() {
    if (m_state == PlayState::Playing) {
        Halt(PlayState::Stopped);
        PostNotify();
    }
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
        Post([this, alive = m_alive, number = it->number] {
            if (*alive && m_signalsEnabled) {
                RaiseSignal(number);
            }
        });
    }
}

void Video::PostNotify() {
    Post([this, alive = m_alive] {
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
    ctx.Raise(name, Member::SignalEvent, handler, number);
}

void Video::RaiseNotify() {
    Context& ctx = m_ctx;
    const std::string name = m_name;
    const auto handler = m_events.Notify;
    ctx.Raise(name, Member::Notify, handler);
}

}  // namespace scenova::model

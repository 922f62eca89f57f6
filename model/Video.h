#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "controls/Video.h"
#include "formats/SignalTimes.h"
#include "model/Contained.h"

namespace scenova::model {

// The video player as every platform keeps it: the movie's length and
// position, the range playing, the signal schedule and the events, against
// the platform's media and clock (the protected members a platform gives).
//
// Units. Every position (OpenMovie, PlayRange, Seek, SetSignalTimes,
// CurrentPosition, Duration) is in the unit chosen by TimeFormat: 1 means
// milliseconds; 0 (the default) and every other value mean seconds. A change
// of unit converts the current position and the end of a running range;
// signal times are numbers and are read in the unit in force.
//
// Events. One caused by a call (a range starting on a signal time, a seek
// landing on one, a range that ends where it starts) is posted and delivered
// when pending messages are processed, never inside the call; posted events
// stay queued whatever the component calls next, as a real control's
// messages do. Events reached while playing are raised when the platform's
// clock gets to them. Signals are checked against EnableSignals when posted
// and again when delivered or due. A destroyed control raises nothing.
class Video : public Contained<controls::IVideo> {
public:
    enum class PlayState { Stopped, Playing, Paused };
    struct Range {
        double start = 0.0;
        double end = 0.0;
        bool lineFlag = false;
    };
    static constexpr std::size_t kMaxSignalTimes = formats::kMaxSignalTimes;

    Video(Context& ctx, std::string name) : Contained(ctx, std::move(name)) {}
    ~Video() override { *m_alive = false; }
    Video(const Video&) = delete;
    Video& operator=(const Video&) = delete;

    // IVideo
    void Advise(controls::VideoEvents events) override { m_events = std::move(events); }
    void TimeFormat(float format) override;
    // True when the platform opens the file as a movie with a known,
    // positive length; any movie open before is closed either way. The
    // movie then stands at position (NaN as 0, clamped as by Seek) without
    // raising anything.
    bool OpenMovie(const std::string& path, double position) override;
    // Comma-separated numbers in the invariant form; "" clears the list. Text
    // that does not parse raises (13, or 6 for a number out of range), as
    // does a list longer than kMaxSignalTimes (6); the previous list is then
    // kept. While playing, the new times still ahead are scheduled.
    void SetSignalTimes(std::string& times) override;
    void EnableSignals(bool enable) override;
    void SetPlayMode(int16_t mode) override;
    // False, changing nothing, without a movie, for a bound that is not a
    // finite number, for startTime < 0, startTime > endTime or startTime
    // beyond Duration. Otherwise plays afresh from startTime to endTime
    // (clamped to Duration); the end stops playback and raises Notify after
    // any signal there.
    bool PlayRange(double startTime, double endTime, bool lineFlag) override;
    // Clamped into 0..Duration (0 without a movie); NaN raises 5. Landing on
    // signal times posts them (with a movie open and signals enabled). While
    // playing, playback goes on from there to the same end; landing at or
    // beyond that end finishes the range (Notify is posted).
    void Seek(double position) override;
    // Both halt playback where it is; a later PlayRange starts afresh.
    void Stop() override;
    void Pause() override;
    double CurrentPosition() override;
    double Duration() override { return m_open ? m_durationSeconds * UnitsPerSecond() : 0.0; }

    // The window unloads: pending events are dropped and nothing is raised
    // or opened from now on.
    void Destroy();

    float TimeFormat() const { return m_timeFormat; }
    // Positions per second in the time format: 1 (seconds) or 1000 (format
    // 1, milliseconds).
    double UnitsPerSecond() const { return m_timeFormat == 1.0f ? 1000.0 : 1.0; }
    bool IsOpen() const { return m_open; }
    const std::string& MoviePath() const { return m_path; }
    const std::vector<double>& SignalTimes() const { return m_signalTimes; }
    bool SignalsEnabled() const { return m_signalsEnabled; }
    int16_t PlayMode() const { return m_playMode; }
    PlayState State() const { return m_state; }
    // The range of the last successful PlayRange, its end clamped.
    const std::optional<Range>& LastRange() const { return m_range; }

protected:
    // The platform's media and clock. Times are seconds of the media.
    // The movie's length, or none when the file holds no movie whose length
    // can be told; it then stands at its start.
    virtual std::optional<double> OpenMedia(const std::string& path) = 0;
    virtual void CloseMedia() {}
    // The media plays from `seconds` on; the clock counts from now.
    virtual void PlayMedia(double seconds) = 0;
    // The media holds its picture (where it is, or at `seconds`).
    virtual void PauseMedia() {}
    virtual void ShowMedia(double /*seconds*/) {}
    // The clock counts from now, playback going on.
    virtual void Rebase() = 0;
    // Seconds played since the clock began counting, and whether it has
    // got to `seconds` yet.
    virtual double Elapsed() const = 0;
    virtual bool Passed(double seconds) const = 0;
    // Calls Due() once the clock gets to `seconds` (never inside this
    // call), in place of any wake asked for before; CancelWake drops it.
    virtual void WakeAfter(double seconds) = 0;
    virtual void CancelWake() = 0;
    // Runs an event when pending messages are processed.
    virtual void Post(std::function<void()> event) = 0;

    // The clock got to the time WakeAfter asked for.
    void Due();
    // The platform's media failed while playing (or starting to): playback
    // stops where it got to and Notify is posted, as at the end of a range,
    // so that the window no longer shows it playing.
    void MediaFailed();
    // The length a test gives the open movie, in the current unit (negative,
    // NaN or infinite as 0). Playback stops; the position is kept in range.
    void SetDurationUnits(double duration);

private:
    struct Signal {
        double time;
        int16_t number;
    };

    // Seconds of playback from the position the clock counts from to `time`.
    double Ahead(double time) const { return (time - m_position) / UnitsPerSecond(); }
    double Clamped(double position);
    void Halt(PlayState state);
    // Plays from position to m_end from now on, posting the events at position.
    void PlayFrom(double position);
    // The first signal not yet reached while playing, from where the clock is.
    void FindNext();
    // Schedules the next signal up to m_end, or the end itself.
    void ScheduleNext();
    void PostSignalsAt(double position);
    void PostNotify();
    void RaiseSignal(int16_t number);
    void RaiseNotify();

    controls::VideoEvents m_events;
    // Shared with posted events, which may outlive the control.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);

    float m_timeFormat = 0.0f;
    bool m_open = false;
    std::string m_path;
    double m_durationSeconds = 0.0;
    std::vector<double> m_signalTimes;
    // The finite signal times by time, equal times in list order.
    std::vector<Signal> m_byTime;
    bool m_signalsEnabled = false;
    int16_t m_playMode = 0;
    PlayState m_state = PlayState::Stopped;
    std::optional<Range> m_range;

    // Stopped or paused: where the movie stands. Playing: the position the
    // clock counts from.
    double m_position = 0.0;
    double m_end = 0.0;
    // The first of m_byTime not yet reached while playing.
    std::size_t m_next = 0;
    // What the wake asked for is: a signal (else the end of the range).
    bool m_wakeForSignal = false;
};

}  // namespace scenova::model

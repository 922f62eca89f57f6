#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "controls/Video.h"
#include "headless/Context.h"

namespace scenova::headless {

// A video player held in memory. For now it keeps the shape of playback only:
// it opens any existing regular file, records what it is told, keeps the
// position in range and raises no events. Its duration is what a test sets
// (SetDuration) and reads as 0 while no movie is open.
class Video final : public controls::IVideo {
public:
    enum class PlayState { Stopped, Playing, Paused };
    struct Range {
        double start = 0.0;
        double end = 0.0;
        bool lineFlag = false;
    };

    Video(Context& ctx, std::string name);

    // IContainedControl
    float Left() const override { return m_left; }
    void Left(float value) override;
    float Top() const override { return m_top; }
    void Top(float value) override;
    float Width() const override { return m_width; }
    void Width(float value) override;
    float Height() const override { return m_height; }
    void Height(float value) override;
    bool Visible() const override { return m_visible; }
    void Visible(bool value) override;
    bool Enabled() const override { return m_enabled; }
    void Enabled(bool value) override;

    // IVideo
    void Advise(controls::VideoEvents events) override { m_events = std::move(events); }
    void TimeFormat(float format) override;
    // True when path names an existing regular file; a failed open leaves no
    // movie open. The position is then sought as by Seek.
    bool OpenMovie(const std::string& path, double position) override;
    // Comma-separated numbers in the invariant form; "" clears the list. Text
    // that does not parse raises (13, or 6 for a number out of range) and
    // keeps the previous list.
    void SetSignalTimes(std::string& times) override;
    void EnableSignals(bool enable) override;
    void SetPlayMode(int16_t mode) override;
    // True and playing from startTime when a movie is open and
    // 0 <= startTime <= endTime; otherwise false and nothing changes.
    bool PlayRange(double startTime, double endTime, bool lineFlag) override;
    // Clamped into 0..Duration while a movie is open; NaN raises 5.
    void Seek(double position) override;
    void Stop() override;
    void Pause() override;
    double CurrentPosition() override { return m_position; }
    double Duration() override { return m_open ? m_duration : 0.0; }

    // Stands in for probing the media until the player reads real files.
    // Negative or NaN counts as 0; an open movie's position is kept in range.
    void SetDuration(double duration) {
        m_duration = duration > 0.0 ? duration : 0.0;
        MoveTo(m_position);
    }

    void Destroy();
    bool IsDestroyed() const { return m_destroyed; }

    const std::string& Name() const { return m_name; }
    float TimeFormat() const { return m_timeFormat; }
    bool IsOpen() const { return m_open; }
    const std::string& MoviePath() const { return m_path; }
    const std::vector<double>& SignalTimes() const { return m_signalTimes; }
    bool SignalsEnabled() const { return m_signalsEnabled; }
    int16_t PlayMode() const { return m_playMode; }
    PlayState State() const { return m_state; }
    // The range of the last successful PlayRange.
    const std::optional<Range>& LastRange() const { return m_range; }

private:
    void MoveTo(double position);

    Context& m_ctx;
    std::string m_name;
    controls::VideoEvents m_events;

    float m_left = 0.0f;
    float m_top = 0.0f;
    float m_width = 0.0f;
    float m_height = 0.0f;
    bool m_visible = true;
    bool m_enabled = true;
    bool m_destroyed = false;

    float m_timeFormat = 0.0f;
    bool m_open = false;
    std::string m_path;
    double m_duration = 0.0;
    double m_position = 0.0;
    std::vector<double> m_signalTimes;
    bool m_signalsEnabled = false;
    int16_t m_playMode = 0;
    PlayState m_state = PlayState::Stopped;
    std::optional<Range> m_range;
};

}  // namespace scenova::headless

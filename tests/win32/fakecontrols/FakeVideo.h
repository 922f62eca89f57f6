#pragma once

#include <string>

#include "controls/Video.h"
#include "headless/ContainedControl.h"
#include "headless/Context.h"
#include "model/Contained.h"

namespace scenova::fake {

// A video player for the test controls: it keeps position and range on the
// test's clock and records every call as the headless player does, but plays
// no file. Its events are raised only on request.
class FakeVideo final : public headless::ContainedControl<model::Contained<controls::IVideo>> {
public:
    FakeVideo(headless::Context& ctx, std::string name, double duration)
        : ContainedControl(ctx, std::move(name)), m_duration(duration) {}

    void Advise(controls::VideoEvents events) override { m_events = std::move(events); }
    void TimeFormat(float format) override;
    // True for an existing file.
    bool OpenMovie(const std::string& path, double position) override;
    void SetSignalTimes(std::string& times) override;
    void EnableSignals(bool enable) override;
    void SetPlayMode(int16_t mode) override;
    bool PlayRange(double startTime, double endTime, bool lineFlag) override;
    void Seek(double position) override;
    void Stop() override;
    void Pause() override;
    double CurrentPosition() override;
    double Duration() override { return m_open ? m_duration : 0.0; }

    void RaiseSignal(int16_t number);
    void RaiseNotify();

private:
    double Now() const;

    controls::VideoEvents m_events;
    double m_duration;
    bool m_open = false;
    bool m_playing = false;
    double m_position = 0.0;
    double m_end = 0.0;
    double m_anchor = 0.0;  // clock seconds when m_position was taken while playing
};

}  // namespace scenova::fake

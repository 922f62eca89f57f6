#pragma once

#include <optional>
#include <string>

#include "headless/ContainedControl.h"
#include "headless/Context.h"
#include "headless/EventLoop.h"
#include "model/Video.h"

namespace scenova::headless {

// The video player on the virtual clock. It reads real movie files (their
// length only, through formats/MovieFile.h: nothing is decoded or shown) and
// plays a range at normal speed while the host advances the clock; events
// reached while time passes are raised at their exact virtual time
// (microsecond resolution). A file whose length cannot be told is refused,
// as nothing could be signalled at its end.
class Video final : public ContainedControl<model::Video> {
public:
    Video(Context& ctx, std::string name) : ContainedControl(ctx, std::move(name)) {}
    ~Video() override { CancelWake(); }

    // For tests only: gives the open movie another length in the current
    // unit (negative, NaN or infinite as 0). Playback stops; the position is
    // kept in range. The next OpenMovie reads the length from its file.
    void SetDuration(double duration) { SetDurationUnits(duration); }

private:
    std::optional<double> OpenMedia(const std::string& path) override;
    void PlayMedia(double) override { m_anchorClock = m_ctx.loop.Now(); }
    void Rebase() override { m_anchorClock = m_ctx.loop.Now(); }
    double Elapsed() const override;
    bool Passed(double seconds) const override { return DueAt(seconds) <= m_ctx.loop.Now(); }
    void WakeAfter(double seconds) override;
    void CancelWake() override;
    void Post(std::function<void()> event) override { m_ctx.loop.Post(std::move(event)); }

    // The virtual time at which playback has run `seconds` since the clock
    // began counting, to the microsecond.
    EventLoop::Micros DueAt(double seconds) const;

    EventLoop::Micros m_anchorClock = 0;
    std::optional<EventLoop::TimerId> m_timer;
};

}  // namespace scenova::headless

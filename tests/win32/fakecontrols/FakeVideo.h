#pragma once

#include <functional>
#include <optional>
#include <string>

#include "headless/ContainedControl.h"
#include "headless/Context.h"
#include "model/Video.h"

namespace scenova::fake {

// The video player of the test controls: the model's, on the test's clock,
// for a movie of the length the test gives (any existing file is one). It
// plays no file, and its events are raised only on request: the model's own
// wakes and posted events are dropped.
class FakeVideo final : public headless::ContainedControl<model::Video> {
public:
    FakeVideo(headless::Context& ctx, std::string name, double duration)
        : ContainedControl(ctx, std::move(name)), m_duration(duration) {}

    void Advise(controls::VideoEvents events) override { m_events = std::move(events); }
    void RaiseSignal(int16_t number);
    // A range played to its end stops there first.
    void RaiseNotify();

private:
    std::optional<double> OpenMedia(const std::string& path) override;
    void PlayMedia(double) override { m_anchor = m_ctx.loop.Now(); }
    void Rebase() override { m_anchor = m_ctx.loop.Now(); }
    double Elapsed() const override {
        return static_cast<double>(m_ctx.loop.Now() - m_anchor) / 1e6;
    }
    bool Passed(double seconds) const override { return Elapsed() >= seconds; }
    void WakeAfter(double) override {}
    void CancelWake() override {}
    void Post(std::function<void()>) override {}

    controls::VideoEvents m_events;
    double m_duration;
    headless::EventLoop::Micros m_anchor = 0;
};

}  // namespace scenova::fake

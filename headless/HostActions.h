#pragma once

#include <algorithm>
#include <optional>
#include <string>

#include "headless/HeadlessPlatform.h"
#include "headless/RecordingManager.h"
#include "headless/ToolHost.h"
#include "lesson/Executor.h"

namespace scenova::headless {

// The action executor's host on the headless platform, for hosts that only
// drive a lesson (the random sessions, the fuzzers): a host call's failure
// is the host's to ignore, a refused action reaches nothing.
class HostActions final : public lesson::ActionHost {
public:
    HostActions(HeadlessPlatform& platform, ToolHost& host, RecordingManager& manager)
        : m_platform(platform), m_host(host), m_manager(manager) {}

    // A bound on the clock an action may move, so that a long advance does
    // not become most of a run.
    void LimitAdvance(double seconds) { m_longestAdvance = seconds; }

    model::Reach User() override { return m_platform.Window().User(); }
    void Advance(double seconds) override {
        m_platform.RunFor(m_longestAdvance ? std::min(seconds, *m_longestAdvance) : seconds);
    }
    void Show() override { m_host.Show(); }
    void Hide() override { m_host.Hide(); }
    void Startup() override { m_host.Startup(); }
    void Shutdown() override { m_host.Shutdown(); }
    void ReleaseInside(const std::string& where) override {
        m_host.ReleaseInside(where, m_manager);
    }
    void Move(float left, std::optional<Variant> top, std::optional<Variant> width,
              std::optional<Variant> height) override {
        m_host.Move(left, top, width, height);
    }
    void Refused(const lesson::Action&, Refusal, const std::string&) override {}

private:
    HeadlessPlatform& m_platform;
    ToolHost& m_host;
    RecordingManager& m_manager;
    std::optional<double> m_longestAdvance;
};

}  // namespace scenova::headless

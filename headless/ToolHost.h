#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "headless/HeadlessPlatform.h"
#include "headless/RecordingManager.h"
#include "runtime/RuntimeError.h"
#include "runtime/Variant.h"
#include "tool/CScenova.h"
#include "tool/Manager.h"

namespace scenova::headless {

// What a host call returned: a value, or the run-time error that failed it.
struct HostResult {
    Variant value;
    std::optional<RuntimeError> error;

    bool Failed() const { return error.has_value(); }
};

// Plays the host's part against the tool: creates it, calls its IToolTalk
// members (each traced as "< tool.Member(...)"), and turns a run-time error
// into a failed call as the COM boundary does.
class ToolHost {
public:
    ToolHost(HeadlessPlatform& platform, std::shared_ptr<IManager> manager);
    ~ToolHost();

    void Create();
    void Release();
    bool Exists() const { return m_tool != nullptr; }
    CScenova& Tool();

    HostResult Init(const std::string& toolId);  // with the host's main window
    HostResult Init(const std::string& toolId, int32_t parentHwnd);
    HostResult Startup();
    HostResult Shutdown();
    HostResult Show();
    HostResult Hide();
    HostResult Move(float left, std::optional<Variant> top = std::nullopt,
                    std::optional<Variant> width = std::nullopt,
                    std::optional<Variant> height = std::nullopt);
    HostResult NavEnabled(const std::string& name);
    HostResult NavEnabled(const std::string& name, bool value);
    HostResult ToolbarEnabled(const std::string& name);
    HostResult ToolbarEnabled(const std::string& name, bool value);
    HostResult ID();
    HostResult Left();
    HostResult Left(float value);
    HostResult Top();
    HostResult Top(float value);
    HostResult Width();
    HostResult Width(float value);
    HostResult Height();
    HostResult Height(float value);

    // The host's own doing: it shuts the tool down and releases it from
    // inside its next call of `place` ("toolbar-request", "resource-action",
    // "navigation-request", to `manager`), or from inside a message of its
    // own that the component's next yield lets through ("yield"); another
    // place raises 5. `shutDown` hears how the shutdown went.
    void ReleaseInside(std::string_view place, RecordingManager& manager,
                       std::function<void(const HostResult&)> shutDown = {});

private:
    template <class Body>
    HostResult Deliver(Body&& body);
    // The host call, recorded as delivered into the tool.
    template <class... Args>
    void Record(Member member, const Args&... args);
    template <class T>
    void RecordAssignment(Member member, bool named, std::string_view name, T value);

    HeadlessPlatform& m_platform;
    std::shared_ptr<IManager> m_manager;
    // Shared only with the event handlers and host calls that are running:
    // a release from inside one frees the tool once it has returned.
    std::shared_ptr<CScenova> m_tool;
};

}  // namespace scenova::headless

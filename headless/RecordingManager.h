#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "headless/Context.h"
#include "runtime/Collection.h"
#include "tool/Manager.h"

namespace scenova::headless {

// A host manager for the headless host and for tests: configurable folders,
// settings and script, every call traced as "> mgr.Member(...)", and any
// operation made to fail on demand.
class RecordingManager final : public IManager {
public:
    explicit RecordingManager(Context& ctx) : m_ctx(ctx) {}

    std::string mediaPath;
    std::string auxiliaryPath;
    std::string resourcePath;
    std::string videoPath;
    // What GetSettings and GetScript return; null means "no collection".
    std::shared_ptr<Collection> settings = std::make_shared<Collection>();
    std::shared_ptr<Collection> script = std::make_shared<Collection>();

    // The host's side of ResourceAction: it may read and change the value.
    std::function<void(const std::string& buttonId, int32_t action, std::string* value)>
        onResourceAction;

    // Makes an operation ("GetScript", "ReportError" ...) fail with `error`,
    // from its `fromCall`-th call on (counting from 1).
    void FailOn(const std::string& operation, RuntimeError error = RuntimeError(err::Unspecified),
                int fromCall = 1);
    int Calls(const std::string& operation) const;

    void ToolShutdown(CScenova& tool) override;
    void ReportError(CScenova& tool, int32_t code, const std::string& text) override;
    void ResourceAction(std::string& buttonId, int32_t& action, std::string* value) override;
    std::shared_ptr<ICollection> GetSettings(CScenova& tool) override;
    std::shared_ptr<ICollection> GetScript(CScenova& tool) override;
    void NavigationRequest(CScenova& tool, const std::string& name) override;
    void ToolbarRequest(CScenova& tool, const std::string& name) override;
    std::string GetMediaPath(CScenova& tool) override;
    std::string GetAuxiliaryPath(CScenova& tool) override;
    std::string GetResourcePath(CScenova& tool) override;
    std::string GetVideoPath(CScenova& tool) override;

private:
    struct Failure {
        RuntimeError error;
        int fromCall;
    };
    // Counts the call and raises the injected failure when it is due.
    void Enter(const std::string& operation);

    Context& m_ctx;
    std::map<std::string, Failure> m_failures;
    std::map<std::string, int> m_calls;
};

}  // namespace scenova::headless

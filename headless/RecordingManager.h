#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "headless/Context.h"
#include "lesson/LessonManager.h"

namespace scenova::headless {

// The host manager of the headless host and of the tests: it serves a lesson
// as every host does, traces every call as "> mgr.Member(...)", and makes any
// operation fail on demand.
class RecordingManager final : public lesson::LessonManager {
public:
    explicit RecordingManager(Context& ctx) : m_ctx(ctx) {}

    // Makes an operation (one of the manager's members: GetScript,
    // ResourceAction ...) fail with `error`, from its `fromCall`-th call on
    // (counting from 1).
    void FailOn(Member operation, RuntimeError error = RuntimeError(err::Unspecified),
                int fromCall = 1);
    int Calls(Member operation) const;
    // The host's own doing inside the next call of `operation`, after it is
    // traced (shutting the tool down and releasing it, for one).
    void Inside(Member operation, std::function<void()> action);

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
    void Enter(Member operation);
    // Records the call, enters it and passes it on to the lesson manager.
    template <class Call, class... Args>
    auto Pass(Member operation, Call&& call, const Args&... recorded);

    Context& m_ctx;
    std::map<Member, Failure> m_failures;
    std::map<Member, int> m_calls;
    std::map<Member, std::function<void()>> m_inside;
};

}  // namespace scenova::headless

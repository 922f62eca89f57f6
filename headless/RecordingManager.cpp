#include "headless/RecordingManager.h"

namespace scenova::headless {

namespace {
const TraceObject kTool{"<tool>"};
}  // namespace

void RecordingManager::FailOn(Member operation, RuntimeError error, int fromCall) {
    m_failures.insert_or_assign(operation, Failure{std::move(error), fromCall});
}

int RecordingManager::Calls(Member operation) const {
    auto it = m_calls.find(operation);
    return it == m_calls.end() ? 0 : it->second;
}

void RecordingManager::Inside(Member operation, std::function<void()> action) {
    m_inside.insert_or_assign(operation, std::move(action));
}

void RecordingManager::Enter(Member operation) {
    const int call = ++m_calls[operation];
    if (auto inside = m_inside.find(operation); inside != m_inside.end()) {
        const std::function<void()> action = std::move(inside->second);
        m_inside.erase(inside);
        action();
    }
    auto it = m_failures.find(operation);
    if (it != m_failures.end() && call >= it->second.fromCall) {
        throw it->second.error;
    }
}

template <class Call, class... Args>
auto RecordingManager::Pass(Member operation, Call&& call, const Args&... recorded) {
    m_ctx.Report(operation, recorded...);
    Enter(operation);
    return call();
}

void RecordingManager::ToolShutdown(CScenova& tool) {
    Pass(
        Member::ToolShutdown, [&] { LessonManager::ToolShutdown(tool); }, kTool);
}

void RecordingManager::ReportError(CScenova& tool, int32_t code, const std::string& text) {
    Pass(
        Member::ReportError, [&] { LessonManager::ReportError(tool, code, text); }, kTool, code,
        text);
}

void RecordingManager::ResourceAction(std::string& buttonId, int32_t& action, std::string* value) {
    Pass(
        Member::ResourceAction, [&] { LessonManager::ResourceAction(buttonId, action, value); },
        buttonId, action, value ? std::optional<std::string>(*value) : std::nullopt);
}

std::shared_ptr<ICollection> RecordingManager::GetSettings(CScenova& tool) {
    return Pass(
        Member::GetSettings, [&] { return LessonManager::GetSettings(tool); }, kTool);
}

std::shared_ptr<ICollection> RecordingManager::GetScript(CScenova& tool) {
    return Pass(
        Member::GetScript, [&] { return LessonManager::GetScript(tool); }, kTool);
}

void RecordingManager::NavigationRequest(CScenova& tool, const std::string& name) {
    Pass(
        Member::NavigationRequest, [&] { LessonManager::NavigationRequest(tool, name); }, kTool,
        name);
}

void RecordingManager::ToolbarRequest(CScenova& tool, const std::string& name) {
    Pass(
        Member::ToolbarRequest, [&] { LessonManager::ToolbarRequest(tool, name); }, kTool, name);
}

std::string RecordingManager::GetMediaPath(CScenova& tool) {
    return Pass(
        Member::GetMediaPath, [&] { return LessonManager::GetMediaPath(tool); }, kTool);
}

std::string RecordingManager::GetAuxiliaryPath(CScenova& tool) {
    return Pass(
        Member::GetAuxiliaryPath, [&] { return LessonManager::GetAuxiliaryPath(tool); }, kTool);
}

std::string RecordingManager::GetResourcePath(CScenova& tool) {
    return Pass(
        Member::GetResourcePath, [&] { return LessonManager::GetResourcePath(tool); }, kTool);
}

std::string RecordingManager::GetVideoPath(CScenova& tool) {
    return Pass(
        Member::GetVideoPath, [&] { return LessonManager::GetVideoPath(tool); }, kTool);
}

}  // namespace scenova::headless

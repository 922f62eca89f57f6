#include "headless/RecordingManager.h"

namespace scenova::headless {

namespace {
const TraceObject kTool{"<tool>"};
}  // namespace

void RecordingManager::FailOn(const std::string& operation, RuntimeError error, int fromCall) {
    m_failures.insert_or_assign(operation, Failure{std::move(error), fromCall});
}

int RecordingManager::Calls(const std::string& operation) const {
    auto it = m_calls.find(operation);
    return it == m_calls.end() ? 0 : it->second;
}

void RecordingManager::Enter(const std::string& operation) {
    const int call = ++m_calls[operation];
    auto it = m_failures.find(operation);
    if (it != m_failures.end() && call >= it->second.fromCall) {
        throw it->second.error;
    }
}

void RecordingManager::ToolShutdown(CScenova& tool) {
    m_ctx.Report("ToolShutdown", kTool);
    Enter("ToolShutdown");
    LessonManager::ToolShutdown(tool);
}

void RecordingManager::ReportError(CScenova& tool, int32_t code, const std::string& text) {
    m_ctx.Report("ReportError", kTool, code, text);
    Enter("ReportError");
    LessonManager::ReportError(tool, code, text);
}

void RecordingManager::ResourceAction(std::string& buttonId, int32_t& action, std::string* value) {
    m_ctx.Report("ResourceAction", buttonId, action,
                 value ? std::optional<std::string>(*value) : std::nullopt);
    Enter("ResourceAction");
    LessonManager::ResourceAction(buttonId, action, value);
}

std::shared_ptr<ICollection> RecordingManager::GetSettings(CScenova& tool) {
    m_ctx.Report("GetSettings", kTool);
    Enter("GetSettings");
    return LessonManager::GetSettings(tool);
}

std::shared_ptr<ICollection> RecordingManager::GetScript(CScenova& tool) {
    m_ctx.Report("GetScript", kTool);
    Enter("GetScript");
    return LessonManager::GetScript(tool);
}

void RecordingManager::NavigationRequest(CScenova& tool, const std::string& name) {
    m_ctx.Report("NavigationRequest", kTool, name);
    Enter("NavigationRequest");
    LessonManager::NavigationRequest(tool, name);
}

void RecordingManager::ToolbarRequest(CScenova& tool, const std::string& name) {
    m_ctx.Report("ToolbarRequest", kTool, name);
    Enter("ToolbarRequest");
    LessonManager::ToolbarRequest(tool, name);
}

std::string RecordingManager::GetMediaPath(CScenova& tool) {
    m_ctx.Report("GetMediaPath", kTool);
    Enter("GetMediaPath");
    return LessonManager::GetMediaPath(tool);
}

std::string RecordingManager::GetAuxiliaryPath(CScenova& tool) {
    m_ctx.Report("GetAuxiliaryPath", kTool);
    Enter("GetAuxiliaryPath");
    return LessonManager::GetAuxiliaryPath(tool);
}

std::string RecordingManager::GetResourcePath(CScenova& tool) {
    m_ctx.Report("GetResourcePath", kTool);
    Enter("GetResourcePath");
    return LessonManager::GetResourcePath(tool);
}

std::string RecordingManager::GetVideoPath(CScenova& tool) {
    m_ctx.Report("GetVideoPath", kTool);
    Enter("GetVideoPath");
    return LessonManager::GetVideoPath(tool);
}

}  // namespace scenova::headless

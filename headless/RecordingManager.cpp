#include "headless/RecordingManager.h"

namespace scenova::headless {

namespace {
const TraceObject kTool{"<tool>"};
constexpr std::string_view kMgr = "mgr";
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

void RecordingManager::ToolShutdown(CScenova&) {
    m_ctx.trace.Call(kMgr, "ToolShutdown", kTool);
    Enter("ToolShutdown");
}

void RecordingManager::ReportError(CScenova&, int32_t code, const std::string& text) {
    m_ctx.trace.Call(kMgr, "ReportError", kTool, code, text);
    Enter("ReportError");
}

void RecordingManager::ResourceAction(std::string& buttonId, int32_t& action, std::string* value) {
    m_ctx.trace.Call(kMgr, "ResourceAction", buttonId, action,
                     value ? std::optional<std::string>(*value) : std::nullopt);
    Enter("ResourceAction");
    if (onResourceAction) {
        onResourceAction(buttonId, action, value);
    }
}

std::shared_ptr<ICollection> RecordingManager::GetSettings(CScenova&) {
    m_ctx.trace.Call(kMgr, "GetSettings", kTool);
    Enter("GetSettings");
    return settings;
}

std::shared_ptr<ICollection> RecordingManager::GetScript(CScenova&) {
    m_ctx.trace.Call(kMgr, "GetScript", kTool);
    Enter("GetScript");
    return script;
}

void RecordingManager::NavigationRequest(CScenova&, const std::string& name) {
    m_ctx.trace.Call(kMgr, "NavigationRequest", kTool, name);
    Enter("NavigationRequest");
}

void RecordingManager::ToolbarRequest(CScenova&, const std::string& name) {
    m_ctx.trace.Call(kMgr, "ToolbarRequest", kTool, name);
    Enter("ToolbarRequest");
}

std::string RecordingManager::GetMediaPath(CScenova&) {
    m_ctx.trace.Call(kMgr, "GetMediaPath", kTool);
    Enter("GetMediaPath");
    return mediaPath;
}

std::string RecordingManager::GetAuxiliaryPath(CScenova&) {
    m_ctx.trace.Call(kMgr, "GetAuxiliaryPath", kTool);
    Enter("GetAuxiliaryPath");
    return auxiliaryPath;
}

std::string RecordingManager::GetResourcePath(CScenova&) {
    m_ctx.trace.Call(kMgr, "GetResourcePath", kTool);
    Enter("GetResourcePath");
    return resourcePath;
}

std::string RecordingManager::GetVideoPath(CScenova&) {
    m_ctx.trace.Call(kMgr, "GetVideoPath", kTool);
    Enter("GetVideoPath");
    return videoPath;
}

}  // namespace scenova::headless

#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "lesson/LessonFolder.h"
#include "runtime/Collection.h"
#include "tool/Manager.h"

namespace scenova::lesson {

// The host manager's serving part: it hands the tool a lesson's folders,
// settings and script. What the tool tells the host (its shutdown, reports,
// navigation and toolbar requests) is for the host to show; a host derives
// from this and overrides those members, which do nothing here. A resource
// action goes to onResourceAction.
class LessonManager : public IManager {
public:
    std::string mediaPath;
    std::string auxiliaryPath;
    std::string resourcePath;
    std::string videoPath;
    // What GetSettings and GetScript return; null means "no collection".
    std::shared_ptr<Collection> settings = std::make_shared<Collection>();
    std::shared_ptr<ICollection> script = std::make_shared<Collection>();

    // The host's side of ResourceAction: it may read and change the value.
    std::function<void(const std::string& buttonId, int32_t action, std::string* value)>
        onResourceAction;

    // Serves a lesson folder: its folders as a host hands them over (the
    // lesson folder itself as the auxiliary one), its settings and script.
    void Serve(const Lesson& lesson);

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
};

}  // namespace scenova::lesson

#include "lesson/LessonManager.h"

namespace scenova::lesson {

void LessonManager::Serve(const Lesson& lesson) {
    mediaPath = lesson.MediaFolder();
    auxiliaryPath = lesson.Folder();
    resourcePath = lesson.ResourceFolder();
    videoPath = lesson.VideoFolder();
    settings = lesson.settings;
    script = lesson.script;
}

void LessonManager::ToolShutdown(CScenova&) {}

void LessonManager::ReportError(CScenova&, int32_t, const std::string&) {}

void LessonManager::ResourceAction(std::string& buttonId, int32_t& action, std::string* value) {
    if (onResourceAction) {
        onResourceAction(buttonId, action, value);
    }
}

std::shared_ptr<ICollection> LessonManager::GetSettings(CScenova&) {
    return settings;
}

std::shared_ptr<ICollection> LessonManager::GetScript(CScenova&) {
    return script;
}

void LessonManager::NavigationRequest(CScenova&, const std::string&) {}

void LessonManager::ToolbarRequest(CScenova&, const std::string&) {}

std::string LessonManager::GetMediaPath(CScenova&) {
    return mediaPath;
}

std::string LessonManager::GetAuxiliaryPath(CScenova&) {
    return auxiliaryPath;
}

std::string LessonManager::GetResourcePath(CScenova&) {
    return resourcePath;
}

std::string LessonManager::GetVideoPath(CScenova&) {
    return videoPath;
}

}  // namespace scenova::lesson

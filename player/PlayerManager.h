#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "lesson/LessonManager.h"

namespace scenova::player {

// The player's manager: it serves the lesson folder and tells the host's
// window what the tool tells the host.
class PlayerManager final : public lesson::LessonManager {
public:
    // A line for the host's panel.
    std::function<void(const std::string&)> log;
    // A resource opened (2), updated (1) or closed (0).
    std::function<void(const std::string& buttonId, int32_t action, const std::string& value)>
        resource;

    void ToolShutdown(CScenova& tool) override;
    void ReportError(CScenova& tool, int32_t code, const std::string& text) override;
    void ResourceAction(std::string& buttonId, int32_t& action, std::string* value) override;
    void NavigationRequest(CScenova& tool, const std::string& name) override;
    void ToolbarRequest(CScenova& tool, const std::string& name) override;

private:
    void Log(const std::string& line) {
        if (log) {
            log(line);
        }
    }
};

}  // namespace scenova::player

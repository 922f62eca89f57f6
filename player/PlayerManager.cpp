#include "player/PlayerManager.h"

namespace scenova::player {

void PlayerManager::ToolShutdown(CScenova&) {
    Log("The tool shut down");
}

void PlayerManager::ReportError(CScenova&, int32_t code, const std::string& text) {
    Log("Report " + std::to_string(code) + (text.empty() ? std::string() : ": " + text));
}

void PlayerManager::ResourceAction(std::string& buttonId, int32_t& action, std::string* value) {
    static const char* const kActions[] = {"Close", "Update", "Open"};
    const std::string shown = value ? *value : std::string();
    Log(std::string(action >= 0 && action <= 2 ? kActions[action] : "Resource action") + " " +
        buttonId + (value ? " = " + shown : std::string()));
    if (resource) {
        resource(buttonId, action, shown);
    }
}

void PlayerManager::NavigationRequest(CScenova&, const std::string& name) {
    Log("Navigation: " + name);
}

void PlayerManager::ToolbarRequest(CScenova&, const std::string& name) {
    Log("Toolbar: " + name);
}

}  // namespace scenova::player

#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "runtime/Collection.h"

namespace scenova {

class CScenova;

// Codes of ReportError.
namespace report {
inline constexpr int32_t NoSettings = 0;
inline constexpr int32_t CannotOpen = 5;
inline constexpr int32_t NoVideo = 11;
inline constexpr int32_t MissingValue = 12;
}  // namespace report

// Actions of ResourceAction.
namespace resource {
inline constexpr int32_t Close = 0;
inline constexpr int32_t Update = 1;
inline constexpr int32_t Open = 2;
}  // namespace resource

// The host's manager, as the tool calls it. Every operation may fail; a
// failure arrives as a RuntimeError. The tool passes itself where the host
// wants to know which tool is calling.
class IManager {
public:
    virtual ~IManager() = default;

    virtual void ToolShutdown(CScenova& tool) = 0;
    virtual void ReportError(CScenova& tool, int32_t code, const std::string& text) = 0;
    // The host may read and change the value; a null value is a missing
    // optional argument.
    virtual void ResourceAction(std::string& buttonId, int32_t& action, std::string* value) = 0;
    // Either may return no collection (a null pointer).
    virtual std::shared_ptr<ICollection> GetSettings(CScenova& tool) = 0;
    virtual std::shared_ptr<ICollection> GetScript(CScenova& tool) = 0;
    virtual void NavigationRequest(CScenova& tool, const std::string& name) = 0;
    virtual void ToolbarRequest(CScenova& tool, const std::string& name) = 0;
    virtual std::string GetMediaPath(CScenova& tool) = 0;
    virtual std::string GetAuxiliaryPath(CScenova& tool) = 0;
    virtual std::string GetResourcePath(CScenova& tool) = 0;
    virtual std::string GetVideoPath(CScenova& tool) = 0;
};

}  // namespace scenova

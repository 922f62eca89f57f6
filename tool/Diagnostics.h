#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/RuntimeError.h"
#include "script/ScriptText.h"

namespace scenova {

// Told by the settings procedures and the script parser what they make of a
// lesson, for a tool that checks a lesson with the procedures themselves.
// Every member does nothing unless overridden; the tool tells a sink that
// does nothing unless it is given one.
class Diagnostics {
public:
    virtual ~Diagnostics() = default;

    // Settings. The key is the one read last: the statements after a read
    // belong to it.
    // A statement of the key's row raised and was skipped.
    virtual void SettingFailed(std::string_view /*key*/, const RuntimeError& /*error*/) {}
    // The value the row takes for an empty or missing key, as text; empty
    // when it is worked out as the row is applied.
    virtual void SettingDefault(std::string_view /*key*/, const std::string& /*value*/) {}
    // A value read as a colour is not one: not of the form RGB(r,g,b), or a
    // component that does not convert (SettingFailed says which).
    virtual void SettingNotAColour(std::string_view /*key*/) {}
    // The file the key names is not there (the host is told "Unable to
    // open" and the path).
    virtual void SettingFileMissing(std::string_view /*key*/, const std::string& /*path*/) {}

    // The script, its lines numbered from 1.
    // The parser acts on the line, a tag it knows; told before it does.
    virtual void ScriptLineRead(int32_t /*number*/, const ScriptLine& /*line*/,
                                const ScriptTag& /*tag*/) {}
    // The parser passes over the line: it has no space (line is null) or a
    // tag the parser does not know.
    virtual void ScriptLineIgnored(int32_t /*number*/, const ScriptLine* /*line*/) {}
};

}  // namespace scenova

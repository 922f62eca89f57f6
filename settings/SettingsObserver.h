#pragma once

#include <string>
#include <string_view>

#include "runtime/RuntimeError.h"

namespace scenova {

// Told how each setting fares while the settings procedures apply it, for a
// tool that checks a lesson with the procedures themselves. A settings
// collection that also derives from this is told; any other costs nothing.
// The key is the one read last: the statements after a read belong to it.
class SettingsObserver {
public:
    virtual ~SettingsObserver() = default;
    // A statement of the key's row raised and was skipped.
    virtual void SettingFailed(std::string_view key, const RuntimeError& error) = 0;
    // The value the row takes for an empty or missing key, as text; empty
    // when it is worked out as the row is applied.
    virtual void SettingDefault(std::string_view key, const std::string& value) = 0;
    // A value read as a colour is not one: not of the form RGB(r,g,b), or a
    // component that does not convert (SettingFailed says which).
    virtual void SettingNotAColour(std::string_view key) = 0;
};

}  // namespace scenova

#pragma once

#include <optional>
#include <string>

#include "lesson/Actions.h"
#include "model/Window.h"
#include "runtime/Variant.h"

namespace scenova::lesson {

// What a host gives the executor: the controls its window shows, its clock,
// its calls of the tool, and where refusals go.
class ActionHost {
public:
    enum class Refusal {
        NoWindow,  // a person's action while no window is loaded
        NoButton,  // the bar does not show a button of that name
        NoCue,     // no transcript line has that cue
        NoKey,     // the host has no viewer, or the viewer no such key
    };

    virtual ~ActionHost() = default;
    virtual model::Reach User() = 0;
    virtual void Advance(double seconds) = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual void Startup() = 0;
    virtual void Shutdown() = 0;
    // Shuts the tool down and releases it from inside one of the host's own
    // callbacks (`where`: toolbar-request, resource-action,
    // navigation-request or yield), as a host closing the lesson there would.
    virtual void ReleaseInside(const std::string& where) = 0;
    virtual void Move(float left, std::optional<Variant> top, std::optional<Variant> width,
                      std::optional<Variant> height) = 0;
    // A key of the viewer above the lesson; a host without one refuses it.
    virtual void Key(const Action& action) {
        Refused(action, Refusal::NoKey, "this host has no viewer to take keys");
    }
    // An action that reached nothing, and why, for a person.
    virtual void Refused(const Action& action, Refusal refusal, const std::string& why) = 0;
};

// Carries out one action as a person or the host would, the same for every
// host: a button reaches the bar only when the bar shows it (a disabled or
// hidden one the bar itself refuses), a transcript line by its cue.
void Carry(const Action& action, ActionHost& host);

}  // namespace scenova::lesson

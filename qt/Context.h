#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "runtime/RuntimeError.h"

namespace scenova::qt {

// A run-time error that ended an event handler of the component: the control
// goes on, as a real control does after a failed event call.
struct EventError {
    std::string event;  // "frmRose.ButtonPress"
    RuntimeError error;
};

// What every Qt control shares: the way events reach the component.
class Context {
public:
    // Told of every event just before it is delivered ("movOrvMovie",
    // "SignalEvent", "3"): for the host's log and for tests.
    std::function<void(std::string_view object, std::string_view event, const std::string& args)>
        onEvent;
    // Told of every handler that ended with a run-time error.
    std::function<void(const EventError&)> onEventError;
    std::vector<EventError> eventErrors;

    // Delivers one event into the component. A run-time error ends the
    // handler only: nothing may leave a Qt event handler by an exception.
    // The handler may release the control raising the event, so callers pass
    // copies and touch nothing of the control afterwards.
    template <class Handler, class... Args>
    void Raise(std::string_view object, std::string_view event, const Handler& handler,
               const Args&... args) {
        if (onEvent) {
            onEvent(object, event, Arguments(args...));
        }
        if (!handler) {
            return;
        }
        try {
            handler(args...);
        } catch (const RuntimeError& error) {
            EventError failure{std::string(object) + "." + std::string(event), error};
            eventErrors.push_back(failure);
            if (onEventError) {
                onEventError(failure);
            }
        }
    }

private:
    static std::string Argument(const std::string& text) { return "\"" + text + "\""; }
    template <class T>
    static std::string Argument(const T& number) {
        return std::to_string(number);
    }
    template <class... Args>
    static std::string Arguments(const Args&... args) {
        std::string out;
        ((out += (out.empty() ? "" : ", ") + Argument(args)), ...);
        return out;
    }
};

}  // namespace scenova::qt

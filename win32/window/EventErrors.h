#pragma once

#include <string>
#include <utility>
#include <vector>

#include "runtime/RuntimeError.h"

namespace scenova::win32 {

// Run-time errors that ended an event handler of the component, the latest
// kMaxEventErrors of them. The event itself is delivered and the system goes
// on, as a control's event call returns; the list is there for tests and
// diagnostics.
inline constexpr std::size_t kMaxEventErrors = 100;
std::vector<std::string>& EventErrors();
void RecordEventError(const std::string& event, const char* what) noexcept;

// Runs one handler of an event raised into the component ("frmRose.ButtonPress").
// Nothing may leave a window procedure or an event call: a run-time error
// ends the handler, anything else is recorded as an unexpected failure.
template <class Handler>
void RunHandler(const std::string& event, Handler&& handler) noexcept {
    try {
        std::forward<Handler>(handler)();
    } catch (const RuntimeError& error) {
        RecordEventError(event, error.what());
    } catch (...) {
        RecordEventError(event, "unexpected failure");
    }
}

}  // namespace scenova::win32

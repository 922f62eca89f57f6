#include "win32/window/EventErrors.h"

namespace scenova::win32 {

std::vector<std::string>& EventErrors() {
    static std::vector<std::string> errors;
    return errors;
}

void RecordEventError(const std::string& event, const char* what) noexcept {
    try {
        std::vector<std::string>& errors = EventErrors();
        if (errors.size() >= kMaxEventErrors) {
            errors.erase(errors.begin());
        }
        errors.push_back(event + ": " + what);
    } catch (...) {
        // Out of memory while recording: the error is dropped, not raised.
    }
}

}  // namespace scenova::win32

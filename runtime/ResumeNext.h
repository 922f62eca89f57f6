#pragma once

#include <string>
#include <utility>

#include "runtime/RuntimeError.h"

namespace scenova {

// The error model of the settings procedures: a statement that raises a
// run-time error is skipped, the current value text is emptied, and the next
// statement runs. Each statement is one call:
//
//     ResumeNext step(valueText);
//     step([&] { valueText = ItemText(settings, "movOrvMovie.Top"); });
//     step([&] { video.Top(PixelsToTwipsY(valueText)); });
//
// Only run-time errors are absorbed; anything else is a fault and propagates.
class ResumeNext {
public:
    explicit ResumeNext(std::string& valueText) : m_valueText(valueText) {}

    // Runs one statement; returns false when it raised a run-time error.
    template <class Statement>
    bool operator()(Statement&& statement) {
        try {
            std::forward<Statement>(statement)();
            return true;
        } catch (const RuntimeError&) {
            m_valueText.clear();
            return false;
        }
    }

private:
    std::string& m_valueText;
};

}  // namespace scenova

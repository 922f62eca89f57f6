#pragma once

#include "controls/RichText.h"
#include "runtime/Convert.h"

namespace scenova {

// Scrolls the transcript by a number of lines. The control takes 16-bit
// distances, which a long lesson's transcript (some 18,000 spoken lines and
// more) outgrows: a longer distance is scrolled in several steps in the same
// direction, which end where one step would, instead of failing with an
// overflow. A distance that fits is one call, as always.
inline void ScrollTranscript(controls::IRichText& text, double lines) {
    constexpr double kMost = 32767;
    constexpr double kLeast = -32768;
    while (lines > kMost) {
        text.ScrollLines(ToInteger(kMost));
        lines -= kMost;
    }
    while (lines < kLeast) {
        text.ScrollLines(ToInteger(kLeast));
        lines -= kLeast;
    }
    text.ScrollLines(ToInteger(lines));
}

}  // namespace scenova

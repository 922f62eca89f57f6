#pragma once

#include <cstdint>
#include <string>

#include "runtime/ColourMarker.h"

namespace scenova {

// Reads a colour written RGB(r,g,b) into rgb. Returns false for text of any
// other form. Components are written as they are read, so a component that
// is not a number (13) or lies outside 0..255 (6) raises after the earlier
// slots were written. A list of fewer than three components repeats its last
// one; a list of more than three reads three and returns false.
bool ParseRGBColour(const std::string& text, ColourComponents& rgb);

// The colour reference of the components: red in the lowest byte.
int32_t ColourRef(const ColourComponents& rgb);

// The button bar's number for a font name (letter case ignored); 0 when the
// bar does not know the font.
int16_t FontNameToIndex(const std::string& name);

}  // namespace scenova

#include "settings/ValueParsers.h"

#include <string_view>

#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"

namespace scenova {

namespace {

uint8_t Component(std::string_view text) {
    const int16_t value = ToInteger(text);
    if (value < 0 || value > 255) {
        Raise(err::Overflow);
    }
    return static_cast<uint8_t>(value);
}

}  // namespace

bool ParseRGBColour(const std::string& text, ColourComponents& rgb) {
    constexpr std::string_view kPrefix = "RGB(";
    if (text.empty() || std::string_view(text).substr(0, kPrefix.size()) != kPrefix) {
        return false;
    }
    const std::string_view rest = TrimSpaces(std::string_view(text).substr(kPrefix.size()));
    if (rest.empty() || rest.back() != ')') {
        return false;
    }
    std::string_view list = rest.substr(0, rest.size() - 1);
    bool result = false;
    for (uint8_t& slot : rgb) {
        const auto comma = list.find(',');
        if (comma != std::string_view::npos) {
            slot = Component(list.substr(0, comma));
            list = list.substr(comma + 1);
        } else if (!list.empty()) {
            // The last component also fills the slots after it.
            slot = Component(list);
            result = true;
        }
    }
    return result;
}

int32_t ColourRef(const ColourComponents& rgb) {
    return static_cast<int32_t>(rgb[0]) | (static_cast<int32_t>(rgb[1]) << 8) |
           (static_cast<int32_t>(rgb[2]) << 16);
}

int16_t FontNameToIndex(const std::string& name) {
    static constexpr std::array<std::string_view, 14> kFonts{
        "ARIAL",  "COURIER",       "COURIER NEW",     "FIXEDSYS",    "MARLETT",
        "MODERN", "MS SANS SERIF", "MS SERIF",        "SMALL FONTS", "SYMBOL",
        "SYSTEM", "TERMINAL",      "TIMES NEW ROMAN", "WINGDINGS"};
    const std::string upper = UCase(name);
    for (std::size_t i = 0; i < kFonts.size(); ++i) {
        if (upper == kFonts[i]) {
            return static_cast<int16_t>(i + 1);
        }
    }
    return 0;
}

}  // namespace scenova

#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scenova {

// Red, green and blue, in that order.
using ColourComponents = std::array<uint8_t, 3>;

// The colour markers of transcript text, written and read here only, since
// a transcript line is found only when its writer and its readers agree:
// "\cf(r,g,b)" (each component 0 to 255, one to three digits) starts a
// coloured run and "\cf0" ends it. Header-only, so that the transcript
// writer library stays free of the core's compiled code.
namespace colour_marker {

inline constexpr std::string_view kEnd = "\\cf0";

// "\cf(r,g,b)", in decimal without leading zeros.
inline std::string Start(const ColourComponents& rgb) {
    return "\\cf(" + std::to_string(rgb[0]) + "," + std::to_string(rgb[1]) + "," +
           std::to_string(rgb[2]) + ")";
}

// The text as one coloured run.
inline std::string Coloured(const ColourComponents& rgb, std::string_view text) {
    std::string out = Start(rgb);
    out += text;
    out += kEnd;
    return out;
}

// A marker at the start of a text: its length (0 when there is none) and
// its colour, none for the end marker.
struct Marker {
    std::size_t length = 0;
    std::optional<ColourComponents> rgb;
};

inline Marker At(std::string_view s) {
    if (s.starts_with(kEnd)) {
        return {kEnd.size(), std::nullopt};
    }
    if (!s.starts_with("\\cf(")) {
        return {};
    }
    std::size_t pos = 4;
    ColourComponents rgb{};
    for (std::size_t component = 0; component < rgb.size(); ++component) {
        unsigned value = 0;
        std::size_t digits = 0;
        while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9' && digits < 3) {
            value = value * 10 + static_cast<unsigned>(s[pos++] - '0');
            ++digits;
        }
        if (digits == 0 || value > 255 || pos >= s.size() ||
            s[pos] != (component < 2 ? ',' : ')')) {
            return {};
        }
        ++pos;
        rgb[component] = static_cast<uint8_t>(value);
    }
    return {pos, rgb};
}

// A piece of marked text: text as it is shown, or a marker.
struct Piece {
    std::string_view text;
    Marker marker;  // length 0 for text
    bool IsMarker() const { return marker.length != 0; }
};

// Splits marked text into its text and its markers, the text without the
// spaces around what is shown. A malformed marker is text. pieces is
// reused, so that splitting many lines allocates once.
inline void Split(std::string_view s, std::vector<Piece>& pieces) {
    pieces.clear();
    std::size_t textStart = 0;
    for (std::size_t pos = s.find('\\'); pos != std::string_view::npos; pos = s.find('\\', pos)) {
        const Marker marker = At(s.substr(pos));
        if (marker.length == 0) {
            ++pos;
            continue;
        }
        if (pos > textStart) {
            pieces.push_back({s.substr(textStart, pos - textStart), {}});
        }
        pieces.push_back({{}, marker});
        pos += marker.length;
        textStart = pos;
    }
    if (textStart < s.size()) {
        pieces.push_back({s.substr(textStart), {}});
    }
    for (Piece& piece : pieces) {
        piece.text.remove_prefix(std::min(piece.text.find_first_not_of(' '), piece.text.size()));
        if (!piece.text.empty()) {
            break;
        }
    }
    for (auto it = pieces.rbegin(); it != pieces.rend(); ++it) {
        const std::size_t last = it->text.find_last_not_of(' ');
        it->text = it->text.substr(0, last == std::string_view::npos ? 0 : last + 1);
        if (!it->text.empty()) {
            break;
        }
    }
}

}  // namespace colour_marker
}  // namespace scenova

#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "formats/RtfReader.h"

namespace scenova::formats {

// Where a search of a transcript's text found its match: [start, end) in
// characters of the text.
struct TextMatch {
    int32_t start = 0;
    int32_t end = 0;
};

// An occurrence of wanted (UTF-8) that lies wholly in from..to (clamped to
// the text), with the flags of controls::find_flags: the first (Down) or the
// last one, whole words only (WholeWord), letters in the same case only
// (MatchCase). Matching is code point by code point; letters, digits and "_"
// make up words, and letters match in any case by the C.UTF-8 locale.
// Nothing for an empty wanted text. examined, when given, is increased by
// the characters looked at; a search looks no further than its range.
std::optional<TextMatch> FindInText(const PackedText& text, int32_t from, int32_t to, int32_t flags,
                                    std::string_view wanted, uint64_t* examined = nullptr);

}  // namespace scenova::formats

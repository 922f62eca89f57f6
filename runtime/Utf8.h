#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// UTF-8 reading and writing shared by the script helpers, the transcript
// writer and the headless rich text. Header-only, so that the transcript
// writer library stays free of the core's compiled code.
namespace scenova::utf8 {

inline constexpr char32_t kReplacement = 0xFFFD;

// Decodes the code point starting at pos and moves past it. A malformed
// sequence gives U+FFFD and consumes only the bytes that could still have
// begun a valid one, so the character after the damage survives.
inline char32_t NextCodePoint(std::string_view s, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(s[pos++]);
    if (lead < 0x80) {
        return lead;
    }
    int more = 0;
    char32_t cp = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        more = 1;
        cp = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        more = 2;
        cp = lead & 0x0Fu;
        low = lead == 0xE0 ? 0xA0 : 0x80;   // overlong
        high = lead == 0xED ? 0x9F : 0xBF;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        more = 3;
        cp = lead & 0x07u;
        low = lead == 0xF0 ? 0x90 : 0x80;   // overlong
        high = lead == 0xF4 ? 0x8F : 0xBF;  // beyond U+10FFFF
    } else {
        return kReplacement;
    }
    for (int i = 0; i < more; ++i) {
        if (pos >= s.size()) {
            return kReplacement;
        }
        const auto next = static_cast<unsigned char>(s[pos]);
        if (next < low || next > high) {
            return kReplacement;
        }
        cp = (cp << 6) | (next & 0x3Fu);
        low = 0x80;
        high = 0xBF;
        ++pos;
    }
    return cp;
}

// Whether the text is UTF-8 throughout (a U+FFFD written as such counts).
inline bool IsValid(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t at = pos;
        if (NextCodePoint(text, pos) == kReplacement &&
            text.substr(at, pos - at) != "\xEF\xBF\xBD") {
            return false;
        }
    }
    return true;
}

// Appends the UTF-8 of one code point; a surrogate or a value beyond
// U+10FFFF, which UTF-8 cannot carry, becomes U+FFFD.
inline void AppendCodePoint(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        c = kReplacement;
    }
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Text as a terminal may show it: control characters (C0 but the tab, DEL,
// C1) as \xNN or \uNNNN, and each byte of a sequence that is not UTF-8 as
// \xNN, so that no text can move the cursor, retitle the window or colour
// what follows. The rest, a backslash too, as it stands.
inline std::string Printable(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t at = pos;
        const char32_t c = NextCodePoint(text, pos);
        const bool damaged = c == kReplacement && text.substr(at, pos - at) != "\xEF\xBF\xBD";
        if (damaged || (c < 0x20 && c != '\t') || c == 0x7F) {
            for (std::size_t i = at; i < pos; ++i) {
                const auto byte = static_cast<unsigned char>(text[i]);
                out += "\\x";
                out += kHex[byte >> 4];
                out += kHex[byte & 0xF];
            }
        } else if (c >= 0x80 && c <= 0x9F) {
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        } else {
            out.append(text.substr(at, pos - at));
        }
    }
    return out;
}

}  // namespace scenova::utf8

#include "script/ScriptText.h"

#include <algorithm>

#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"

namespace scenova {

std::optional<ScriptLine> SplitScriptLine(std::string_view text) {
    const auto space = text.find(' ');
    if (space == std::string_view::npos) {
        return std::nullopt;
    }
    ScriptLine line;
    line.tag = UCase(TrimSpaces(text.substr(0, space)));
    line.hasValue = space + 1 < text.size();
    line.value = std::string(TrimSpaces(text.substr(space + 1)));
    return line;
}

int16_t SplitList(const std::string& List, std::vector<std::string>& Parts) {
    if (List.empty()) {
        return 0;
    }
    std::vector<std::string> parts;
    std::string_view rest = List;
    while (true) {
        const auto comma = rest.find(',');
        if (comma == std::string_view::npos) {
            if (!rest.empty()) {
                parts.emplace_back(TrimSpaces(rest));
            }
            break;
        }
        parts.emplace_back(TrimSpaces(rest.substr(0, comma)));
        rest = TrimSpaces(rest.substr(comma + 1));
    }
    if (parts.size() > static_cast<std::size_t>(INT16_MAX)) {
        Raise(err::Overflow);
    }
    Parts = std::move(parts);
    return static_cast<int16_t>(Parts.size());
}

void MarkCultureTips(std::string& Text, const std::string& TipChar) {
    if (Text.empty() || TipChar.empty()) {
        return;
    }
    const auto start = Text.find("[CT");
    if (start == std::string::npos) {
        return;
    }
    const auto end = Text.find(']', start);
    if (end == std::string::npos) {
        return;
    }
    const std::string_view name =
        TrimSpaces(std::string_view(Text).substr(start + 3, end - (start + 3)));
    Text = Text.substr(0, start) + " " + TipChar + std::string(name);
}

namespace {

// The length of the colour marker at the start of s, 0 when there is none.
std::size_t MarkerLength(std::string_view s) {
    if (s.starts_with("\\cf0")) {
        return 4;
    }
    if (!s.starts_with("\\cf(")) {
        return 0;
    }
    std::size_t pos = 4;
    for (int component = 0; component < 3; ++component) {
        unsigned value = 0;
        std::size_t digits = 0;
        while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9' && digits < 3) {
            value = value * 10 + static_cast<unsigned>(s[pos++] - '0');
            ++digits;
        }
        if (digits == 0 || value > 255 || pos >= s.size() ||
            s[pos] != (component < 2 ? ',' : ')')) {
            return 0;
        }
        ++pos;
    }
    return pos;
}

// Appends the UTF-8 of one code point.
void Append(std::string& out, char32_t c) {
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

// The code point at pos, moving past it; a damaged sequence is U+FFFD and
// consumes only the bytes that could have begun a valid one.
char32_t NextCodePoint(std::string_view s, std::size_t& pos) {
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
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        more = 3;
        cp = lead & 0x07u;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0xFFFD;
    }
    for (int i = 0; i < more; ++i) {
        if (pos >= s.size() || static_cast<unsigned char>(s[pos]) < low ||
            static_cast<unsigned char>(s[pos]) > high) {
            return 0xFFFD;
        }
        cp = (cp << 6) | (static_cast<unsigned char>(s[pos++]) & 0x3Fu);
        low = 0x80;
        high = 0xBF;
    }
    return cp;
}

}  // namespace

std::string VisibleLineText(std::string_view line) {
    // The transcript writer works piece by piece between the markers, so a
    // marker also splits a damaged UTF-8 sequence.
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    for (std::size_t pos = line.find('\\'); pos != std::string_view::npos;
         pos = line.find('\\', pos)) {
        const std::size_t length = MarkerLength(line.substr(pos));
        if (length == 0) {
            ++pos;
            continue;
        }
        pieces.push_back(line.substr(start, pos - start));
        pos += length;
        start = pos;
    }
    pieces.push_back(line.substr(start));
    for (auto& piece : pieces) {
        piece.remove_prefix(std::min(piece.find_first_not_of(' '), piece.size()));
        if (!piece.empty()) {
            break;
        }
    }
    for (auto it = pieces.rbegin(); it != pieces.rend(); ++it) {
        const auto last = it->find_last_not_of(' ');
        *it = it->substr(0, last == std::string_view::npos ? 0 : last + 1);
        if (!it->empty()) {
            break;
        }
    }
    std::string text;
    for (const std::string_view piece : pieces) {
        for (std::size_t pos = 0; pos < piece.size();) {
            char32_t c = NextCodePoint(piece, pos);
            if (c == '\r' && pos < piece.size() && piece[pos] == '\n') {
                ++pos;
            }
            if (c == '\r' || c == '\n') {
                c = ' ';
            } else if ((c < 0x20 && c != '\t') || c == 0x7F) {
                continue;
            }
            Append(text, c);
        }
    }
    return text;
}

}  // namespace scenova

#include "formats/HtmlReferences.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "runtime/Utf8.h"

namespace scenova::formats {

namespace {

struct NamedReference {
    std::string_view name;  // without its "&"
    std::string_view text;
};

#include "formats/HtmlReferences.inc"

bool IsAlphanumeric(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

std::optional<std::string> ReadNumber(std::string_view& s) {
    std::size_t pos = 2;  // past "&#"
    const bool hex = pos < s.size() && (s[pos] == 'x' || s[pos] == 'X');
    pos += hex ? 1 : 0;
    const std::size_t first = pos;
    uint32_t value = 0;
    for (; pos < s.size(); ++pos) {
        const char c = s[pos];
        uint32_t digit = 0;
        if (c >= '0' && c <= '9') {
            digit = static_cast<uint32_t>(c - '0');
        } else if (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) {
            digit = static_cast<uint32_t>((c | 0x20) - 'a' + 10);
        } else {
            break;
        }
        // Past U+10FFFF it stays there: a long run of digits cannot overflow.
        value = std::min<uint32_t>(value * (hex ? 16 : 10) + digit, 0x110000);
    }
    if (pos == first) {
        return std::nullopt;
    }
    s.remove_prefix(pos < s.size() && s[pos] == ';' ? pos + 1 : pos);
    char32_t c = value;
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        c = utf8::kReplacement;
    }
    const auto* remapped = std::find_if(std::begin(kRemappedNumbers), std::end(kRemappedNumbers),
                                        [&](const auto& entry) { return entry.first == c; });
    if (remapped != std::end(kRemappedNumbers)) {
        c = remapped->second;
    }
    std::string text;
    utf8::AppendCodePoint(text, c);
    return text;
}

}  // namespace

std::optional<std::string> ReadCharacterReference(std::string_view& s) {
    if (!s.starts_with('&')) {
        return std::nullopt;
    }
    if (s.starts_with("&#")) {
        return ReadNumber(s);
    }
    std::size_t length = 1;
    while (length < s.size() && length <= kLongestReferenceName && IsAlphanumeric(s[length])) {
        ++length;
    }
    if (length < s.size() && s[length] == ';') {
        ++length;
    }
    // The longest name the text starts with.
    for (std::size_t n = std::min(length - 1, kLongestReferenceName); n > 0; --n) {
        const std::string_view name = s.substr(1, n);
        const auto* found = std::lower_bound(
            std::begin(kNamedReferences), std::end(kNamedReferences), name,
            [](const NamedReference& entry, std::string_view key) { return entry.name < key; });
        if (found != std::end(kNamedReferences) && found->name == name) {
            s.remove_prefix(n + 1);
            return std::string(found->text);
        }
    }
    return std::nullopt;
}

}  // namespace scenova::formats

#include "formats/TextSearch.h"

#include <algorithm>
#include <locale>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "controls/RichText.h"

namespace scenova::formats {

namespace {

// Word characters and case by the C.UTF-8 locale, whatever the process's own
// locale is; ASCII only on a system without it.
const std::ctype<wchar_t>& Classes() {
    static const std::locale locale = [] {
        try {
            return std::locale("C.UTF-8");
        } catch (const std::runtime_error&) {
            return std::locale::classic();
        }
    }();
    return std::use_facet<std::ctype<wchar_t>>(locale);
}

bool IsWordCharacter(char32_t c) {
    return c == U'_' || Classes().is(std::ctype_base::alnum, static_cast<wchar_t>(c));
}

char32_t Folded(char32_t c) {
    return static_cast<char32_t>(Classes().tolower(static_cast<wchar_t>(c)));
}

// The offset of the first (down) or last occurrence of needle among the
// length characters that at(i) gives, that accept takes; npos for none.
// Knuth, Morris and Pratt's search: every character is looked at once and
// each occurrence is met in order, so a search costs its range and the
// needle, whatever they hold.
template <class At, class Accept>
std::size_t Search(std::size_t length, const At& at, std::u32string_view needle, bool down,
                   const Accept& accept) {
    const std::size_t m = needle.size();
    // The needle in the order the range is read: reversed for the last one.
    const std::u32string p =
        down ? std::u32string(needle) : std::u32string(needle.rbegin(), needle.rend());
    std::vector<std::size_t> border(m, 0);  // the longest proper border of p[0..k]
    for (std::size_t k = 1, j = 0; k < m; ++k) {
        while (j > 0 && p[k] != p[j]) {
            j = border[j - 1];
        }
        j += p[k] == p[j] ? 1 : 0;
        border[k] = j;
    }
    for (std::size_t i = 0, j = 0; i < length; ++i) {
        const char32_t c = at(down ? i : length - 1 - i);
        while (j > 0 && c != p[j]) {
            j = border[j - 1];
        }
        j += c == p[j] ? 1 : 0;
        if (j == m) {
            const std::size_t start = down ? i + 1 - m : length - 1 - i;
            if (accept(start)) {
                return start;
            }
            j = border[j - 1];
        }
    }
    return std::u32string_view::npos;
}

}  // namespace

std::optional<TextMatch> FindInText(const PackedText& text, int32_t from, int32_t to, int32_t flags,
                                    std::string_view wantedText, uint64_t* examined) {
    const auto textLength = static_cast<int32_t>(text.size());
    namespace ff = controls::find_flags;
    const int64_t first = std::max(from, int32_t{0});
    const int64_t end = std::min(to, textLength);  // where a match must end by
    std::u32string wanted = DecodeUtf8(wantedText);
    const auto count = static_cast<int64_t>(wanted.size());
    if (count == 0 || first + count > end) {
        return std::nullopt;
    }
    const bool down = (flags & ff::Down) != 0;
    const bool wholeWord = (flags & ff::WholeWord) != 0;
    const bool matchCase = (flags & ff::MatchCase) != 0;
    const auto start = static_cast<std::size_t>(first);
    const auto length = static_cast<std::size_t>(end - first);
    // A word goes on across a boundary with word characters on both sides.
    const auto inWord = [&](int64_t at) {
        return at > 0 && at < textLength &&
               IsWordCharacter(text[static_cast<std::size_t>(at - 1)]) &&
               IsWordCharacter(text[static_cast<std::size_t>(at)]);
    };
    const auto accept = [&](std::size_t found) {
        const auto at = first + static_cast<int64_t>(found);
        return !wholeWord || (!inWord(at) && !inWord(at + count));
    };
    if (!matchCase) {
        for (char32_t& c : wanted) {
            c = Folded(c);
        }
    }
    // Letters folded as they are read: no copy of the range.
    const auto search = [&](auto range) {
        if (matchCase) {
            return Search(
                length, [&](std::size_t i) { return static_cast<char32_t>(range[i]); }, wanted,
                down, accept);
        }
        return Search(
            length, [&](std::size_t i) { return Folded(range[i]); }, wanted, down, accept);
    };
    const std::size_t found = text.isWide
                                  ? search(std::u32string_view(text.wide).substr(start, length))
                                  : search(std::u16string_view(text.narrow).substr(start, length));
    if (examined != nullptr) {
        *examined += found == std::u32string_view::npos ? length
                     : down                             ? found + wanted.size()
                                                        : length - found;
    }
    if (found == std::u32string_view::npos) {
        return std::nullopt;
    }
    const auto at = static_cast<int32_t>(first) + static_cast<int32_t>(found);
    return TextMatch{at, at + static_cast<int32_t>(count)};
}

}  // namespace scenova::formats

#include "formats/TextSearch.h"

#include <algorithm>
#include <locale>
#include <stdexcept>
#include <string>
#include <string_view>

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

// The offset of the first (down) or last occurrence of needle in range that
// accept takes, npos for none.
template <class Char, class Accept>
std::size_t Search(std::basic_string_view<Char> range, std::basic_string_view<Char> needle,
                   bool down, const Accept& accept) {
    constexpr auto npos = std::basic_string_view<Char>::npos;
    if (down) {
        for (std::size_t at = range.find(needle); at != npos; at = range.find(needle, at + 1)) {
            if (accept(at)) {
                return at;
            }
        }
        return npos;
    }
    for (std::size_t at = range.rfind(needle); at != npos; at = range.rfind(needle, at - 1)) {
        if (accept(at)) {
            return at;
        }
        if (at == 0) {
            break;
        }
    }
    return npos;
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
    std::size_t found = std::u32string_view::npos;
    if (!matchCase) {
        std::u32string range(length, U'\0');
        for (std::size_t i = 0; i < length; ++i) {
            range[i] = Folded(text[start + i]);
        }
        for (char32_t& c : wanted) {
            c = Folded(c);
        }
        found = Search<char32_t>(range, wanted, down, accept);
    } else if (text.isWide) {
        found = Search<char32_t>(std::u32string_view(text.wide).substr(start, length), wanted, down,
                                 accept);
    } else if (std::all_of(wanted.begin(), wanted.end(), [](char32_t c) { return c <= 0xFFFF; })) {
        const std::u16string narrow(wanted.begin(), wanted.end());
        found = Search<char16_t>(std::u16string_view(text.narrow).substr(start, length), narrow,
                                 down, accept);
    }
    if (examined != nullptr) {
        *examined += down && found != std::u32string_view::npos ? found + wanted.size() : length;
    }
    if (found == std::u32string_view::npos) {
        return std::nullopt;
    }
    const auto at = static_cast<int32_t>(first) + static_cast<int32_t>(found);
    return TextMatch{at, at + static_cast<int32_t>(count)};
}

}  // namespace scenova::formats

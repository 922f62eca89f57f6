#include "formats/RtfReader.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "runtime/Utf8.h"

namespace scenova::formats {
namespace {

using utf8::kReplacement;

// Windows-1252 bytes 0x80..0x9F; the five unassigned ones keep their C1 code
// points, as the system's own conversion does.
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t FromCp1252(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : byte;
}

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexValue(char c) {
    if (IsDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

enum class Kind { Ignored, Text, Destination, UnicodeSkip, Unicode, Binary };

struct Word {
    Kind kind = Kind::Ignored;
    char32_t character = 0;  // for Kind::Text
};

Word Lookup(std::string_view name) {
    // Sorted once, then searched by halves: cheaper than hashing every word
    // of a long document.
    using Entry = std::pair<std::string_view, Word>;
    static const std::vector<Entry> kWords = [] {
        std::vector<Entry> words = {
            {"par", {Kind::Text, '\n'}},
            {"line", {Kind::Text, '\n'}},
            {"sect", {Kind::Text, '\n'}},
            {"page", {Kind::Text, '\n'}},
            {"row", {Kind::Text, '\n'}},
            {"tab", {Kind::Text, '\t'}},
            {"cell", {Kind::Text, '\t'}},
            {"emdash", {Kind::Text, 0x2014}},
            {"endash", {Kind::Text, 0x2013}},
            {"emspace", {Kind::Text, 0x2003}},
            {"enspace", {Kind::Text, 0x2002}},
            {"qmspace", {Kind::Text, 0x2005}},
            {"bullet", {Kind::Text, 0x2022}},
            {"lquote", {Kind::Text, 0x2018}},
            {"rquote", {Kind::Text, 0x2019}},
            {"ldblquote", {Kind::Text, 0x201C}},
            {"rdblquote", {Kind::Text, 0x201D}},
            {"zwbo", {Kind::Text, 0x200B}},
            {"zwnj", {Kind::Text, 0x200C}},
            {"zwj", {Kind::Text, 0x200D}},
            {"ltrmark", {Kind::Text, 0x200E}},
            {"rtlmark", {Kind::Text, 0x200F}},
            {"fonttbl", {Kind::Destination}},
            {"colortbl", {Kind::Destination}},
            {"stylesheet", {Kind::Destination}},
            {"listtable", {Kind::Destination}},
            {"listoverridetable", {Kind::Destination}},
            {"revtbl", {Kind::Destination}},
            {"rsidtbl", {Kind::Destination}},
            {"filetbl", {Kind::Destination}},
            {"info", {Kind::Destination}},
            {"pict", {Kind::Destination}},
            {"nonshppict", {Kind::Destination}},
            {"object", {Kind::Destination}},
            {"header", {Kind::Destination}},
            {"headerl", {Kind::Destination}},
            {"headerr", {Kind::Destination}},
            {"headerf", {Kind::Destination}},
            {"footer", {Kind::Destination}},
            {"footerl", {Kind::Destination}},
            {"footerr", {Kind::Destination}},
            {"footerf", {Kind::Destination}},
            {"footnote", {Kind::Destination}},
            {"annotation", {Kind::Destination}},
            {"fldinst", {Kind::Destination}},
            {"xe", {Kind::Destination}},
            {"tc", {Kind::Destination}},
            {"txe", {Kind::Destination}},
            {"uc", {Kind::UnicodeSkip}},
            {"u", {Kind::Unicode}},
            {"bin", {Kind::Binary}},
        };
        std::sort(words.begin(), words.end(),
                  [](const Entry& a, const Entry& b) { return a.first < b.first; });
        return words;
    }();
    const auto found =
        std::lower_bound(kWords.begin(), kWords.end(), name,
                         [](const Entry& entry, std::string_view n) { return entry.first < n; });
    return found != kWords.end() && found->first == name ? found->second : Word{};
}

class Reader {
public:
    explicit Reader(std::string_view in) : m_in(in) {
        m_groups.push_back({});
        // The text is never longer than the input; reserving that much at
        // once spares the copies of a growing buffer, and the pages the text
        // does not reach are never touched.
        m_text.narrow.reserve(in.size());
    }

    PackedText Read() {
        while (m_pos < m_in.size()) {
            const char c = m_in[m_pos++];
            switch (c) {
                case '{':
                    OpenGroup();
                    break;
                case '}':
                    CloseGroup();
                    break;
                case '\\':
                    Control();
                    break;
                case '\r':
                case '\n':
                    break;  // line breaks in the file are not text
                default:
                    if (!SkipFallback()) {
                        PutDecoded(FromCp1252(static_cast<unsigned char>(c)));
                    }
                    break;
            }
        }
        if (m_highSurrogate != 0) {
            Emit(kReplacement);  // unpaired at the end
        }
        return std::move(m_text);
    }

private:
    struct Group {
        bool hidden = false;
        int32_t unicodeSkip = 1;
    };

    bool Hidden() const { return m_overflow > 0 || m_groups.back().hidden; }

    void OpenGroup() {
        m_fallback = 0;  // a group ends the characters a \u replaces
        if (m_overflow > 0 || m_groups.size() > kMaxDepth) {
            ++m_overflow;
        } else {
            m_groups.push_back(m_groups.back());
        }
    }

    void CloseGroup() {
        m_fallback = 0;
        if (m_overflow > 0) {
            --m_overflow;
        } else if (m_groups.size() > 1) {
            m_groups.pop_back();
        }
    }

    // Whether the character, symbol or word just read is one that a
    // preceding \u stands in for.
    bool SkipFallback() {
        if (m_fallback == 0) {
            return false;
        }
        --m_fallback;
        return true;
    }

    void Control() {
        if (m_pos >= m_in.size()) {
            return;
        }
        const char c = m_in[m_pos];
        if (IsLetter(c)) {
            ControlWord();
            return;
        }
        ++m_pos;
        switch (c) {
            case '\'':
                HexEscape();
                return;
            case '*':
                // Optional destinations: none of them is text.
                m_groups.back().hidden = true;
                return;
            case '\\':
            case '{':
            case '}':
                if (!SkipFallback()) {
                    Put(static_cast<char32_t>(c));
                }
                return;
            case '\r':
            case '\n':
                if (!SkipFallback()) {
                    Put('\n');
                }
                return;
            case '~':
                if (!SkipFallback()) {
                    Put(0x00A0);
                }
                return;
            case '_':
                if (!SkipFallback()) {
                    Put(0x2011);
                }
                return;
            default:
                SkipFallback();  // "\-" and the rest show nothing
                return;
        }
    }

    void HexEscape() {
        int value = 0;
        int digits = 0;
        while (digits < 2 && m_pos < m_in.size() && HexValue(m_in[m_pos]) >= 0) {
            value = value * 16 + HexValue(m_in[m_pos]);
            ++m_pos;
            ++digits;
        }
        if (!SkipFallback() && digits == 2) {
            PutDecoded(FromCp1252(static_cast<unsigned char>(value)));
        }
    }

    void ControlWord() {
        const std::size_t start = m_pos;
        while (m_pos < m_in.size() && IsLetter(m_in[m_pos])) {
            ++m_pos;
        }
        const std::string_view name = m_in.substr(start, m_pos - start);

        bool negative = false;
        if (m_pos + 1 < m_in.size() && m_in[m_pos] == '-' && IsDigit(m_in[m_pos + 1])) {
            negative = true;
            ++m_pos;
        }
        bool hasParameter = false;
        int64_t value = 0;
        // Saturates well beyond 32 bits, so the clamp below sees huge numbers
        // as huge without the arithmetic ever overflowing.
        constexpr int64_t kSaturated = int64_t{1} << 40;
        while (m_pos < m_in.size() && IsDigit(m_in[m_pos])) {
            hasParameter = true;
            value = std::min(value * 10 + (m_in[m_pos] - '0'), kSaturated);
            ++m_pos;
        }
        const auto parameter = static_cast<int32_t>(
            std::clamp(negative ? -value : value, int64_t{std::numeric_limits<int32_t>::min()},
                       int64_t{std::numeric_limits<int32_t>::max()}));
        if (m_pos < m_in.size() && m_in[m_pos] == ' ') {
            ++m_pos;  // the delimiter belongs to the word
        }
        Apply(Lookup(name), hasParameter, parameter);
    }

    void Apply(Word word, bool hasParameter, int32_t parameter) {
        if (word.kind == Kind::Binary) {
            // Raw bytes follow; they must not be read as braces or words.
            const auto count = static_cast<std::size_t>(std::max(parameter, int32_t{0}));
            m_pos += std::min(count, m_in.size() - m_pos);
            SkipFallback();
            return;
        }
        if (SkipFallback()) {
            return;
        }
        switch (word.kind) {
            case Kind::Text:
                Put(word.character);
                return;
            case Kind::Destination:
                m_groups.back().hidden = true;
                return;
            case Kind::UnicodeSkip:
                if (m_overflow == 0) {
                    m_groups.back().unicodeSkip =
                        hasParameter ? std::max(parameter, int32_t{0}) : 1;
                }
                return;
            case Kind::Unicode:
                if (hasParameter) {
                    // Writers give units above 0x7FFF as negative numbers.
                    const int64_t unit = parameter < 0 ? int64_t{parameter} + 0x10000 : parameter;
                    PutDecoded(unit >= 0 && unit <= 0xFFFF ? static_cast<char32_t>(unit)
                                                           : kReplacement);
                    m_fallback = m_groups.back().unicodeSkip;
                }
                return;
            default:
                return;
        }
    }

    // A character decoded from a byte or a number: control characters in
    // it are not text.
    void PutDecoded(char32_t c) {
        if ((c < 0x20 && c != '\t') || c == 0x7F) {
            return;
        }
        Put(c);
    }

    void Put(char32_t c) {
        if (Hidden()) {
            return;
        }
        if (m_highSurrogate != 0) {
            const char32_t high = m_highSurrogate;
            m_highSurrogate = 0;
            if (c >= 0xDC00 && c <= 0xDFFF) {
                Emit(0x10000 + ((high - 0xD800) << 10) + (c - 0xDC00));
                return;
            }
            Emit(kReplacement);
        }
        if (c >= 0xD800 && c <= 0xDBFF) {
            m_highSurrogate = c;
            return;
        }
        Emit(c >= 0xDC00 && c <= 0xDFFF ? kReplacement : c);
    }

    void Emit(char32_t c) {
        if (!m_text.isWide && c > 0xFFFF) {
            m_text.wide.reserve(m_in.size());
            m_text.wide.assign(m_text.narrow.begin(), m_text.narrow.end());
            m_text.narrow = std::u16string();
            m_text.isWide = true;
        }
        if (m_text.isWide) {
            m_text.wide.push_back(c);
        } else {
            m_text.narrow.push_back(static_cast<char16_t>(c));
        }
    }

    std::string_view m_in;
    std::size_t m_pos = 0;
    PackedText m_text;
    std::vector<Group> m_groups;  // [0] holds what lies outside every group
    std::size_t m_overflow = 0;   // open groups beyond kMaxDepth
    int32_t m_fallback = 0;       // characters still to skip after a \u
    char32_t m_highSurrogate = 0;
};

}  // namespace

std::u32string ReadRtfText(std::string_view rtf) {
    return Reader(rtf).Read().CodePoints();
}

PackedText ReadPackedRtfText(std::string_view rtf) {
    return Reader(rtf).Read();
}

std::u32string PackedText::CodePoints() const {
    return isWide ? wide : std::u32string(narrow.begin(), narrow.end());
}

std::u32string DecodeUtf8(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        out.push_back(utf8::NextCodePoint(text, pos));
    }
    return out;
}

std::string EncodeUtf8(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char32_t c : text) {
        utf8::AppendCodePoint(out, c);
    }
    return out;
}

}  // namespace scenova::formats

#include "formats/RtfReader.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
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

enum class Kind {
    Ignored,
    Text,
    Destination,
    UnicodeSkip,
    Unicode,
    Binary,
    FontTable,
    ColourTable,
    // Character formatting, read only when a document's runs are wanted.
    Font,
    DefaultFont,
    FontSize,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Colour,
    Plain,
    Red,
    Green,
    Blue,
};

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
            {"fonttbl", {Kind::FontTable}},
            {"colortbl", {Kind::ColourTable}},
            {"f", {Kind::Font}},
            {"deff", {Kind::DefaultFont}},
            {"fs", {Kind::FontSize}},
            {"b", {Kind::Bold}},
            {"i", {Kind::Italic}},
            {"ul", {Kind::Underline}},
            {"ulnone", {Kind::UnderlineNone}},
            {"cf", {Kind::Colour}},
            {"plain", {Kind::Plain}},
            {"red", {Kind::Red}},
            {"green", {Kind::Green}},
            {"blue", {Kind::Blue}},
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
    // styled: also keep the character formatting of the text (ReadRtfDocument).
    Reader(std::string_view in, bool styled) : m_in(in), m_styled(styled) {
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

    // After Read: the runs with their fonts and colours looked up in the
    // document's tables, equal neighbours joined.
    std::vector<RtfRun> Runs() const {
        std::vector<RtfRun> runs;
        for (const auto& [start, format] : m_runs) {
            RtfRun run{start, Resolve(format)};
            if (!runs.empty() && runs.back().format == run.format) {
                continue;
            }
            if (!runs.empty() && runs.back().start == start) {
                runs.back() = std::move(run);
            } else {
                runs.push_back(std::move(run));
            }
        }
        return runs;
    }

private:
    static constexpr int32_t kDefaultHalfPoints = 24;
    static constexpr int32_t kMostHalfPoints = 3276;

    // Where the characters of a group go.
    enum class Dest : uint8_t { Text, FontTable, ColourTable, Hidden };
    // Character formatting as the document states it: fonts and colours by
    // their number in the tables.
    struct Format {
        int32_t font = -1;  // -1: the document's default font
        int32_t halfPoints = kDefaultHalfPoints;
        bool bold = false;
        bool italic = false;
        bool underline = false;
        int32_t colour = 0;
        friend bool operator==(const Format&, const Format&) = default;
    };
    struct Group {
        Dest dest = Dest::Text;
        int32_t unicodeSkip = 1;
        Format format;
    };

    bool Hidden() const { return m_overflow > 0 || m_groups.back().dest != Dest::Text; }

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
            if (m_groups.back().dest == Dest::FontTable) {
                EndFontEntry();
            }
            m_groups.pop_back();
            m_formatChanged = m_styled;
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
                if (m_overflow == 0) {
                    m_groups.back().dest = Dest::Hidden;
                }
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
                if (m_overflow == 0) {
                    m_groups.back().dest = Dest::Hidden;
                }
                return;
            case Kind::FontTable:
            case Kind::ColourTable:
                if (m_overflow == 0) {
                    m_groups.back().dest = !m_styled                      ? Dest::Hidden
                                           : word.kind == Kind::FontTable ? Dest::FontTable
                                                                          : Dest::ColourTable;
                }
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
            case Kind::Ignored:
                return;
            default:
                if (m_styled && m_overflow == 0) {
                    ApplyFormat(word.kind, hasParameter, parameter);
                }
                return;
        }
    }

    void ApplyFormat(Kind kind, bool hasParameter, int32_t parameter) {
        Group& group = m_groups.back();
        const bool on = !hasParameter || parameter != 0;
        if (group.dest == Dest::FontTable) {
            if (kind == Kind::Font) {
                EndFontEntry();
                m_tableFont = parameter;
            }
            return;
        }
        if (group.dest == Dest::ColourTable) {
            const int32_t component = std::clamp(parameter, int32_t{0}, int32_t{255});
            if (kind == Kind::Red) {
                m_red = component;
            } else if (kind == Kind::Green) {
                m_green = component;
            } else if (kind == Kind::Blue) {
                m_blue = component;
            }
            return;
        }
        Format& format = group.format;
        switch (kind) {
            case Kind::Font:
                format.font = parameter;
                break;
            case Kind::DefaultFont:
                m_defaultFont = parameter;
                break;
            case Kind::FontSize:
                format.halfPoints = hasParameter && parameter > 0
                                        ? std::min(parameter, kMostHalfPoints)
                                        : kDefaultHalfPoints;
                break;
            case Kind::Bold:
                format.bold = on;
                break;
            case Kind::Italic:
                format.italic = on;
                break;
            case Kind::Underline:
                format.underline = on;
                break;
            case Kind::UnderlineNone:
                format.underline = false;
                break;
            case Kind::Colour:
                format.colour = parameter;
                break;
            case Kind::Plain:
                format = Format{};
                break;
            default:
                return;
        }
        m_formatChanged = true;
    }

    // A character of a table: ';' ends a font name or a colour.
    void TableCharacter(char32_t c) {
        if (m_overflow > 0) {
            return;
        }
        const Dest dest = m_groups.back().dest;
        if (dest == Dest::FontTable) {
            if (c == ';') {
                EndFontEntry();
            } else if (m_tableFont >= 0) {
                m_fontName.push_back(c);
            }
        } else if (dest == Dest::ColourTable && c == ';') {
            std::optional<uint32_t> colour;
            if (m_red || m_green || m_blue) {
                colour = static_cast<uint32_t>(m_red.value_or(0)) |
                         static_cast<uint32_t>(m_green.value_or(0)) << 8 |
                         static_cast<uint32_t>(m_blue.value_or(0)) << 16;
            }
            m_colours.push_back(colour);
            m_red.reset();
            m_green.reset();
            m_blue.reset();
        }
    }

    void EndFontEntry() {
        if (m_tableFont >= 0) {
            const auto first = m_fontName.find_first_not_of(U' ');
            const auto last = m_fontName.find_last_not_of(U' ');
            m_fonts[m_tableFont] =
                first == std::u32string::npos
                    ? std::string()
                    : EncodeUtf8(std::u32string_view(m_fontName).substr(first, last - first + 1));
        }
        m_tableFont = -1;
        m_fontName.clear();
    }

    RtfCharFormat Resolve(const Format& format) const {
        RtfCharFormat out;
        const auto font = m_fonts.find(format.font < 0 ? m_defaultFont : format.font);
        if (font != m_fonts.end()) {
            out.fontName = font->second;
        }
        out.halfPoints = format.halfPoints;
        out.bold = format.bold;
        out.italic = format.italic;
        out.underline = format.underline;
        if (format.colour >= 0 && static_cast<std::size_t>(format.colour) < m_colours.size()) {
            out.colour = m_colours[static_cast<std::size_t>(format.colour)];
        }
        return out;
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
            if (m_styled) {
                TableCharacter(c);
            }
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
        if (m_formatChanged) {
            m_formatChanged = false;
            const Format& format = m_groups.back().format;
            if (m_runs.empty() || !(m_runs.back().second == format)) {
                m_runs.emplace_back(m_text.size(), format);
            }
        }
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
    bool m_styled;
    std::size_t m_pos = 0;
    PackedText m_text;
    std::vector<Group> m_groups;  // [0] holds what lies outside every group
    std::size_t m_overflow = 0;   // open groups beyond kMaxDepth
    int32_t m_fallback = 0;       // characters still to skip after a \u
    char32_t m_highSurrogate = 0;

    // Formatting, when styled: the runs as read, and the tables.
    bool m_formatChanged = m_styled;
    std::vector<std::pair<std::size_t, Format>> m_runs;
    std::map<int32_t, std::string> m_fonts;
    int32_t m_defaultFont = 0;
    int32_t m_tableFont = -1;
    std::u32string m_fontName;
    std::vector<std::optional<uint32_t>> m_colours;
    std::optional<int32_t> m_red, m_green, m_blue;
};

}  // namespace

std::u32string ReadRtfText(std::string_view rtf) {
    return Reader(rtf, false).Read().CodePoints();
}

PackedText ReadPackedRtfText(std::string_view rtf) {
    return Reader(rtf, false).Read();
}

RtfDocument ReadRtfDocument(std::string_view rtf) {
    Reader reader(rtf, true);
    RtfDocument document;
    document.text = reader.Read();
    document.runs = reader.Runs();
    return document;
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

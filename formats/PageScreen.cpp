#include "formats/PageScreen.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "runtime/Utf8.h"

namespace scenova::formats {

namespace {

// Far beyond a real lesson page (a help page is some kilobytes, a few levels
// deep) and well below what keeps the engine busy: eight nested tables are
// laid out in milliseconds, sixteen in seconds; 1,024 list items are read in
// a tenth of a second, 16,384 in a minute; 64 KiB of one paragraph in a
// fifth of a second.
constexpr std::size_t kMostBytes = std::size_t{256} << 10;
constexpr std::size_t kMostRun = std::size_t{64} << 10;
constexpr int kMostTags = 4096;
constexpr int kMostListTags = 1024;
constexpr int kMostTables = 8;
constexpr std::size_t kMostDepth = 64;

bool Is(std::string_view name, std::initializer_list<std::string_view> names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// The reader's own kinds of element (not the W3C's): what it lays out as a
// block, what it never shows (nor anything inside), what holds nothing.
bool IsBlock(std::string_view id) {
    return Is(id, {"blockquote", "body", "caption", "center", "dd", "div", "dl", "dt",
                   "h1",         "h2",   "h3",      "h4",     "h5", "h6",  "hr", "li",
                   "ol",         "p",    "pre",     "td",     "th", "ul"});
}
bool IsHidden(std::string_view id) {
    return Is(id, {"head", "link", "meta", "script", "style", "title"});
}
bool IsVoid(std::string_view id) {
    return Is(id, {"br", "hr", "img", "meta"});
}
bool IsTablePart(std::string_view id) {
    return Is(id, {"table", "tr", "td", "th", "thead", "tbody", "tfoot", "caption"});
}
bool IsListPart(std::string_view id) {
    return Is(id, {"li", "ul", "ol", "dl", "dt", "dd"});
}
bool Breaks(std::string_view id) {
    return id == "br" || IsBlock(id) || IsTablePart(id);
}
// "qt" is the reader's other name for "body".
std::string_view Id(std::string_view name) {
    return name == "qt" ? "body" : name;
}

// Where the reader lets an element go: it moves a cell up into its row, a
// row into its table, and so on.
bool AllowedIn(std::string_view id, std::string_view parent) {
    if (id == "dd") {
        return parent == "dt" || parent == "dl";
    }
    if (id == "dt") {
        return parent == "dl";
    }
    if (id == "tr") {
        return Is(parent, {"table", "thead", "tbody", "tfoot"});
    }
    if (id == "td" || id == "th") {
        return parent == "tr";
    }
    if (Is(id, {"thead", "tbody", "tfoot", "caption"})) {
        return parent == "table";
    }
    return id != "body" || parent != "head";
}

// The length of the white space character at at, as the reader knows white
// space (Unicode's separators and the ASCII controls among them), 0 for
// none; the paragraph separator only where the reader takes it for space.
std::size_t SpaceAt(std::string_view s, std::size_t at, bool paragraphSeparator) {
    const auto byte = [&](std::size_t k) {
        return at + k < s.size() ? static_cast<unsigned char>(s[at + k]) : 0;
    };
    const unsigned c = byte(0);
    const unsigned c1 = byte(1);
    const unsigned c2 = byte(2);
    if (c == ' ' || (c >= 9 && c <= 13)) {
        return 1;
    }
    if (c == 0xC2 && (c1 == 0x85 || c1 == 0xA0)) {
        return 2;
    }
    const bool three = (c == 0xE1 && c1 == 0x9A && c2 == 0x80) ||
                       (c == 0xE2 && c1 == 0x80 &&
                        ((c2 >= 0x80 && c2 <= 0x8A) || c2 == 0xA8 || c2 == 0xAF ||
                         (paragraphSeparator && c2 == 0xA9))) ||
                       (c == 0xE2 && c1 == 0x81 && c2 == 0x9F) ||
                       (c == 0xE3 && c1 == 0x80 && c2 == 0x80);
    return three ? 3 : 0;
}

struct Element {
    std::string name;
    bool block = false;
    bool hidden = false;
};

// Follows a page as Qt's HTML reader splits and nests it, and stops at the
// first limit it passes.
class Screen {
public:
    explicit Screen(std::string_view html) : m_s(html) {
        std::string lower(html);
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
        // What can make the reader nest elements otherwise: a display
        // property, written plainly or escaped, or in a style sheet the page
        // imports.
        m_counting = lower.find("display") != std::string::npos ||
                     lower.find("@import") != std::string::npos ||
                     lower.find('\\') != std::string::npos;
    }

    std::string Why() {
        if (m_s.size() > kMostBytes) {
            return "it is larger than " + std::to_string(kMostBytes >> 10) + " KiB";
        }
        while (m_why.empty() && m_i < m_s.size()) {
            const char c = m_s[m_i++];
            if (c == '<') {
                Tag();
            } else {
                m_counting |= m_inStyle && c == '&';
                if (++m_run > kMostRun) {
                    m_why = "it holds more than " + std::to_string(kMostRun) +
                            " bytes of text without a break";
                }
            }
        }
        return m_why;
    }

private:
    struct Word {
        std::string text;
        bool quoted = false;
    };

    std::size_t Space(bool paragraphSeparator) const {
        return m_i < m_s.size() ? SpaceAt(m_s, m_i, paragraphSeparator) : 0;
    }
    void EatSpace() {
        while (const std::size_t n = Space(false)) {
            m_i += n;
        }
    }
    bool At(char c) const { return m_i < m_s.size() && m_s[m_i] == c; }
    void SkipPast(std::string_view end) {
        const std::size_t at = m_s.find(end, m_i);
        m_i = at == std::string_view::npos ? m_s.size() : at + end.size();
    }

    // A word as the reader takes one: quoted, or up to a space, "<", "=",
    // ">" or "/>".
    Word ReadWord() {
        Word word;
        const std::size_t start = m_i;
        if (At('"') || At('\'')) {
            const char quote = m_s[m_i++];
            word.quoted = true;
            while (m_i < m_s.size()) {
                const char c = m_s[m_i++];
                // Single quotes may be escaped, in a way Qt's versions differ on.
                m_counting |= quote == '\'' && c == '\\';
                if (c == quote && (quote == '"' || m_s[m_i - 2] != '\\')) {
                    break;
                }
            }
            word.text = m_s.substr(start + 1, m_i - start - 1);
            return word;
        }
        while (m_i < m_s.size() && m_s[m_i] != '>' && m_s[m_i] != '<' && m_s[m_i] != '=' &&
               !(m_s[m_i] == '/' && m_i + 1 < m_s.size() && m_s[m_i + 1] == '>') &&
               Space(true) == 0) {
            ++m_i;
        }
        word.text = m_s.substr(start, m_i - start);
        return word;
    }

    // A tag's name, in lower case; odd when the reader could read it as
    // another (quoted, with character references, beyond ASCII).
    std::string Name(const Word& word, bool& odd) {
        std::string name = word.text;
        odd = word.quoted;
        for (char& c : name) {
            odd |= c == '&' || static_cast<unsigned char>(c) >= 0x80;
            c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
        }
        m_counting |= odd;
        return name;
    }

    void Attributes() {
        while (m_i < m_s.size()) {
            EatSpace();
            if (At('>') || At('/')) {
                return;
            }
            const Word key = ReadWord();
            if (key.text.empty()) {
                return;
            }
            EatSpace();
            if (At('=')) {
                ++m_i;
                EatSpace();
                const Word value = ReadWord();
                bool odd = false;
                m_counting |=
                    Name(key, odd) == "style" && value.text.find('&') != std::string::npos;
            }
        }
    }

    void Tag() {
        EatSpace();
        bool odd = false;
        if (At('!')) {
            ++m_i;
            SkipPast(m_s.substr(m_i, 2) == "--" ? "-->" : ">");
            return;
        }
        if (At('/')) {
            ++m_i;
            const std::string name = Name(ReadWord(), odd);
            SkipPast(">");
            Close(name, odd);
            return;
        }
        const std::string name = Name(ReadWord(), odd);
        if (Space(true) != 0) {
            Attributes();
        }
        bool closed = false;
        while (m_i < m_s.size() && m_s[m_i] != '>') {
            closed |= m_s[m_i++] == '/';
        }
        m_i = std::min(m_i + 1, m_s.size());
        Open(name, odd, closed);
    }

    void Open(const std::string& name, bool odd, bool closed) {
        ++m_tags;
        m_lists += odd || IsListPart(Id(name));
        if (m_tags > kMostTags || m_lists > kMostListTags) {
            m_why = m_tags > kMostTags
                        ? "it holds more than " + std::to_string(kMostTags) + " tags"
                        : "it holds more than " + std::to_string(kMostListTags) + " list tags";
            return;
        }
        if (name.empty() && !odd) {
            return;  // read as text
        }
        m_run = Breaks(Id(name)) ? 0 : m_run;
        m_inStyle = name == "style" ? !closed : m_inStyle;
        // A linked style sheet may restyle anything.
        m_counting |= name == "link";
        if (m_counting) {
            Count(name, odd);
        } else {
            Nest(name, closed);
        }
        const std::size_t depth = m_counting ? m_depth : m_open.size();
        if (depth > kMostDepth) {
            m_why = "it nests elements more than " + std::to_string(kMostDepth) + " deep";
        } else if (m_tables > kMostTables) {
            m_why = "it nests tables more than " + std::to_string(kMostTables) + " deep";
        }
    }

    // Where the reader puts an element, followed exactly.
    void Nest(const std::string& name, bool closed) {
        const std::string_view id = Id(name);
        const auto nearest = [&](auto is) {
            std::ptrdiff_t k = static_cast<std::ptrdiff_t>(m_open.size()) - 1;
            while (k >= 0 && !is(m_open[static_cast<std::size_t>(k)])) {
                --k;
            }
            return k;
        };
        const auto named = [](std::string_view wanted) {
            return [wanted](const Element& e) { return Id(e.name) == wanted; };
        };
        // A cell outside a row, or a row outside a table, gets one made.
        if (id == "td" && nearest(named("tr")) < 0) {
            m_open.push_back({"table"});
            m_open.push_back({"tr"});
        } else if (id == "tr" && nearest(named("table")) < 0) {
            m_open.push_back({"table"});
        }
        std::ptrdiff_t parent = static_cast<std::ptrdiff_t>(m_open.size()) - 1;
        if (id == "p") {
            // A paragraph closes the paragraph it is in, past inline elements.
            const std::ptrdiff_t block = nearest([](const Element& e) { return e.block; });
            if (block >= 0 && Id(m_open[static_cast<std::size_t>(block)].name) == "p") {
                parent = block;
            }
        }
        if ((id == "p" || id == "li") && parent >= 0 &&
            Id(m_open[static_cast<std::size_t>(parent)].name) == id) {
            --parent;
        }
        while (parent >= 0 && !AllowedIn(id, Id(m_open[static_cast<std::size_t>(parent)].name))) {
            --parent;
        }
        m_open.resize(static_cast<std::size_t>(parent + 1));
        // A table inside a table but outside its cells becomes part of the
        // document in ways the reader's nesting does not tell.
        if (id == "table" && !m_open.empty() &&
            Is(Id(m_open.back().name), {"table", "tr", "thead", "tbody", "tfoot"})) {
            m_counting = true;
            Count(name, false);
            return;
        }
        if (!closed && !IsVoid(id)) {
            const bool hidden = IsHidden(id) || (!m_open.empty() && m_open.back().hidden);
            m_open.push_back({name, IsBlock(id) && !hidden, hidden});
        }
        Retable();
    }

    void Retable() {
        m_tables = static_cast<int>(std::count_if(
            m_open.begin(), m_open.end(), [](const Element& e) { return e.name == "table"; }));
    }

    // From here on the nesting is counted: an element is open until a close
    // tag of its name, and every part of a table, or a name the reader may
    // read as one, may open a table (and a row) of its own.
    void TakeCounts() {
        if (!m_counted) {
            m_counted = true;
            for (const Element& e : m_open) {
                ++m_byName[e.name];
            }
            m_depth = m_open.size();
        }
    }

    void Count(const std::string& name, bool odd) {
        TakeCounts();
        const std::string_view id = Id(name);
        if (odd || IsTablePart(id)) {
            ++m_tables;
        }
        if (odd || (IsTablePart(id) && id != "table")) {
            m_depth += 2;
        }
        if (!IsVoid(id)) {
            ++m_byName[name];
            ++m_depth;
        }
    }

    void Close(const std::string& name, bool odd) {
        m_run = Breaks(Id(name)) ? 0 : m_run;
        m_inStyle = name == "style" ? false : m_inStyle;
        if (odd) {
            return;  // may close anything, so counts as closing nothing
        }
        if (m_counting) {
            TakeCounts();
            m_tables -= name == "table" && m_tables > 0;
            if (const auto open = m_byName.find(name); open != m_byName.end() && open->second > 0) {
                --open->second;
                --m_depth;
            }
            return;
        }
        for (std::size_t k = m_open.size(); k-- > 0;) {
            if (m_open[k].name == name) {
                m_open.resize(k);
                Retable();
                return;
            }
        }
    }

    std::string_view m_s;
    std::size_t m_i = 0;
    std::string m_why;
    std::vector<Element> m_open;  // the elements open, outermost first
    bool m_counting = false;      // the nesting is counted, not followed
    bool m_counted = false;
    std::map<std::string, int> m_byName;  // of the elements open, when counted
    std::size_t m_depth = 0;              // when counted
    int m_tables = 0;
    int m_tags = 0;
    int m_lists = 0;
    std::size_t m_run = 0;  // bytes of text since the last break
    bool m_inStyle = false;
};

// The character a reference names (after "&", up to ";"), 0 for none known.
uint32_t Reference(std::string_view name) {
    static const std::map<std::string_view, uint32_t> kNamed{
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}, {"nbsp", ' '}};
    if (const auto found = kNamed.find(name); found != kNamed.end()) {
        return found->second;
    }
    if (name.size() < 2 || name.size() > 8 || name[0] != '#') {
        return 0;
    }
    const bool hex = name[1] == 'x' || name[1] == 'X';
    uint32_t value = 0;
    for (const char c : name.substr(hex ? 2 : 1)) {
        const int digit = c >= '0' && c <= '9'          ? c - '0'
                          : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                        : -1;
        if (digit < 0) {
            return 0;
        }
        value = value * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
    }
    return value > 0x10FFFF || (value >= 0xD800 && value < 0xE000) ? 0 : value;
}

}  // namespace

std::string WhyPageIsCostly(std::string_view html) {
    return Screen(html).Why();
}

std::string PageText(std::string_view html, std::size_t most) {
    std::string out;
    char pending = 0;  // a space or a line break not yet written
    for (std::size_t i = 0; i < html.size() && out.size() < most;) {
        const char c = html[i];
        if (c == '<') {
            if (html.substr(i, 4) == "<!--") {
                const std::size_t end = html.find("-->", i + 4);
                i = end == std::string_view::npos ? html.size() : end + 3;
                continue;
            }
            std::size_t k = i + 1 + (i + 1 < html.size() && html[i + 1] == '/');
            std::string name;
            for (; k < html.size() && std::isalnum(static_cast<unsigned char>(html[k])); ++k) {
                name += static_cast<char>(std::tolower(static_cast<unsigned char>(html[k])));
            }
            pending = Breaks(name) ? '\n' : pending;
            const std::size_t end = html.find('>', i);
            i = end == std::string_view::npos ? html.size() : end + 1;
            continue;
        }
        if (SpaceAt(html, i, true) == 1) {
            pending = pending == 0 ? ' ' : pending;
            ++i;
            continue;
        }
        if (pending != 0 && !out.empty()) {
            out += pending;
        }
        pending = 0;
        const std::size_t semicolon = c == '&' ? html.find(';', i) : std::string_view::npos;
        const uint32_t named = semicolon != std::string_view::npos && semicolon - i <= 9
                                   ? Reference(html.substr(i + 1, semicolon - i - 1))
                                   : 0;
        if (named != 0) {
            utf8::AppendCodePoint(out, named);
            i = semicolon + 1;
        } else {
            out += c;
            ++i;
        }
    }
    out.resize(std::min(out.size(), most));
    // A character cut short is left out.
    std::size_t lead = out.size();
    while (lead > 0 && (static_cast<unsigned char>(out[lead - 1]) & 0xC0) == 0x80) {
        --lead;
    }
    if (lead > 0) {
        const auto first = static_cast<unsigned char>(out[lead - 1]);
        const std::size_t length = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 1;
        out.resize(out.size() - (lead - 1) < length ? lead - 1 : out.size());
    }
    return out;
}

}  // namespace scenova::formats

#include "formats/Subtitles.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <set>
#include <unordered_map>

#include "formats/HtmlReferences.h"
#include "runtime/Convert.h"
#include "runtime/Utf8.h"
#include "script/ScriptText.h"

namespace scenova::formats {

namespace {

using namespace std::string_view_literals;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Lines ended by LF, CRLF or CR.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || text[i] == '\r') {
            lines.push_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            start = i + 1;
        }
    }
    if (start < text.size()) {
        lines.push_back(text.substr(start));
    }
    return lines;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsBlankLine(std::string_view line) {
    return TrimBlanks(line).empty();
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Reads a run of digits, at most `most` of them: nothing when there are fewer
// than `least`.
std::optional<int64_t> Digits(std::string_view& s, std::size_t least, std::size_t most) {
    std::size_t n = 0;
    int64_t value = 0;
    while (n < s.size() && IsDigit(s[n])) {
        if (n == most) {
            return std::nullopt;
        }
        value = value * 10 + (s[n] - '0');
        ++n;
    }
    if (n < least) {
        return std::nullopt;
    }
    s.remove_prefix(n);
    return value;
}

bool Take(std::string_view& s, char c) {
    if (s.empty() || s.front() != c) {
        return false;
    }
    s.remove_prefix(1);
    return true;
}

// [hours:]minutes:seconds.milliseconds; hours are optional in WebVTT and at
// least two digits there; SubRip writes a comma (a point is accepted too).
std::optional<int64_t> ParseTimestamp(std::string_view s, SubtitleFormat format) {
    std::string_view rest = s;
    const auto first = Digits(rest, 1, 9);
    if (!first || !Take(rest, ':')) {
        return std::nullopt;
    }
    const auto second = Digits(rest, 2, 2);
    if (!second) {
        return std::nullopt;
    }
    int64_t hours = 0;
    int64_t minutes = *first;
    int64_t seconds = *second;
    if (Take(rest, ':')) {
        const auto third = Digits(rest, 2, 2);
        if (!third) {
            return std::nullopt;
        }
        hours = *first;
        minutes = *second;
        seconds = *third;
        if (format == SubtitleFormat::WebVtt && s.find(':') < 2) {
            return std::nullopt;
        }
    } else if (format == SubtitleFormat::Srt || s.find(':') != 2) {
        return std::nullopt;
    }
    const bool point = Take(rest, '.');
    if (!point && !(format == SubtitleFormat::Srt && Take(rest, ','))) {
        return std::nullopt;
    }
    const auto millis = Digits(rest, 3, 3);
    if (!millis || !rest.empty() || minutes > 59 || seconds > 59) {
        return std::nullopt;
    }
    return ((hours * 60 + minutes) * 60 + seconds) * 1000 + *millis;
}

// Collects what one file gave, with messages naming the file and line.
class Reader {
public:
    Reader(const std::string& fileName, SubtitleFormat format)
        : m_fileName(fileName), m_format(format) {}

    void Error(int line, const std::string& message) {
        m_file.errors.push_back(Where(line) + "error: " + message);
        m_file.errorsAt.push_back({line, message});
    }
    void Warning(int line, const std::string& message) {
        m_file.warnings.push_back(Where(line) + "warning: " + message);
    }

    // A cue's timing line and text lines; false when the cue is malformed.
    void Cue(int timingLine, std::string_view timing, const std::vector<std::string_view>& text);

    SubtitleFile Take() {
        if (!m_file.errors.empty()) {
            m_file.cues.clear();
        }
        return std::move(m_file);
    }

private:
    std::string Where(int line) const { return m_fileName + ":" + std::to_string(line) + ": "; }
    // The cue text with its markup read; false after an error.
    bool CueText(int line, const std::vector<std::string_view>& lines, SubtitleCue& cue);
    // The name before ':' at the start of the cue's first line, when it is
    // one (IsSpeakerPrefix), ':' is followed by a blank or ends the line,
    // and the text read goes on after it; else empty.
    std::string SpeakerPrefix(std::string_view firstLine, const std::string& text) const;

    std::string m_fileName;
    SubtitleFormat m_format;
    SubtitleFile m_file;
};

void Reader::Cue(int timingLine, std::string_view timing,
                 const std::vector<std::string_view>& text) {
    const auto arrow = timing.find("-->");
    const std::string_view startText = TrimBlanks(timing.substr(0, arrow));
    std::string_view after = TrimBlanks(timing.substr(arrow + 3));
    std::size_t endLength = 0;
    while (endLength < after.size() && !IsBlank(after[endLength])) {
        ++endLength;
    }
    const std::string_view endText = after.substr(0, endLength);
    const std::string_view settings = TrimBlanks(after.substr(endLength));
    const char* form = m_format == SubtitleFormat::WebVtt ? "[hh:]mm:ss.ttt" : "hh:mm:ss,ttt";
    const auto start = ParseTimestamp(startText, m_format);
    const auto end = ParseTimestamp(endText, m_format);
    if (!start) {
        Error(timingLine, "the start time \"" + std::string(startText) + "\" is not " + form);
        return;
    }
    if (!end) {
        Error(timingLine, "the end time \"" + std::string(endText) + "\" is not " + form);
        return;
    }
    if (*end == *start) {
        Warning(timingLine, "a cue ending where it starts (" + std::string(startText) +
                                ") is dropped: it shows nothing");
        return;
    }
    if (*end < *start) {
        Error(timingLine, "the cue ends at " + std::string(endText) + ", not after its start " +
                              std::string(startText));
        return;
    }
    if (!settings.empty()) {
        Warning(timingLine, "the cue settings \"" + std::string(settings) +
                                "\" are dropped: a script places "
                                "no text on the video");
    }
    SubtitleCue cue;
    cue.line = timingLine;
    cue.start = *start;
    cue.end = *end;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i].find("-->") != std::string_view::npos) {
            Error(timingLine + 1 + static_cast<int>(i),
                  "a cue line holds \"-->\": is the blank line before this cue missing?");
            return;
        }
    }
    if (!CueText(timingLine, text, cue)) {
        return;
    }
    if (cue.text.empty()) {
        Warning(timingLine, "a cue without text is dropped");
        return;
    }
    if (cue.speaker.empty() && !text.empty()) {
        cue.prefix = SpeakerPrefix(text.front(), cue.text);
    }
    m_file.cues.push_back(std::move(cue));
}

// A character reference at the start of s, as HTML reads one; a line break
// written so joins the cue's lines as a line end does (a script line is one
// line). Nothing when s does not start with one (the "&" then stands for
// itself).
std::optional<std::string> CharacterReference(std::string_view& s) {
    std::optional<std::string> text = ReadCharacterReference(s);
    if (text == "\n" || text == "\r") {
        return " ";
    }
    return text;
}

// The name of a SubRip tag ("b", "i", "u" or "font", opening or closing),
// lower-cased.
std::string SrtTagName(std::string_view s) {
    std::string name;
    for (std::size_t i = s.starts_with("</") ? 2 : 1; i < s.size() && IsLetter(s[i]); ++i) {
        name += static_cast<char>(s[i] | 0x20);
    }
    return name;
}

// The length of the SubRip tag at the start of s: <b>, <i>, <u> and
// <font ...> with their closing tags, in either case; 0 for none.
std::size_t SrtTag(std::string_view s) {
    if (!s.starts_with('<')) {
        return 0;
    }
    const std::string name = SrtTagName(s);
    const std::size_t after = (s.starts_with("</") ? 2 : 1) + name.size();
    const auto close = s.find('>');
    if (close == std::string_view::npos ||
        (name != "b" && name != "i" && name != "u" && name != "font")) {
        return 0;
    }
    // Only an opening font tag has attributes.
    const bool attributes =
        name == "font" && !s.starts_with("</") && after < s.size() && IsBlank(s[after]);
    return close == after || attributes ? close + 1 : 0;
}

std::string DecodeReferences(std::string_view s) {
    std::string out;
    while (!s.empty()) {
        if (s.front() == '&') {
            if (auto text = CharacterReference(s)) {
                out += *text;
                continue;
            }
        }
        out += s.front();
        s.remove_prefix(1);
    }
    return out;
}

// Reads one cue's text: markup, character references, the voice, and one
// culture tip, which a script line holds at its end and so is kept apart.
class CueTextReader {
public:
    CueTextReader(Reader& reader, SubtitleFormat format, int line, SubtitleCue& cue)
        : m_reader(reader), m_format(format), m_line(line), m_cue(cue) {}

    // False after an error.
    bool Read(const std::vector<std::string_view>& lines) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (i > 0) {
                Put(" ");
            }
            std::string_view s = lines[i];
            const int lineNumber = m_line + 1 + static_cast<int>(i);
            while (!s.empty()) {
                if (m_format == SubtitleFormat::Srt) {
                    SrtPiece(s);
                } else if (!VttPiece(s, lineNumber)) {
                    return false;
                }
            }
        }
        if (InTip()) {
            PopOpen(0);
            CloseTip(m_line);
        }
        Finish();
        return true;
    }

private:
    struct Open {
        std::string name;
        bool tip;
    };

    // Counted, not searched: a cue may hold many thousands of open tags, and
    // each character and each closing tag asks.
    bool InTip() const { return m_openTips > 0; }

    // Keeps the first `keep` open tags.
    void PopOpen(std::size_t keep) {
        while (m_open.size() > keep) {
            --m_openByName[m_open.back().name];
            m_openTips -= m_open.back().tip ? 1 : 0;
            m_open.pop_back();
        }
    }

    void Put(std::string_view piece) {
        if (InTip()) {
            m_tip += piece;
            return;
        }
        if (m_firstTip && !TrimSpaces(piece).empty()) {
            m_textAfterTip = true;
        }
        // The space on each side of a tip taken out of the text: one stays.
        if (m_tipTakenOut && m_text.ends_with(' ') && piece.starts_with(' ')) {
            piece.remove_prefix(1);
        }
        m_tipTakenOut = false;
        m_text += piece;
    }

    void CloseTip(int at) {
        std::string name(TrimSpaces(m_tip));
        if (name.find(']') != std::string::npos) {
            // The marker ends at its first "]".
            std::erase(name, ']');
            name = std::string(TrimSpaces(name));  // what stood before the "]" may end in one
            m_reader.Warning(
                at, "\"]\" in the culture tip " + name + " is dropped: it would end the tip");
        }
        if (!m_firstTip) {
            m_firstTip = name;
            m_tipTakenOut = true;
        } else {
            m_reader.Warning(at, "a second culture tip, " + name +
                                     ", is kept as plain text: a line has "
                                     "one");
            m_text += m_tip;
        }
        m_tip.clear();
    }

    // SubRip's few tags are its only markup; "<" and "&" are otherwise text.
    void SrtPiece(std::string_view& s) {
        if (const std::size_t length = SrtTag(s)) {
            m_dropped.insert("<" + SrtTagName(s) + ">");
            s.remove_prefix(length);
        } else {
            Put(s.substr(0, 1));
            s.remove_prefix(1);
        }
    }

    bool VttPiece(std::string_view& s, int lineNumber) {
        if (s.front() == '&') {
            if (auto reference = CharacterReference(s)) {
                Put(*reference);
                return true;
            }
        }
        if (s.front() != '<') {
            Put(s.substr(0, 1));
            s.remove_prefix(1);
            return true;
        }
        const auto close = s.find('>');
        if (close == std::string_view::npos) {
            m_reader.Error(lineNumber, "a tag is not closed with \">\"");
            return false;
        }
        const std::string_view tag = s.substr(1, close - 1);
        s.remove_prefix(close + 1);
        if (tag.empty()) {
            m_reader.Error(lineNumber, "an empty tag \"<>\"");
            return false;
        }
        if (IsDigit(tag.front())) {
            m_dropped.insert("<" + std::string(tag) + ">");
        } else if (tag.front() == '/') {
            CloseTag(std::string(TrimBlanks(tag.substr(1))), lineNumber);
        } else {
            OpenTag(tag, lineNumber);
        }
        return true;
    }

    // Closes the innermost open tag of that name and those inside it.
    void CloseTag(const std::string& name, int lineNumber) {
        const auto open = m_openByName.find(name);
        if (open == m_openByName.end() || open->second == 0) {
            return;
        }
        std::size_t k = m_open.size() - 1;
        while (m_open[k].name != name) {
            --k;
        }
        const bool wasTip = m_open[k].tip;
        PopOpen(k);
        if (wasTip && !InTip()) {
            CloseTip(lineNumber);
        }
    }

    void OpenTag(std::string_view tag, int lineNumber) {
        std::size_t nameEnd = 0;
        while (nameEnd < tag.size() && tag[nameEnd] != '.' && !IsBlank(tag[nameEnd])) {
            ++nameEnd;
        }
        const std::string name(tag.substr(0, nameEnd));
        std::string_view rest = tag.substr(nameEnd);
        std::size_t classesEnd = 0;
        while (classesEnd < rest.size() && !IsBlank(rest[classesEnd])) {
            ++classesEnd;
        }
        const std::string classes = "." + std::string(rest.substr(0, classesEnd)) + ".";
        // Trimmed once decoded too: a reference may stand for a blank, which
        // the written voice span would not keep.
        const std::string annotation(
            TrimBlanks(DecodeReferences(TrimBlanks(rest.substr(classesEnd)))));
        bool tip = false;
        if (name == "v") {
            if (m_cue.speaker.empty()) {
                m_cue.speaker = annotation;
            } else if (annotation != m_cue.speaker) {
                m_reader.Warning(lineNumber, "a second voice, " + annotation + ", in a cue of " +
                                                 m_cue.speaker + ": the script keeps " +
                                                 m_cue.speaker);
            }
        } else if (name == "c" && classes.find(".tip.") != std::string::npos) {
            tip = true;
        } else {
            m_dropped.insert("<" + name +
                             (classes.size() > 2 ? classes.substr(0, classes.size() - 1) : "") +
                             ">");
        }
        m_open.push_back({name, tip});
        ++m_openByName[name];
        m_openTips += tip ? 1 : 0;
    }

    void Finish() {
        if (!m_dropped.empty()) {
            std::string list;
            for (const std::string& tag : m_dropped) {
                list += (list.empty() ? "" : ", ") + tag;
            }
            m_reader.Warning(m_line, "markup dropped (a script line is plain text): " + list);
        }
        std::string& text = m_cue.text;
        text = std::string(TrimBlanks(m_text));
        // "[CT" starts a script line's culture tip, and the transcript drops
        // what follows a tip: in the text it would lose the words after it.
        bool startsATip = false;
        for (auto at = text.find("[CT"); at != std::string::npos; at = text.find("[CT")) {
            text.erase(at, 1);
            startsATip = true;
        }
        if (startsATip) {
            m_reader.Warning(
                m_line, "\"[\" of \"[CT\" in the text is dropped: it would start a culture tip");
        }
        if (m_firstTip) {
            if (m_textAfterTip) {
                m_reader.Warning(m_line, "the culture tip " + *m_firstTip +
                                             " moves to the end of the line, where the "
                                             "transcript shows tips");
            }
            text += (text.empty() ? "[CT " : " [CT ") + *m_firstTip + "]";
        }
    }

    Reader& m_reader;
    SubtitleFormat m_format;
    int m_line;
    SubtitleCue& m_cue;
    std::vector<Open> m_open;
    std::unordered_map<std::string, std::size_t> m_openByName;
    std::size_t m_openTips = 0;
    std::set<std::string> m_dropped;
    std::string m_text;
    std::string m_tip;  // the culture tip being read
    std::optional<std::string> m_firstTip;
    bool m_textAfterTip = false;
    bool m_tipTakenOut = false;
};

bool Reader::CueText(int line, const std::vector<std::string_view>& lines, SubtitleCue& cue) {
    return CueTextReader(*this, m_format, line, cue).Read(lines);
}

std::string Reader::SpeakerPrefix(std::string_view firstLine, const std::string& text) const {
    const std::string_view line = TrimBlanks(firstLine);
    const auto colon = line.find(':');
    if (colon == std::string_view::npos || (colon + 1 < line.size() && !IsBlank(line[colon + 1]))) {
        return {};
    }
    const std::string name(TrimBlanks(line.substr(0, colon)));
    // The text is the line's with markup read: the same name, unless the
    // reading changed it ("[CT").
    if (!IsSpeakerPrefix(name, m_format) || !text.starts_with(name + ":") ||
        TrimBlanks(std::string_view(text).substr(name.size() + 1)).empty()) {
        return {};
    }
    return name;
}

// Blocks: runs of non-blank lines, each with the number of its first line.
struct Block {
    int line;
    std::vector<std::string_view> lines;
};
std::vector<Block> SplitBlocks(const std::vector<std::string_view>& lines, std::size_t from) {
    std::vector<Block> blocks;
    for (std::size_t i = from; i < lines.size(); ++i) {
        if (IsBlankLine(lines[i])) {
            continue;
        }
        Block block{static_cast<int>(i) + 1, {}};
        while (i < lines.size() && !IsBlankLine(lines[i])) {
            block.lines.push_back(lines[i]);
            ++i;
        }
        blocks.push_back(std::move(block));
    }
    return blocks;
}

bool HasArrow(std::string_view line) {
    return line.find("-->") != std::string_view::npos;
}

bool StartsWithWord(std::string_view line, std::string_view word) {
    return line.starts_with(word) && (line.size() == word.size() || IsBlank(line[word.size()]));
}

void ReadWebVtt(Reader& reader, const std::vector<std::string_view>& lines) {
    if (lines.empty() || !StartsWithWord(lines[0], "WEBVTT")) {
        reader.Error(1, "not a WebVTT file: the first line must be WEBVTT");
        return;
    }
    // The header runs to the first blank line. A cue's timing line in it
    // would be taken for the header by some readers and for a cue by others.
    std::size_t i = 1;
    for (; i < lines.size() && !IsBlankLine(lines[i]); ++i) {
        const auto arrow = lines[i].find("-->");
        if (arrow != std::string_view::npos &&
            ParseTimestamp(TrimBlanks(lines[i].substr(0, arrow)), SubtitleFormat::WebVtt)) {
            reader.Error(static_cast<int>(i) + 1,
                         "a timing line in the header: a blank line must end the header "
                         "before the first cue");
            return;
        }
    }
    for (const Block& block : SplitBlocks(lines, i)) {
        const std::string_view first = block.lines[0];
        // A block whose first or second line is a timing line is a cue,
        // whatever its identifier says; the script has no place for one.
        std::size_t timing = 0;
        if (!HasArrow(first)) {
            if (block.lines.size() < 2 || !HasArrow(block.lines[1])) {
                if (StartsWithWord(first, "NOTE")) {
                    reader.Warning(block.line, "a NOTE is dropped: a script keeps no notes");
                } else if (StartsWithWord(first, "STYLE") || StartsWithWord(first, "REGION")) {
                    reader.Warning(block.line,
                                   "a " + std::string(TrimBlanks(first)) +
                                       " block is dropped: the transcript has its own look");
                } else {
                    reader.Error(block.line, "a block without a timing line (start --> end)");
                }
                continue;
            }
            timing = 1;
        }
        reader.Cue(
            block.line + static_cast<int>(timing), block.lines[timing],
            {block.lines.begin() + static_cast<std::ptrdiff_t>(timing) + 1, block.lines.end()});
    }
}

void ReadSrt(Reader& reader, const std::vector<std::string_view>& lines) {
    for (const Block& block : SplitBlocks(lines, 0)) {
        std::size_t timing = 0;
        const std::string_view first = TrimBlanks(block.lines[0]);
        if (first.find("-->") == std::string_view::npos) {
            std::string_view number = first;
            if (!Digits(number, 1, 9) || !number.empty()) {
                reader.Error(block.line,
                             "expected the cue's number, found \"" + std::string(first) + "\"");
                continue;
            }
            if (block.lines.size() < 2 || block.lines[1].find("-->") == std::string_view::npos) {
                reader.Error(block.line + 1, "expected the cue's times (start --> end)");
                continue;
            }
            timing = 1;
        }
        reader.Cue(
            block.line + static_cast<int>(timing), block.lines[timing],
            {block.lines.begin() + static_cast<std::ptrdiff_t>(timing) + 1, block.lines.end()});
    }
}

// WebVTT text: "&", "<" and ">" as character references (">" would end a
// voice's name, or make "-->").
std::string Escape(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '&') {
            out += "&amp;";
        } else if (c == '<') {
            out += "&lt;";
        } else if (c == '>') {
            out += "&gt;";
        } else {
            out += c;
        }
    }
    return out;
}

// The code unit at pos, of width bytes, big-endian unless little.
std::optional<char32_t> CodeUnit(std::string_view bytes, std::size_t& pos, std::size_t width,
                                 bool little) {
    if (pos + width > bytes.size()) {
        return std::nullopt;
    }
    char32_t value = 0;
    for (std::size_t k = 0; k < width; ++k) {
        value = value << 8 | static_cast<unsigned char>(bytes[pos + (little ? width - 1 - k : k)]);
    }
    pos += width;
    return value;
}

// The character at pos in UTF-8; nothing, with why in error, at a byte that
// is not of it.
std::optional<char32_t> NextUtf8(std::string_view bytes, std::size_t& pos, std::string& error) {
    const std::size_t at = pos;
    const char32_t c = utf8::NextCodePoint(bytes, pos);
    if (c == utf8::kReplacement && bytes.substr(at, pos - at) != "\xEF\xBF\xBD") {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned char>(bytes[at]));
        error =
            std::string("the text is not UTF-8 (a byte ") + hex + " here): save the file as UTF-8";
        return std::nullopt;
    }
    return c;
}

// The character at pos in UTF-16 or UTF-32 (width 2 or 4).
std::optional<char32_t> NextWide(std::string_view bytes, std::size_t& pos, std::size_t width,
                                 bool little, std::string& error) {
    const std::string name = width == 2 ? "UTF-16" : "UTF-32";
    const std::optional<char32_t> first = CodeUnit(bytes, pos, width, little);
    if (!first) {
        error = "the " + name + " text ends inside a character";
        return std::nullopt;
    }
    const char32_t c = *first;
    if (width == 2 && c >= 0xD800 && c <= 0xDBFF) {
        const std::optional<char32_t> low = CodeUnit(bytes, pos, width, little);
        if (!low || *low < 0xDC00 || *low > 0xDFFF) {
            error = "the UTF-16 text has a lone surrogate here";
            return std::nullopt;
        }
        return 0x10000 + ((c - 0xD800) << 10) + (*low - 0xDC00);
    }
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
        error = "the " + name + " text has no character here";
        return std::nullopt;
    }
    return c;
}

// The text in UTF-8, a NUL as U+FFFD (no script line may hold one): a file
// in UTF-16 or UTF-32 is read by its byte order mark, a UTF-8 one's mark is
// dropped. Nothing after an error naming the line of the first byte that is
// not of its encoding.
std::optional<std::string> Utf8Text(std::string_view bytes, Reader& reader) {
    constexpr std::pair<std::string_view, int> kMarks[] = {
        {"\xFF\xFE\x00\x00"sv, -4}, {"\x00\x00\xFE\xFF"sv, 4}, {"\xFF\xFE"sv, -2},
        {"\xFE\xFF"sv, 2},          {kByteOrderMark, 1},
    };
    int unit = 1;  // bytes a code unit, negative for little-endian
    for (const auto& [mark, size] : kMarks) {
        if (bytes.starts_with(mark)) {
            bytes.remove_prefix(mark.size());
            unit = size;
            break;
        }
    }
    const auto width = static_cast<std::size_t>(unit < 0 ? -unit : unit);
    std::string text;
    text.reserve(unit == 1 ? bytes.size() : bytes.size() / width * 3);
    int line = 1;
    std::string error;
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::optional<char32_t> c =
            unit == 1 ? NextUtf8(bytes, pos, error) : NextWide(bytes, pos, width, unit < 0, error);
        if (!c) {
            reader.Error(line, error);
            return std::nullopt;
        }
        // "\r\n" is one line end.
        if (*c == '\n' ? text.empty() || text.back() != '\r' : *c == '\r') {
            ++line;
        }
        utf8::AppendCodePoint(text, *c == 0 ? utf8::kReplacement : *c);
    }
    return text;
}

}  // namespace

bool IsSpeakerPrefix(std::string_view name, SubtitleFormat format) {
    constexpr std::size_t kMostCharacters = 40;
    std::size_t characters = 0;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        characters += (byte & 0xC0) != 0x80 ? 1 : 0;
        if (byte < 0x20 || byte == 0x7F || c == ':' || c == '<' || c == '>' ||
            (c == '&' && format == SubtitleFormat::WebVtt)) {
            return false;
        }
    }
    return characters > 0 && characters <= kMostCharacters && TrimBlanks(name) == name;
}

SubtitleFile ReadSubtitles(std::string_view bytes, const std::string& fileName,
                           SubtitleFormat format) {
    Reader reader(fileName, format);
    const std::optional<std::string> text = Utf8Text(bytes, reader);
    if (!text) {
        return reader.Take();
    }
    const std::vector<std::string_view> lines = SplitLines(*text);
    if (format == SubtitleFormat::WebVtt) {
        ReadWebVtt(reader, lines);
    } else {
        ReadSrt(reader, lines);
    }
    return reader.Take();
}

std::string FormatTime(int64_t milliseconds, SubtitleFormat format) {
    const int64_t ms = milliseconds % 1000;
    const int64_t totalSeconds = milliseconds / 1000;
    auto two = [](int64_t v) { return (v < 10 ? "0" : "") + std::to_string(v); };
    std::string text = two(totalSeconds / 3600) + ":" + two(totalSeconds / 60 % 60) + ":" +
                       two(totalSeconds % 60) + (format == SubtitleFormat::WebVtt ? "." : ",");
    text += (ms < 100 ? (ms < 10 ? "00" : "0") : "") + std::to_string(ms);
    return text;
}

std::string WriteWebVtt(const std::vector<SubtitleCue>& cues) {
    std::string out = "WEBVTT\n";
    for (const SubtitleCue& cue : cues) {
        out += '\n';
        out += FormatTime(cue.start, SubtitleFormat::WebVtt) + " --> " +
               FormatTime(cue.end, SubtitleFormat::WebVtt) + '\n';
        if (!cue.speaker.empty()) {
            // A name ending in "--" would make the span's ">" a timing arrow,
            // which no cue line may hold; the reader trims the blank.
            const std::string name = Escape(cue.speaker);
            out += "<v " + name + (name.ends_with('-') ? " >" : ">");
        }
        const auto tip = FindCultureTip(cue.text);
        if (tip && tip->close != std::string_view::npos) {
            const std::string_view text = cue.text;
            const std::size_t nameStart = tip->start + 3;
            out += Escape(text.substr(0, tip->start));
            out += "<c.tip>" + Escape(TrimSpaces(text.substr(nameStart, tip->close - nameStart))) +
                   "</c>";
            out += Escape(text.substr(tip->close + 1));
        } else {
            out += Escape(cue.text);
        }
        out += '\n';
    }
    return out;
}

std::string WriteSrt(const std::vector<SubtitleCue>& cues) {
    std::string out;
    int number = 0;
    for (const SubtitleCue& cue : cues) {
        if (number > 0) {
            out += '\n';
        }
        out += std::to_string(++number) + '\n';
        out += FormatTime(cue.start, SubtitleFormat::Srt) + " --> " +
               FormatTime(cue.end, SubtitleFormat::Srt) + '\n';
        if (IsSpeakerPrefix(cue.speaker, SubtitleFormat::Srt)) {
            out += cue.speaker + ": ";
        }
        out += cue.text + '\n';
    }
    return out;
}

}  // namespace scenova::formats

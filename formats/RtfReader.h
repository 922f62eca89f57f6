#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scenova::formats {

// Deeper groups than this are not shown; real documents nest a few dozen.
inline constexpr std::size_t kMaxDepth = 1000;

// The visible text of an RTF document, as a word processor would show it,
// one code point per character:
//
// - "\par", "\line", "\sect", "\page" and "\row" give "\n", "\tab" and
//   "\cell" give "\t"; "\~" is U+00A0, "\_" U+2011, "\-" shows nothing;
//   "\emdash", "\lquote" and their kin give their characters.
// - "\'hh" and bytes above 0x7F are Windows-1252; "\uN" is the UTF-16 unit N
//   (signed or not; a surrogate pair makes one character, an unpaired or
//   out-of-range unit U+FFFD), followed by the \ucN characters it replaces.
// - Font, colour and style tables, document information, pictures, headers,
//   footers, notes and every "{\*" group are not shown.
// - Line breaks in the file and control characters other than tab are not
//   text; "\" before a line break is a paragraph.
//
// Any input is read to its end without failing: unbalanced braces are
// ignored, truncated escapes dropped, numbers saturate, and groups nested
// deeper than kMaxDepth are not shown. Time is linear in the input size and
// the text is never longer than the input.
std::u32string ReadRtfText(std::string_view rtf);

// The same text, packed: two bytes a character while every character lies
// in the Basic Multilingual Plane, as a transcript's nearly always do, four
// otherwise.
struct PackedText {
    std::u16string narrow;
    std::u32string wide;
    bool isWide = false;

    std::size_t size() const { return isWide ? wide.size() : narrow.size(); }
    char32_t operator[](std::size_t i) const { return isWide ? wide[i] : narrow[i]; }
    std::u32string CodePoints() const;
};
PackedText ReadPackedRtfText(std::string_view rtf);

// The look of a run of characters: what a platform needs to show the text
// as the document styles it.
struct RtfCharFormat {
    std::string fontName;  // UTF-8; empty when the font table does not name the font
    int32_t halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    std::optional<uint32_t> colour;  // 0x00BBGGRR; none for the automatic colour
    friend bool operator==(const RtfCharFormat&, const RtfCharFormat&) = default;
};

// A format holds from start (a character position of the text) up to the
// next run's start.
struct RtfRun {
    std::size_t start = 0;
    RtfCharFormat format;
};

// The same text, with its character formatting: "\f" by the font table
// (the "\deff" font when none is chosen), "\fs", "\b", "\i", "\ul" and
// "\ulnone", "\cf" by the colour table, "\plain"; a group keeps the
// formatting it was opened with. Runs follow one another from position 0,
// neighbours differ, and a document without text has none.
struct RtfDocument {
    PackedText text;
    std::vector<RtfRun> runs;
};
RtfDocument ReadRtfDocument(std::string_view rtf);

// UTF-8 to code points; a malformed sequence gives U+FFFD.
std::u32string DecodeUtf8(std::string_view utf8);
// Code points to UTF-8; a value that is no Unicode scalar gives U+FFFD.
std::string EncodeUtf8(std::u32string_view text);

}  // namespace scenova::formats

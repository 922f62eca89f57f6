#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scenova {

// One script line split into its tag and value: the tag is the text before
// the first space, trimmed of spaces and upper-cased; the value is the text
// after it, trimmed of spaces. No line: the text holds no space.
struct ScriptLine {
    std::string tag;
    std::string value;
    bool hasValue = false;  // false when the space is the line's last character
};
std::optional<ScriptLine> SplitScriptLine(std::string_view text);

// What the parser does with a line whose tag is written without its value
// (the space the line's last character), once it has reported it.
enum class WithoutValue { EndParse, SkipLine, TakeZero, TakeEmpty };

// A tag the parser acts on, what it reports to the host when the tag is
// written without its value, and what it does then.
enum class TagKind : uint8_t { Video, Actor, Text, AvStart, AvEnd, ResOpen, ResClose, ResUpdate };
struct ScriptTag {
    TagKind kind;
    std::string_view name;
    int32_t missingCode;
    std::string_view missingText;
    WithoutValue withoutValue;
};
// The tag's entry (tags as SplitScriptLine gives them: upper case); nullptr
// for a tag the parser ignores.
const ScriptTag* FindScriptTag(std::string_view tag);
// Every tag, in the order the format lists them.
const std::vector<ScriptTag>& ScriptTags();

// The value of AVSTART or AVEND as a time in the video's unit: 13 for text
// that is not a number, 6 for one out of range.
double ScriptTime(std::string_view value);

// Where the parser stands: the cue (one per ACTOR line), the block (a run of
// ACTOR lines with one name) and the line within the block, each -1 before
// the first. A block starts when the name differs from the name before, so
// a first ACTOR with an empty name starts none.
struct ScriptPlace {
    int32_t cue = -1;
    int32_t block = -1;
    int32_t lineInBlock = -1;
    std::string previousActor;

    // An ACTOR line; true when it starts a block.
    bool Actor(const std::string& name);
    // A TEXT line.
    void Text() { ++lineInBlock; }
};

// The culture-tip marker of a line: "[CT" at `start`, its closing "]" at
// `close` (npos when there is none: then the line is left as it is).
struct CultureTipMarker {
    std::size_t start = 0;
    std::size_t close = 0;
};
std::optional<CultureTipMarker> FindCultureTip(std::string_view text);

// Splits a comma-separated list into trimmed parts. Returns the number of
// parts; Parts is replaced only when there is at least one.
int16_t SplitList(const std::string& List, std::vector<std::string>& Parts);

// Rewrites the first culture-tip marker "[CT name]" of a line as a space, the
// tip character and the name; whatever follows the marker is dropped.
void MarkCultureTips(std::string& Text, const std::string& TipChar);

// The text of a transcript line as the transcript shows it, which is what the
// line search looks for: without its colour markers (valid "\cf(r,g,b)" and
// "\cf0", wherever they are and whether or not a text colour is set), without
// surrounding spaces, line breaks as spaces, other control characters other
// than tab dropped, and malformed UTF-8 as U+FFFD.
std::string VisibleLineText(std::string_view line);

}  // namespace scenova

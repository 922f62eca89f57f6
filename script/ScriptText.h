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

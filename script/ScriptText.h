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

// The text of a transcript line as the reader sees it: trimmed and, when the
// line carries colour markup, without it.
std::string VisibleLineText(std::string_view line, bool coloured);

}  // namespace scenova

#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace scenova::formats {

// The character reference at the start of s ("&amp;", "&not", "&#233;",
// "&#xE9"), read as HTML reads one in text: every name of HTML's table, the
// longest that the text starts with (the few names browsers also take
// without their ";" are taken so: "&notit;" is "¬it;"); decimal or
// hexadecimal numbers with or without ";", where 0, a surrogate or a number
// past U+10FFFF is U+FFFD and 0x80 to 0x9F are Windows-1252's characters.
// Gives its text (UTF-8) and moves s past it; nothing when s starts with
// none, the "&" then standing for itself.
std::optional<std::string> ReadCharacterReference(std::string_view& s);

}  // namespace scenova::formats

#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace scenova::formats {

// Lesson pages come from anywhere, and a rich text engine's cost grows
// exponentially with nested tables and faster than linearly with nesting,
// list items and paragraph length: a page of 400 bytes can keep it busy for
// good. Why an HTML page (UTF-8, as the engine will read it) is too costly to
// show as a page, or an empty text when it is not. The page is read once, in
// linear time, the way Qt's HTML reader splits it into comments, tags and
// text, and its nesting is followed as that reader builds it; where a page
// could make the reader build it otherwise (elements restyled or linked
// style sheets, oddly written names), every table, row and cell counts as a
// level of tables.
std::string WhyPageIsCostly(std::string_view html);

// The text of a page without its markup, to show it plainly: tags and
// comments left out, block tags as line breaks, white space runs as one
// space, the common character references read; at most most bytes, cut at
// a character's start.
std::string PageText(std::string_view html, std::size_t most);

}  // namespace scenova::formats

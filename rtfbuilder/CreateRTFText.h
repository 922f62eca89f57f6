#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "script/CueTables.h"

namespace scenova {

// Turns the transcript into an RTF document (7-bit clean) that a word
// processor opens and the transcript control reads:
//
// - a font table with the actor, text and separator fonts (equal names share
//   an entry) and a colour table of every colour named by a marker;
// - for each block its speaker as one paragraph in the actor font, then each
//   line as a paragraph of its own in the text font; between two blocks, when
//   useSeparator is non-zero, SeperatorChar as a paragraph in the separator
//   font. No paragraph break follows the last paragraph.
//
// Inside speakers, lines and the separator, "\cf(r,g,b)" (each component 0 to
// 255, one to three digits) switches to that colour and "\cf0" back to the
// automatic colour; each paragraph starts in the automatic colour. Markers are
// not shown; a malformed marker is shown as the text it is. Each paragraph
// shows its string without surrounding spaces, so a line appears exactly as
// the transcript search looks for it.
//
// Strings are UTF-8; malformed sequences show as U+FFFD. A tab stays a tab, a
// line break inside a string becomes a space and other control characters are
// dropped. A size of 0 or less keeps the reader's default size; sizes are
// capped at 1638 points.
//
// hWnd, metricA and metricB are the transcript control's window handle and
// two values it publishes; the document does not depend on them. fonts and
// useSeparator are references only because callers pass them that way; they
// are not changed.
std::string CreateRTFText(int32_t hWnd, int16_t metricA, int16_t metricB,
                          const std::vector<TranscriptBlock>& transcript, TranscriptFontInfo& fonts,
                          int16_t& useSeparator);

}  // namespace scenova

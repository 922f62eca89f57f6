#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "formats/Subtitles.h"

namespace scenova::viewer {

// A lesson's second language: a WebVTT file beside its script, one cue for
// each spoken line, timed as the script times that line.
inline constexpr std::string_view kTranslationFile = "translation.vtt";

// A spoken line's time, in milliseconds.
struct LineTime {
    int64_t start = 0;
    int64_t end = 0;
};

// A line's times in the video's units, as milliseconds; a time no video
// reaches (huge, not a number) is held at the far end.
LineTime LineTimeOf(double start, double end, double unitsPerSecond);

// Which cue of the translation goes with which line. A cue belongs to the
// line it shares the most time with, when that is at least half of the
// shorter of the two: times that drift by a few frames still match, a cue
// that only touches a line does not. One cue may hold the words of two
// lines (both get it); a line without a cue shows none.
struct TranslationMatch {
    std::vector<int32_t> cueOfLine;      // by line; -1: none
    std::vector<int32_t> unmatchedCues;  // cues no line took
};
TranslationMatch MatchTranslation(const std::vector<LineTime>& lines,
                                  const std::vector<formats::SubtitleCue>& cues);

// The translation's text for each line of a lesson, read from the file's
// text (empty for a lesson without one). A file with errors shows nothing:
// `errors` says why.
struct Translation {
    std::vector<formats::SubtitleCue> cues;
    std::vector<std::string> errors;
    std::vector<formats::SubtitleProblem> errorsAt;
    bool Empty() const { return cues.empty(); }
};
Translation ReadTranslation(std::string_view text);

}  // namespace scenova::viewer

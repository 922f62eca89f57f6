#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace scenova::formats {

// One cue of a subtitle file, as a lesson script can hold it.
struct SubtitleCue {
    int line = 0;       // the cue's timing line in its file, from 1
    int64_t start = 0;  // milliseconds
    int64_t end = 0;
    std::string speaker;  // the cue's voice; empty when it has none
    // For a cue without a voice, the speaker its first line names before
    // the text, "Name: text" (SpeakerPrefix below), as SubRip writes
    // speakers; the text still starts with it. Empty when it names none.
    std::string prefix;
    // The cue's lines joined by a space, markup other than culture tips
    // removed, character references decoded; a tip as the script writes it,
    // "[CT name]".
    std::string text;
};

// What reading a subtitle file gave: its cues, or errors. Each message is
// "FILE:LINE: error: ..." or "FILE:LINE: warning: ...". A file with errors is
// malformed and nothing of it should be used; warnings name what the file
// holds that a lesson script cannot carry (styles, notes, cue settings,
// markup other than voices and tips), which is dropped.
struct SubtitleProblem {
    int line = 0;
    std::string message;  // without the file, the line and the severity
};
struct SubtitleFile {
    std::vector<SubtitleCue> cues;
    std::vector<std::string> errors;
    std::vector<std::string> warnings;
    std::vector<SubtitleProblem> errorsAt;  // the errors as facts, for a tool to place
};

enum class SubtitleFormat { WebVtt, Srt };

// Whether a name can stand before a cue's text as its speaker, "Name: text",
// and be read back: 1 to 40 characters, no blank at either end, no ':', no
// markup ('<', '>'; in WebVTT no character reference either) and no control
// character. A longer run before a colon is taken for text ("Note at 12:30").
bool IsSpeakerPrefix(std::string_view name, SubtitleFormat format);

// Reads WebVTT (the header, cues with optional identifiers and settings,
// NOTE, STYLE and REGION blocks) or SubRip text. Line ends may be LF, CRLF
// or CR; a UTF-8 byte order mark is skipped. Never throws for any input.
SubtitleFile ReadSubtitles(std::string_view text, const std::string& fileName,
                           SubtitleFormat format);

// Writes cues as a WebVTT file: the speaker as a voice span, a culture-tip
// marker as a "tip" class span, the rest escaped.
std::string WriteWebVtt(const std::vector<SubtitleCue>& cues);
// Writes cues as SubRip: numbered, times with a decimal comma, the text as
// it stands after its speaker as "Name: " (SubRip has no voices), when the
// name reads back as one (IsSpeakerPrefix).
std::string WriteSrt(const std::vector<SubtitleCue>& cues);

// A time as the format writes it: "01:02:03.456" (WebVTT) or "01:02:03,456".
std::string FormatTime(int64_t milliseconds, SubtitleFormat format);

}  // namespace scenova::formats

#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "formats/Subtitles.h"

namespace scenova::authoring {

// The import and export speak in the subtitle formats' own terms.
using formats::FormatTime;
using formats::ReadSubtitles;
using formats::SubtitleCue;
using formats::SubtitleFile;
using formats::SubtitleFormat;
using formats::WriteSrt;
using formats::WriteWebVtt;

// The authoring commands of scenova. Each returns its exit status: 0 done,
// 1 the input has errors (nothing written), 2 bad usage or a missing input.

// Prints every problem of the lesson, one a line, then a summary; 1 when
// there is an error. `doc` is where the finding codes are explained (the
// format's document): named after the findings, and, in JSON, as each
// finding's link to its code.
int CheckCommand(const std::filesystem::path& lesson, bool json, std::ostream& out,
                 std::ostream& err, const std::string& doc = {});

struct ExportOptions {
    std::filesystem::path lesson;
    SubtitleFormat format = SubtitleFormat::WebVtt;
    std::optional<std::filesystem::path> output;    // standard output without
    std::optional<std::filesystem::path> chapters;  // a WebVTT file of speaker blocks
};
int ExportCommand(const ExportOptions& options, std::ostream& out, std::ostream& err);

// Whether "Name: " before a cue's text names its speaker, in cues without a
// voice: when most of them start so (SubRip has no voices, and its files
// name speakers so), always, or never.
enum class SpeakerPrefixes { WhenMost, Always, Never };

struct ImportOptions {
    std::filesystem::path input;         // .vtt or .srt
    std::string video;                   // the VIDEO line's file name
    std::optional<std::string> speaker;  // for cues without a voice or a speaker's name
    std::optional<std::filesystem::path> output;
    SpeakerPrefixes prefixes = SpeakerPrefixes::WhenMost;
    // A lesson folder: the file is its translation, written as its
    // translation.vtt (no video, no speakers needed).
    std::optional<std::filesystem::path> translationOf = std::nullopt;
};
int ImportCommand(const ImportOptions& options, std::ostream& out, std::ostream& err);
// The script ImportCommand writes (options.output aside), or the WebVTT of a
// translation; without one, the
// file's errors are on err and status is the command's exit status.
std::optional<std::string> ImportScript(const ImportOptions& options, std::ostream& err,
                                        int& status);

struct PackOptions {
    std::filesystem::path lesson;  // a folder
    std::filesystem::path output;  // empty: the folder's name and ".scenova", here
};
// Writes the lesson folder as one file, a packed lesson, which every command
// and the player open where they take a folder; 1 when the reader would
// refuse it (nothing written).
int PackCommand(const PackOptions& options, std::ostream& out, std::ostream& err);

// The lesson script of subtitle cues: VIDEO, then ACTOR, TEXT, AVSTART and
// AVEND per cue, times in seconds.
std::string ScriptOfCues(const std::vector<SubtitleCue>& cues, const std::string& video);

}  // namespace scenova::authoring

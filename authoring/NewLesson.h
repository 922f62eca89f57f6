#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

namespace scenova::authoring {

struct NewLessonOptions {
    std::filesystem::path folder;  // new, or an empty folder
    std::filesystem::path video;
    std::optional<std::filesystem::path> subtitles;  // .vtt or .srt
    std::string title;                               // default: the folder's name
    // The speaker of cues that name none, and of the one block of a lesson
    // made from the video alone.
    std::optional<std::string> speaker;
    std::string doc;  // where the check's codes are explained
};

// The most a lesson's video may hold: the file is copied into the lesson.
inline constexpr std::uintmax_t kMaxNewVideoBytes = std::uintmax_t{4} << 30;

// A path as a shell takes it back, escaped for the terminal, for the
// commands the tools print.
std::string ShellWord(const std::filesystem::path& path);

// The window laid out for a video of that size (0 when it is not known), as
// settings.ini: the title on the main bar, the video, the slider under it,
// the six transport buttons, the transcript beside it; commented.
std::string NewLessonSettings(int videoWidth, int videoHeight, const std::string& title);

// Writes a lesson that plays as it stands into a new folder: settings.ini,
// the button pictures in media/, the video copied into video/ (a regular
// file, not a link), script.txt from the subtitles as import writes it, or
// one block with the video alone. The lesson is made beside the folder and
// put in its place whole; a folder that exists and is not empty, or is a
// link, is refused. Then checks it and prints how to watch and publish it.
// Exit status: 0 made and checked clean, 1 the subtitles or the video are
// refused (nothing written) or the check finds errors (the lesson is
// written), 2 bad usage or a file that cannot be read or written.
int NewLessonCommand(const NewLessonOptions& options, std::ostream& out, std::ostream& err);

}  // namespace scenova::authoring

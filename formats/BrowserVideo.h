#pragma once

#include <optional>
#include <string>

#include "formats/MovieFile.h"

namespace scenova::formats {

// What a movie is, when not every browser plays it ("AVI, MPEG-4 Part 2
// video, MP3 sound"); nothing when current Chromium, Firefox and Safari all
// do: WebM with VP8 or VP9 video, MP4 with H.264 video in 8-bit 4:2:0, each with its usual
// sound (Vorbis or Opus; AAC or MP3) or none. What they do not play may not
// fail either: Chromium plays the sound of Theora or of MPEG-4 Part 2 in MP4
// with no picture and no error.
std::optional<std::string> BrowserRefusal(const Movie& movie);

// The WebM that browsers are given for the movie at path: the file of the
// same name beside it with the extension .webm (or -vp9.webm for a movie
// that is a WebM already).
std::string BrowserWebm(const std::string& path);

// The command that makes that WebM from the movie, for a shell in the
// folder the two paths start from.
std::string WebmCommand(const std::string& movie, const std::string& webm);

}  // namespace scenova::formats

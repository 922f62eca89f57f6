#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "formats/MovieFile.h"

namespace scenova::formats {

// How much of a file AviSeconds needs at most: its header list is read
// whole or not at all.
inline constexpr std::size_t kAviHeadBytes = 1 << 20;

// The length in seconds of an AVI movie as its header list gives it, as
// libavformat reads it: the end of its longest video or sound stream, in
// whole microseconds. head is the file's first bytes (at most
// kAviHeadBytes). Nothing when they are not an AVI file's start with its
// whole header list and a video stream of some length.
std::optional<double> AviSeconds(std::string_view head);

// The movie in the AVI file at path as its header list tells it: its
// length, with its codecs not known. Nothing for a path that is not a
// regular file, or not such a file.
std::optional<Movie> AviMovie(const std::string& path);

}  // namespace scenova::formats

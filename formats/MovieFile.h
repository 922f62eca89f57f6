#pragma once

#include <optional>
#include <string>

namespace scenova::formats {

// The length in seconds of the movie in the file at path, when libavformat
// reads the file as one with a video stream and can tell its length: nothing
// for a path that is not a regular file, a file of another kind, a still
// picture or a damaged file. Only that local file is read.
std::optional<double> ProbeMovieSeconds(const std::string& path);

}  // namespace scenova::formats

#pragma once

#include <optional>
#include <string>

namespace scenova::formats {

// A movie file: its length, and libavformat's names for its kind and its
// codecs ("avi", "matroska,webm", "mov,mp4,m4a,3gp,3g2,mj2"; "mpeg4", "vp9",
// "h264", "opus", ...), each empty where it is not known or, for the sound,
// where there is none.
struct Movie {
    double seconds = 0.0;
    std::string container;
    std::string video;
    std::string audio;
    // The picture's size as it is shown, in pixels (its sample aspect ratio
    // applied to the width); 0 where it is not known.
    int width = 0;
    int height = 0;
    // The video's pixel format ("yuv420p", "yuv444p", "yuv420p10le"); empty
    // where it is not known.
    std::string pixels;
};

// The movie in the file at path, when libavformat reads the file as one
// with a video stream and can tell its length: nothing for a path that is
// not a regular file, a file of another kind, a still picture or a damaged
// file. Only that local file is read.
std::optional<Movie> ProbeMovie(const std::string& path);

// Its length in seconds. An AVI file's is read from its header list, which
// gives libavformat's length without loading libavformat.
std::optional<double> ProbeMovieSeconds(const std::string& path);

}  // namespace scenova::formats

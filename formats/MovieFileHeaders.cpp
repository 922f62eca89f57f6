// ProbeMovie where libavformat is not built in (SCENOVA_LIBAV off, as in
// the WebAssembly build): the length from an AVI file's headers, so that the
// command plays the sample lesson and the trace cases under node as it does
// natively. Only AVI files are movies here, and their codecs are not known.
// In a browser the platform takes a movie's length from its <video> element
// instead.

#include "formats/AviFile.h"
#include "formats/MovieFile.h"

namespace scenova::formats {

std::optional<Movie> ProbeMovie(const std::string& path) {
    return AviMovie(path);
}

}  // namespace scenova::formats

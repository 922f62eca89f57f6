// ProbeMovie where libavformat is not built in (SCENOVA_LIBAV off, as in
// the WebAssembly build): the length from an AVI file's headers, so that the
// command plays the sample lesson and the trace cases under node as it does
// natively. Only AVI files are movies here, and their codecs are not known.
// In a browser the platform takes a movie's length from its <video> element
// instead.

#include "formats/AviFile.h"
#include "formats/FileLookup.h"
#include "formats/MovieFile.h"

namespace scenova::formats {

std::optional<Movie> ProbeMovie(const std::string& path) {
    // A FIFO or a device could block or never end: only plain files qualify.
    const std::string head = ReadOrdinaryFile(path, kAviHeadBytes, true).bytes;
    const std::optional<double> seconds = AviSeconds(head);
    return seconds ? std::optional<Movie>(Movie{*seconds, "avi", "", "", 0, 0, {}}) : std::nullopt;
}

}  // namespace scenova::formats

// ProbeMovie where libavformat is not built in (SCENOVA_LIBAV off, as in
// the WebAssembly build): the length from an AVI file's headers, so that the
// command plays the sample lesson and the trace cases under node as it does
// natively. Only AVI files are movies here, and their codecs are not known.
// In a browser the platform takes a movie's length from its <video> element
// instead.

#include <filesystem>
#include <fstream>
#include <system_error>

#include "formats/AviFile.h"
#include "formats/MovieFile.h"

namespace scenova::formats {

std::optional<Movie> ProbeMovie(const std::string& path) {
    // A FIFO or a device could block or never end: only plain files qualify.
    std::error_code error;
    if (path.empty() || !std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    std::string head(kAviHeadBytes, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    const std::optional<double> seconds = AviSeconds(head);
    return seconds ? std::optional<Movie>(Movie{*seconds, "avi", "", ""}) : std::nullopt;
}

}  // namespace scenova::formats

#include "formats/AviFile.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "formats/FileLookup.h"

namespace scenova::formats {

namespace {

uint32_t U32(std::string_view bytes, std::size_t at) {
    uint32_t value = 0;
    for (std::size_t i = 4; i-- > 0;) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

struct Chunk {
    std::string_view id;
    std::string_view body;

    bool IsList(std::string_view kind) const {
        return id == "LIST" && body.size() >= 4 && body.substr(0, 4) == kind;
    }
};

// The whole chunks of a list's body, in order; whole is cleared when one
// does not fit in it.
std::vector<Chunk> Chunks(std::string_view list, bool& whole) {
    std::vector<Chunk> chunks;
    std::size_t at = 0;
    while (at + 8 <= list.size()) {
        const std::size_t size = U32(list, at + 4);
        if (size > list.size() - at - 8) {
            whole = false;
            break;
        }
        chunks.push_back({list.substr(at, 4), list.substr(at + 8, size)});
        at += 8 + size + (size & 1);  // bodies are padded to an even size
    }
    return chunks;
}

// length * scale / rate in seconds: in whole microseconds, rounded to the
// nearest as libavformat rounds it, while that count fits its 64 bits;
// beyond, as libavformat then takes it from the stream's own time base.
// 0 for a stream without a time base.
double Seconds(uint64_t length, uint64_t scale, uint64_t rate) {
    constexpr uint64_t kMillion = 1'000'000;
    if (scale == 0 || rate == 0) {
        return 0;
    }
    const uint64_t units = length * scale;  // both 32-bit: no overflow
    if (units / rate > std::numeric_limits<int64_t>::max() / kMillion - 1) {
        return static_cast<double>(units) / static_cast<double>(rate);
    }
    const uint64_t micros = units / rate * kMillion + (units % rate * kMillion + rate / 2) / rate;
    return static_cast<double>(micros) / 1e6;
}

// The ends of the video and sound streams, in seconds.
struct StreamEnds {
    double video = 0;    // of the longest video stream
    double longest = 0;  // of the longest video or sound stream

    // A stream header: its type, then scale at 20, rate at 24, length at 32.
    void Add(std::string_view header) {
        const std::string_view type = header.substr(0, 4);
        if (header.size() < 36 || (type != "vids" && type != "auds")) {
            return;
        }
        const double end = Seconds(U32(header, 32), U32(header, 20), U32(header, 24));
        longest = std::max(longest, end);
        video = type == "vids" ? std::max(video, end) : video;
    }
};

}  // namespace

std::optional<double> AviSeconds(std::string_view head) {
    head = head.substr(0, std::min(head.size(), kAviHeadBytes));
    if (head.size() < 12 || head.substr(0, 4) != "RIFF" || head.substr(8, 4) != "AVI ") {
        return std::nullopt;
    }
    // The movie's data after the header list need not be in head.
    bool whole = true;
    std::optional<std::string_view> headers;
    for (const Chunk& chunk : Chunks(head.substr(12), whole)) {
        if (chunk.IsList("hdrl")) {
            headers = chunk.body.substr(4);
            break;
        }
    }
    if (!headers) {
        return std::nullopt;
    }
    whole = true;
    StreamEnds ends;
    for (const Chunk& chunk : Chunks(*headers, whole)) {
        if (chunk.IsList("strl")) {
            for (const Chunk& part : Chunks(chunk.body.substr(4), whole)) {
                if (part.id == "strh") {
                    ends.Add(part.body);
                }
            }
        }
    }
    if (!whole || ends.video == 0) {
        return std::nullopt;
    }
    return ends.longest;
}

std::optional<Movie> AviMovie(const std::string& path) {
    // A FIFO or a device could block or never end: only plain files qualify.
    const std::optional<double> seconds =
        AviSeconds(ReadOrdinaryFile(path, kAviHeadBytes, true).bytes);
    return seconds ? std::optional<Movie>(Movie{*seconds, "avi", "", "", 0, 0, {}}) : std::nullopt;
}

std::optional<double> ProbeMovieSeconds(const std::string& path) {
    std::optional<Movie> movie = AviMovie(path);
    if (!movie) {
        movie = ProbeMovie(path);
    }
    return movie ? std::optional<double>(movie->seconds) : std::nullopt;
}

}  // namespace scenova::formats

#include "formats/MovieFile.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/log.h>
}

namespace scenova::formats {

namespace {

struct FormatCloser {
    void operator()(AVFormatContext* format) const { avformat_close_input(&format); }
};

// Playlists, concatenation lists, manifests and image sequences: a file of
// such a kind is no movie but names others (a player may fetch them from
// anywhere), whatever its name says.
bool NamesOtherFiles(const AVInputFormat* kind) {
    static constexpr std::string_view kKinds[] = {
        "hls", "concat", "dash", "imf", "sdp", "rtsp", "rtp", "image2", "webm_dash_manifest",
    };
    std::string_view names = kind != nullptr && kind->name != nullptr ? kind->name : "";
    // A demuxer may go by several names, "mov,mp4,m4a".
    while (!names.empty()) {
        const auto comma = names.find(',');
        const std::string_view name = names.substr(0, comma);
        if (std::find(std::begin(kKinds), std::end(kKinds), name) != std::end(kKinds)) {
            return true;
        }
        names.remove_prefix(comma == std::string_view::npos ? names.size() : comma + 1);
    }
    return false;
}

}  // namespace

std::optional<Movie> ProbeMovie(const std::string& path) {
    // A FIFO or a device could block or never end: only plain files qualify.
    std::error_code error;
    if (path.empty() || !std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    // The library would otherwise write its complaints about bad files to
    // stderr, into the middle of the trace.
    static const bool quiet = [] {
        av_log_set_level(AV_LOG_QUIET);
        return true;
    }();
    (void)quiet;

    // Playlist-like formats may name further resources; only local files are
    // read, and the "file:" prefix keeps the path from being taken as a URL.
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    AVFormatContext* raw = nullptr;
    const std::string url = "file:" + path;
    const int opened = avformat_open_input(&raw, url.c_str(), nullptr, &options);
    av_dict_free(&options);
    if (opened < 0 || raw == nullptr) {
        return std::nullopt;
    }
    const std::unique_ptr<AVFormatContext, FormatCloser> format(raw);
    if (NamesOtherFiles(format->iformat)) {
        return std::nullopt;
    }
    if (avformat_find_stream_info(format.get(), nullptr) < 0) {
        return std::nullopt;
    }

    // Cover art comes as a one-picture "video" stream; it does not make a movie.
    const AVStream* video = nullptr;
    for (unsigned i = 0; i < format->nb_streams && video == nullptr; ++i) {
        const AVStream* stream = format->streams[i];
        if (stream != nullptr && stream->codecpar != nullptr &&
            stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO &&
            (stream->disposition & AV_DISPOSITION_ATTACHED_PIC) == 0) {
            video = stream;
        }
    }
    if (video == nullptr) {
        return std::nullopt;
    }
    const AVStream* audio = nullptr;
    for (unsigned i = 0; i < format->nb_streams && audio == nullptr; ++i) {
        const AVStream* stream = format->streams[i];
        if (stream != nullptr && stream->codecpar != nullptr &&
            stream->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
            audio = stream;
        }
    }

    double seconds = 0.0;
    if (format->duration != AV_NOPTS_VALUE && format->duration > 0) {
        seconds = static_cast<double>(format->duration) / AV_TIME_BASE;
    } else if (video->duration != AV_NOPTS_VALUE && video->duration > 0 &&
               video->time_base.num > 0 && video->time_base.den > 0) {
        seconds = static_cast<double>(video->duration) * av_q2d(video->time_base);
    }
    // A still picture read as a stream has no length; neither may a damaged file.
    if (!(std::isfinite(seconds) && seconds > 0.0)) {
        return std::nullopt;
    }
    return Movie{seconds, format->iformat != nullptr ? format->iformat->name : "",
                 avcodec_get_name(video->codecpar->codec_id),
                 audio != nullptr ? avcodec_get_name(audio->codecpar->codec_id) : ""};
}

}  // namespace scenova::formats

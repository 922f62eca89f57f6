#include "formats/BrowserVideo.h"

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <string_view>
#include <utility>

namespace scenova::formats {

namespace {

// libavformat's names as people know them.
std::string Known(const std::string& name) {
    static constexpr std::pair<std::string_view, std::string_view> kNames[] = {
        {"avi", "AVI"},
        {"matroska,webm", "Matroska"},
        {"mov,mp4,m4a,3gp,3g2,mj2", "MP4"},
        {"ogg", "Ogg"},
        {"asf", "Windows Media"},
        {"flv", "Flash video"},
        {"mpeg", "MPEG program stream"},
        {"mpegts", "MPEG transport stream"},
        {"mpeg4", "MPEG-4 Part 2"},
        {"msmpeg4v3", "Microsoft MPEG-4 v3"},
        {"mpeg1video", "MPEG-1"},
        {"mpeg2video", "MPEG-2"},
        {"h264", "H.264"},
        {"hevc", "H.265"},
        {"theora", "Theora"},
        {"vp8", "VP8"},
        {"vp9", "VP9"},
        {"av1", "AV1"},
        {"mp3", "MP3"},
        {"aac", "AAC"},
        {"ac3", "AC-3"},
        {"vorbis", "Vorbis"},
        {"opus", "Opus"},
        {"flac", "FLAC"},
    };
    for (const auto& [ours, known] : kNames) {
        if (ours == name) {
            return std::string(known);
        }
    }
    return name;
}

bool OneOf(const std::string& name, std::initializer_list<std::string_view> names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// A path as one word for a POSIX shell.
std::string Quoted(const std::string& path) {
    const bool plain = !path.empty() && std::all_of(path.begin(), path.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '.' || c == '/' || c == '_' || c == '-';
    });
    if (plain && path.front() != '-') {
        return path;
    }
    std::string out = "'";
    for (const char c : path) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}

}  // namespace

std::optional<std::string> BrowserRefusal(const Movie& movie) {
    const bool webm = movie.container == "matroska,webm" && OneOf(movie.video, {"vp8", "vp9"}) &&
                      OneOf(movie.audio, {"", "vorbis", "opus"});
    const bool mp4 = movie.container == "mov,mp4,m4a,3gp,3g2,mj2" && movie.video == "h264" &&
                     OneOf(movie.audio, {"", "aac", "mp3"});
    // H.264 beyond 8-bit 4:2:0 (the High 10, 4:2:2 and 4:4:4 profiles) is
    // decoded by few browsers: the others show a black box without an error.
    const bool plainH264 =
        movie.video != "h264" || OneOf(movie.pixels, {"", "yuv420p", "yuvj420p"});
    if ((webm || mp4) && plainH264) {
        return std::nullopt;
    }
    std::string kind = Known(movie.container);
    if (!movie.video.empty()) {
        kind += ", " + Known(movie.video) + " video";
    }
    if (!plainH264) {
        kind += " in " + movie.pixels + ", not 8-bit 4:2:0, shown by many browsers as a black box";
    }
    if (!movie.audio.empty()) {
        kind += ", " + Known(movie.audio) + " sound";
    }
    return kind;
}

std::string BrowserWebm(const std::string& path) {
    std::filesystem::path webm(path);
    webm.replace_extension(".webm");
    if (webm == std::filesystem::path(path)) {
        webm.replace_filename(webm.stem().string() + "-vp9.webm");
    }
    return webm.string();
}

std::string WebmCommand(const std::string& movie, const std::string& webm) {
    // The sound may start before zero: ffmpeg would otherwise move every
    // stream later to hide that, and the pictures would lose their times.
    // Vorbis, not Opus: with Opus sound, Chromium's decoder fails on a seek
    // back to the start once the video has played. 4:2:0 in 8 bits, which
    // every browser decodes (a 10-bit or 4:2:2 source would stay so).
    return "ffmpeg -i " + Quoted(movie) +
           " -c:v libvpx-vp9 -crf 32 -b:v 0 -pix_fmt yuv420p -c:a libvorbis "
           "-avoid_negative_ts disabled " +
           Quoted(webm);
}

}  // namespace scenova::formats

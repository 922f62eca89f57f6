#include "formats/MovieFile.h"

#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <memory>

#include "formats/FileLookup.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
#include <libavutil/pixdesc.h>
}

namespace scenova::formats {

namespace {

// The containers a lesson's video may be in. A playlist, a concatenation
// list, a manifest or an image sequence is none: it names other files, which
// its demuxer would open while it opens the list (a FIFO there waits for a
// writer for ever, /dev/zero never ends), whatever the list's own name says.
constexpr const char* kMovieFormats = "avi,matroska,webm,mov,mp4,ogg,asf,flv,mpeg,mpegts";

// libavformat reads the file through the descriptor opened here and opens
// nothing by a name of its own.
int ReadPacket(void* opaque, uint8_t* buffer, int size) {
    const int fd = static_cast<OrdinaryFile*>(opaque)->Descriptor();
    for (;;) {
        const ssize_t got = ::read(fd, buffer, static_cast<std::size_t>(size));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        return got > 0 ? static_cast<int>(got) : got == 0 ? AVERROR_EOF : AVERROR(errno);
    }
}

int64_t Seek(void* opaque, int64_t offset, int whence) {
    const auto* file = static_cast<OrdinaryFile*>(opaque);
    if ((whence & AVSEEK_SIZE) != 0) {
        return static_cast<int64_t>(file->Size());
    }
    const off_t at =
        ::lseek(file->Descriptor(), static_cast<off_t>(offset), whence & ~AVSEEK_FORCE);
    return at < 0 ? AVERROR(errno) : static_cast<int64_t>(at);
}

int OpenNothing(AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**) {
    return AVERROR(EPERM);
}

struct FormatCloser {
    void operator()(AVFormatContext* format) const { avformat_close_input(&format); }
};

struct IoFreer {
    void operator()(AVIOContext* io) const {
        av_freep(&io->buffer);
        avio_context_free(&io);
    }
};

}  // namespace

std::optional<Movie> ProbeMovie(const std::string& path) {
    // A FIFO or a device could block or never end: only plain files qualify.
    OrdinaryFile file(path);
    if (file.Outcome() != FileContent::Outcome::Read) {
        return std::nullopt;
    }
    // The library would otherwise write its complaints about bad files to
    // stderr, into the middle of the trace.
    static const bool quiet = [] {
        av_log_set_level(AV_LOG_QUIET);
        return true;
    }();
    (void)quiet;

    constexpr int kBufferBytes = 64 * 1024;
    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferBytes));
    if (buffer == nullptr) {
        return std::nullopt;
    }
    const std::unique_ptr<AVIOContext, IoFreer> io(
        avio_alloc_context(buffer, kBufferBytes, 0, &file, ReadPacket, nullptr, Seek));
    if (!io) {
        av_free(buffer);
        return std::nullopt;
    }
    AVFormatContext* raw = avformat_alloc_context();
    if (raw == nullptr) {
        return std::nullopt;
    }
    raw->pb = io.get();
    raw->io_open = OpenNothing;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "format_whitelist", kMovieFormats, 0);
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    // On failure the library frees the context it was given.
    const int opened = avformat_open_input(&raw, path.c_str(), nullptr, &options);
    av_dict_free(&options);
    if (opened < 0 || raw == nullptr) {
        return std::nullopt;
    }
    const std::unique_ptr<AVFormatContext, FormatCloser> format(raw);
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
    Movie movie{seconds,
                format->iformat != nullptr ? format->iformat->name : "",
                avcodec_get_name(video->codecpar->codec_id),
                audio != nullptr ? avcodec_get_name(audio->codecpar->codec_id) : "",
                0,
                0,
                {}};
    if (const char* pixels =
            av_get_pix_fmt_name(static_cast<AVPixelFormat>(video->codecpar->format))) {
        movie.pixels = pixels;
    }
    // Sizes a header may claim past any screen are left unknown.
    const AVCodecParameters& picture = *video->codecpar;
    constexpr int kMostPixels = 16384;
    if (picture.width > 0 && picture.height > 0 && picture.width <= kMostPixels &&
        picture.height <= kMostPixels) {
        double width = picture.width;
        const AVRational aspect =
            av_guess_sample_aspect_ratio(format.get(), const_cast<AVStream*>(video), nullptr);
        if (aspect.num > 0 && aspect.den > 0) {
            width *= av_q2d(aspect);
        }
        if (std::isfinite(width) && width >= 1 && width <= kMostPixels) {
            movie.width = static_cast<int>(std::lround(width));
            movie.height = picture.height;
        }
    }
    return movie;
}

}  // namespace scenova::formats

#include "formats/MovieFile.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <memory>

#include "formats/AviFile.h"
#include "formats/FileLookup.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/log.h>
#include <libavutil/macros.h>
#include <libavutil/mem.h>
#include <libavutil/pixdesc.h>
}

namespace scenova::formats {

namespace {

// libavformat is loaded when a movie is first probed, not when the program
// starts: with the codecs it links it brings about ninety shared libraries,
// whose loading was most of the desktop player's start on a short lesson,
// and an AVI file's length needs none of them.
// clang-format off
#define SCENOVA_LIBAV_FUNCTIONS(X)                                                  \
    X(av_log_set_level) X(av_malloc) X(av_free) X(av_freep) X(av_dict_set)          \
    X(av_dict_free) X(av_get_pix_fmt_name) X(avio_alloc_context) X(avio_context_free) \
    X(avformat_alloc_context) X(avformat_open_input) X(avformat_find_stream_info)   \
    X(avformat_close_input) X(av_guess_sample_aspect_ratio) X(avcodec_get_name)
// clang-format on

struct LibAv {
#define SCENOVA_DECLARE(name) decltype(&::name) name = nullptr;
    SCENOVA_LIBAV_FUNCTIONS(SCENOVA_DECLARE)
#undef SCENOVA_DECLARE
};

// The library the headers were built for, by its major version; libavcodec
// and libavutil come with it. Nothing when it is not installed.
const LibAv* Library() {
    static const std::optional<LibAv> library = []() -> std::optional<LibAv> {
        void* handle = ::dlopen("libavformat.so." AV_STRINGIFY(LIBAVFORMAT_VERSION_MAJOR),
                                RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            return std::nullopt;
        }
        LibAv found;
        bool whole = true;
#define SCENOVA_FIND(name)                                                    \
    found.name = reinterpret_cast<decltype(&::name)>(::dlsym(handle, #name)); \
    whole = whole && found.name != nullptr;
        SCENOVA_LIBAV_FUNCTIONS(SCENOVA_FIND)
#undef SCENOVA_FIND
        if (!whole) {
            return std::nullopt;
        }
        // The library would otherwise write its complaints about bad files to
        // stderr, into the middle of the trace.
        found.av_log_set_level(AV_LOG_QUIET);
        return found;
    }();
    return library ? &*library : nullptr;
}

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
    const LibAv* av;
    void operator()(AVFormatContext* format) const { av->avformat_close_input(&format); }
};

struct IoFreer {
    const LibAv* av;
    void operator()(AVIOContext* io) const {
        av->av_freep(static_cast<void*>(&io->buffer));
        av->avio_context_free(&io);
    }
};

}  // namespace

std::optional<Movie> ProbeMovie(const std::string& path) {
    // A FIFO or a device could block or never end: only plain files qualify.
    OrdinaryFile file(path);
    if (file.Outcome() != FileContent::Outcome::Read) {
        return std::nullopt;
    }
    const LibAv* av = Library();
    if (av == nullptr) {
        return AviMovie(path);
    }

    constexpr int kBufferBytes = 64 * 1024;
    auto* buffer = static_cast<unsigned char*>(av->av_malloc(kBufferBytes));
    if (buffer == nullptr) {
        return std::nullopt;
    }
    const std::unique_ptr<AVIOContext, IoFreer> io(
        av->avio_alloc_context(buffer, kBufferBytes, 0, &file, ReadPacket, nullptr, Seek), {av});
    if (!io) {
        av->av_free(buffer);
        return std::nullopt;
    }
    AVFormatContext* raw = av->avformat_alloc_context();
    if (raw == nullptr) {
        return std::nullopt;
    }
    raw->pb = io.get();
    raw->io_open = OpenNothing;
    AVDictionary* options = nullptr;
    av->av_dict_set(&options, "format_whitelist", kMovieFormats, 0);
    av->av_dict_set(&options, "protocol_whitelist", "file", 0);
    // On failure the library frees the context it was given.
    const int opened = av->avformat_open_input(&raw, path.c_str(), nullptr, &options);
    av->av_dict_free(&options);
    if (opened < 0 || raw == nullptr) {
        return std::nullopt;
    }
    const std::unique_ptr<AVFormatContext, FormatCloser> format(raw, {av});
    if (av->avformat_find_stream_info(format.get(), nullptr) < 0) {
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
                av->avcodec_get_name(video->codecpar->codec_id),
                audio != nullptr ? av->avcodec_get_name(audio->codecpar->codec_id) : "",
                0,
                0,
                {}};
    if (const char* pixels =
            av->av_get_pix_fmt_name(static_cast<AVPixelFormat>(video->codecpar->format))) {
        movie.pixels = pixels;
    }
    // Sizes a header may claim past any screen are left unknown.
    const AVCodecParameters& picture = *video->codecpar;
    constexpr int kMostPixels = 16384;
    if (picture.width > 0 && picture.height > 0 && picture.width <= kMostPixels &&
        picture.height <= kMostPixels) {
        double width = picture.width;
        const AVRational aspect =
            av->av_guess_sample_aspect_ratio(format.get(), const_cast<AVStream*>(video), nullptr);
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
